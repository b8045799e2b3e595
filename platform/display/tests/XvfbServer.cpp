#include "XvfbServer.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#if defined(__has_include)
#if __has_include(<sanitizer/lsan_interface.h>)
#include <sanitizer/lsan_interface.h>
#define QUELLOR_HAVE_LSAN 1
#endif
#endif
#include <cstdlib>
#include <string>
#include <thread>

namespace quellor::display::testing {

namespace {

std::string FindXvfb() {
  for (const char* path : {"/usr/bin/Xvfb", "/usr/local/bin/Xvfb"})
    if (access(path, X_OK) == 0) return path;
  return {};
}

std::string LockPath(int n) {
  return "/tmp/.X" + std::to_string(n) + "-lock";
}
std::string SocketPath(int n) {
  return "/tmp/.X11-unix/X" + std::to_string(n);
}

// The lock and socket of display n, once its server is gone.
void RemoveServerFiles(int n) {
  unlink(LockPath(n).c_str());
  unlink(SocketPath(n).c_str());
}

// True when display n's lock names a process that no longer runs: a server
// killed without its clean-up (as the tests that lose their server do) left
// it, and it would hold the number for good.
bool LockIsStale(int n) {
  const int file = open(LockPath(n).c_str(), O_RDONLY);
  if (file < 0) return false;
  char text[32] = {};
  const ssize_t got = read(file, text, sizeof text - 1);
  close(file);
  if (got <= 0) return false;  // being written by a server that is starting
  const long pid = std::strtol(text, nullptr, 10);
  return pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// A display number with neither a lock file nor a socket, after clearing a
// stale lock where one is found; the pid spreads parallel tests over the
// range.
int FreeDisplayNumber() {
  for (int tries = 0; tries < 400; ++tries) {
    const int n = 100 + int((getpid() + tries * 7) % 800);
    if (LockIsStale(n)) RemoveServerFiles(n);
    struct stat info {};
    if (stat(LockPath(n).c_str(), &info) != 0 && stat(SocketPath(n).c_str(), &info) != 0) return n;
  }
  return -1;
}

}  // namespace

XvfbServer::XvfbServer() {
  const std::string xvfb = FindXvfb();
  if (xvfb.empty()) {
    skipped_ = "Xvfb is not installed (scripts/setup.sh installs it)";
    return;
  }
  const int number = FreeDisplayNumber();
  if (number < 0) {
    skipped_ = "no free X display number";
    return;
  }
  number_ = number;
  name_ = ":" + std::to_string(number);
  pid_ = fork();
  if (pid_ == 0) {
    const int null = open("/dev/null", 1);
    dup2(null, 1);
    dup2(null, 2);
    execl(xvfb.c_str(), "Xvfb", name_.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
          "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  // The server takes a moment to start: try to connect for up to 10 s in
  // short steps (this waits on the server, not on any clock of ours).
  for (int i = 0; i < 1000 && !display_; ++i) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      break;
    }
    display_ = XOpenDisplay(name_.c_str());
    if (!display_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!display_) skipped_ = "Xvfb did not start on " + name_;
}

void XvfbServer::Kill() {
  if (pid_ > 0) {
    // The test's own connection breaks too: it is left alone from now on
    // (closing it would end the process through Xlib's I/O error path).
#if defined(QUELLOR_HAVE_LSAN) && defined(__SANITIZE_ADDRESS__)
    if (display_) __lsan_ignore_object(display_);
#endif
    display_ = nullptr;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    // Killed at once, the server leaves its lock and socket behind.
    RemoveServerFiles(number_);
  }
}

XvfbServer::~XvfbServer() {
  if (display_) XCloseDisplay(display_);
  Kill();
}

}  // namespace quellor::display::testing
