// The entry point the subset calls when it loads the presenter: connect to
// the display and show the windows from a thread of the presenter's own.
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <mutex>
#include <thread>

#include "FontWarmUp.h"
#include "XPresenter.h"

namespace {

struct Running {
  std::unique_ptr<quellor::display::XPresenter> presenter;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
};

Running* g_running = nullptr;

// How long the exit waits for the presenter's thread to finish its round
// (a repaint, the clipboard, a lost server's clean-up). A round takes a few
// milliseconds, but a loaded machine or a sanitizer can stretch it tenfold;
// libX11's own clean-up runs after this wait and must not find the thread
// still inside an Xlib call.
constexpr auto kExitWait = std::chrono::seconds(2);

// At exit the presenter stops before the subset's own state goes away. It may
// be waiting on a program thread that no longer answers (a clipboard notice):
// then, after kExitWait, it is left behind rather than hanging the exit.
void StopAtExit() {
  if (!g_running) return;
  g_running->presenter->Stop();
  std::unique_lock lock(g_running->mutex);
  g_running->finished.wait_for(lock, kExitWait, [] { return g_running->done; });
}

// The connection's start: the presenter's thread says whether the display
// answered, then when the fonts are ready. The caller may give up on the
// answer (a server that accepts and never answers); the thread then closes
// whatever it got and leaves the process alone.
struct Opening {
  std::mutex mutex;
  std::condition_variable changed;
  bool answered = false;
  bool ready = false;
  bool abandoned = false;
  std::string error;
};

// How long a program waits for the display to answer its connection. A
// server answers within milliseconds; one that has stopped (a suspended
// Xvfb, a frozen desktop) never does, and the program then runs without its
// windows on the screen instead of never starting.
std::chrono::milliseconds ConnectWait() {
  if (const char* text = std::getenv("QUELLOR_X_CONNECT_TIMEOUT_MS")) {
    const long ms = std::strtol(text, nullptr, 10);
    if (ms > 0 && ms <= 600000) return std::chrono::milliseconds(ms);
  }
  return std::chrono::seconds(20);
}

void RunPresenter(std::shared_ptr<Opening> opening) {
  auto presenter = std::make_unique<quellor::display::XPresenter>(nullptr);
  const bool connected = presenter->Connected();
  {
    std::lock_guard lock(opening->mutex);
    if (opening->abandoned) return;  // the caller went on without us
    opening->answered = true;
    opening->error = connected ? std::string() : presenter->Error();
    if (connected) g_running->presenter = std::move(presenter);
  }
  opening->changed.notify_all();
  if (!connected) return;
  // Before the caller goes on: it then registers StopAtExit after the font
  // library's own clean-up, which therefore runs after the presenter has
  // stopped, and no program thread draws text beside the warm-up.
  quellor::display::WarmFontConfiguration();
  {
    std::lock_guard lock(opening->mutex);
    opening->ready = true;
  }
  opening->changed.notify_all();
  g_running->presenter->Run();
  std::lock_guard lock(g_running->mutex);
  g_running->done = true;
  g_running->finished.notify_all();
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool quellor_display_start() {
  // The connection is opened, used and kept by the presenter's own thread;
  // the caller learns whether it could be opened.
  auto opening = std::make_shared<Opening>();
  g_running = new Running;  // lives to the end of the process
  std::thread(RunPresenter, opening).detach();
  std::unique_lock lock(opening->mutex);
  if (!opening->changed.wait_for(lock, ConnectWait(), [&] { return opening->answered; })) {
    opening->abandoned = true;  // the thread no longer touches g_running
    lock.unlock();
    std::fprintf(stderr,
                 "quellor: the display \"%s\" did not answer; the windows stay off the "
                 "screen\n",
                 XDisplayName(nullptr));
    delete g_running;
    g_running = nullptr;
    return false;
  }
  if (!opening->error.empty()) {
    const std::string error = opening->error;
    lock.unlock();
    std::fprintf(stderr, "quellor: %s; the windows stay off the screen\n", error.c_str());
    delete g_running;
    g_running = nullptr;
    return false;
  }
  // The font warm-up waits on nothing outside the process.
  opening->changed.wait(lock, [&] { return opening->ready; });
  lock.unlock();
  std::atexit(StopAtExit);
  return true;
}
