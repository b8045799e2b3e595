#include "quellor/testing/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <utility>

extern char** environ;

namespace quellor::testing {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// This process's environment with `extra` added or replacing; as
// "NAME=value" strings that outlive the spawn.
std::vector<std::string> MergedEnvironment(const EnvironmentList& extra) {
  std::map<std::string, std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals == nullptr) continue;
    merged[std::string(*entry, static_cast<std::size_t>(equals - *entry))] = equals + 1;
  }
  for (const auto& [name, value] : extra) merged[name] = value;
  std::vector<std::string> out;
  for (const auto& [name, value] : merged) out.push_back(name + "=" + value);
  return out;
}

struct Pipes {
  int input[2] = {-1, -1};
  int output[2] = {-1, -1};
  int error[2] = {-1, -1};
};

// Starts the program with its standard streams on the pipes that are open;
// returns its process id or -1.
pid_t Spawn(const std::string& program, const std::vector<std::string>& arguments,
            const EnvironmentList& environment, const Pipes& pipes, bool errorToOutput) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (pipes.input[0] >= 0) posix_spawn_file_actions_adddup2(&actions, pipes.input[0], 0);
  if (pipes.output[1] >= 0) posix_spawn_file_actions_adddup2(&actions, pipes.output[1], 1);
  if (errorToOutput && pipes.output[1] >= 0) {
    posix_spawn_file_actions_adddup2(&actions, pipes.output[1], 2);
  } else if (pipes.error[1] >= 0) {
    posix_spawn_file_actions_adddup2(&actions, pipes.error[1], 2);
  }
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> env = MergedEnvironment(environment);
  std::vector<char*> envp;
  for (auto& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
    pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Waits for the child until the deadline (through a process file descriptor,
// so no polling on the clock), then kills it. Returns the exit code or -1.
int Reap(pid_t pid, Clock::time_point deadline, bool* timedOut) {
  const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  if (pidfd >= 0) {
    pollfd watch{pidfd, POLLIN, 0};
    int ready;
    do {
      ready = ::poll(&watch, 1, MillisecondsLeft(deadline));
    } while (ready < 0 && errno == EINTR);
    ::close(pidfd);
    if (ready == 0) {
      if (timedOut) *timedOut = true;
      ::kill(pid, SIGKILL);
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string ProgramPath(const std::string& name) {
  if (const char* bin = std::getenv("QUELLOR_BIN"); bin != nullptr && *bin != '\0')
    return std::string(bin) + "/" + name;
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return (self.parent_path().parent_path().parent_path() / "bin" / name).string();
}

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const ChildOptions& options) {
  ChildResult result;
  const auto deadline = Clock::now() + options.bound;
  Pipes pipes;
  if (::pipe2(pipes.input, O_CLOEXEC) != 0 || ::pipe2(pipes.output, O_CLOEXEC) != 0 ||
      ::pipe2(pipes.error, O_CLOEXEC) != 0) {
    for (int* p : {pipes.input, pipes.output, pipes.error}) {
      CloseFd(p[0]);
      CloseFd(p[1]);
    }
    return result;
  }
  const pid_t pid = Spawn(program, arguments, options.environment, pipes, options.errorToOutput);
  CloseFd(pipes.input[0]);
  CloseFd(pipes.output[1]);
  CloseFd(pipes.error[1]);
  int toChild = pipes.input[1];
  int fromOut = pipes.output[0];
  int fromErr = pipes.error[0];
  if (pid < 0) {
    CloseFd(toChild);
    CloseFd(fromOut);
    CloseFd(fromErr);
    return result;
  }
  // Feed the input and drain both outputs together: a child that fills one
  // pipe while the test waits on another would otherwise never end.
  std::size_t written = 0;
  if (options.input.empty()) CloseFd(toChild);
  if (toChild >= 0) ::fcntl(toChild, F_SETFL, O_NONBLOCK);
  while (fromOut >= 0 || fromErr >= 0) {
    pollfd fds[3];
    int count = 0;
    if (fromOut >= 0) fds[count++] = {fromOut, POLLIN, 0};
    if (fromErr >= 0) fds[count++] = {fromErr, POLLIN, 0};
    if (toChild >= 0) fds[count++] = {toChild, POLLOUT, 0};
    const int ready = ::poll(fds, static_cast<nfds_t>(count), MillisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      result.timedOut = true;
      ::kill(pid, SIGKILL);
      break;
    }
    for (int i = 0; i < count; ++i) {
      if (fds[i].revents == 0) continue;
      if (fds[i].fd == toChild) {
        const ssize_t put =
            ::write(toChild, options.input.data() + written, options.input.size() - written);
        if (put > 0) written += static_cast<std::size_t>(put);
        if (put < 0 || written == options.input.size()) CloseFd(toChild);
        continue;
      }
      char chunk[4096];
      const ssize_t got = ::read(fds[i].fd, chunk, sizeof chunk);
      std::string& into = fds[i].fd == fromOut ? result.output : result.error;
      if (got > 0) {
        into.append(chunk, static_cast<std::size_t>(got));
      } else if (fds[i].fd == fromOut) {
        CloseFd(fromOut);
      } else {
        CloseFd(fromErr);
      }
    }
  }
  CloseFd(toChild);
  CloseFd(fromOut);
  CloseFd(fromErr);
  result.exitCode = Reap(pid, deadline, &result.timedOut);
  if (result.timedOut) result.exitCode = -1;
  return result;
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const EnvironmentList& environment) {
  Pipes pipes;
  if (::pipe2(pipes.input, O_CLOEXEC) != 0 || ::pipe2(pipes.output, O_CLOEXEC) != 0) {
    for (int* p : {pipes.input, pipes.output}) {
      CloseFd(p[0]);
      CloseFd(p[1]);
    }
    return;
  }
  pid_ = Spawn(program, arguments, environment, pipes, false);
  CloseFd(pipes.input[0]);
  CloseFd(pipes.output[1]);
  toChild_ = pipes.input[1];
  fromChild_ = pipes.output[0];
}

ChildProcess::~ChildProcess() {
  Finish();
}

std::string ChildProcess::ReadLine(std::chrono::milliseconds bound) {
  const auto deadline = Clock::now() + bound;
  for (;;) {
    if (const auto end = pending_.find('\n'); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    if (fromChild_ < 0) break;
    pollfd watch{fromChild_, POLLIN, 0};
    const int ready = ::poll(&watch, 1, MillisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return "";
    char chunk[512];
    const ssize_t got = ::read(fromChild_, chunk, sizeof chunk);
    if (got <= 0) {
      CloseFd(fromChild_);
      break;
    }
    pending_.append(chunk, static_cast<std::size_t>(got));
  }
  return std::exchange(pending_, {});
}

void ChildProcess::CloseInput() {
  CloseFd(toChild_);
}

int ChildProcess::Finish(std::chrono::milliseconds bound) {
  CloseFd(toChild_);
  CloseFd(fromChild_);
  if (pid_ <= 0) return -1;
  const int code = Reap(pid_, Clock::now() + bound, nullptr);
  pid_ = -1;
  return code;
}

}  // namespace quellor::testing
