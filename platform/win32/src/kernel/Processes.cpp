// CreateProcessA, OpenProcess, exit codes and termination. Our children are
// watched by one thread each, which records the exit and reaps the child; a
// process that is not our child can only be polled for being alive.
#include <win32/quellor_host.h>

#include "kernel/CommandLine.h"
#include "kernel/ErrnoMapping.h"
#include "kernel/PathArgument.h"
#include "kernel/ProgramLocation.h"
#include "kernel/Scheduling.h"
#include "kernel/Waitable.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <thread>

extern char** environ;

namespace quellor::win32 {
namespace {

class ProcessObject final : public Waitable {
 public:
  ProcessObject(pid_t pid, bool child) : Waitable(ObjectKind::Process), pid_(pid), child_(child) {}

  pid_t pid() const { return pid_; }

  bool Signaled(DWORD) const override {
    if (child_) return finished_;
    // Not our child: gone once the pid no longer exists.
    return ::kill(pid_, 0) != 0 && errno == ESRCH;
  }
  bool NeedsPolling() const override { return !child_; }

  // With SyncMutex() held.
  DWORD ExitCode() const {
    if (!Signaled(0)) return STILL_ACTIVE;
    return child_ ? exit_code_ : termination_code_.value_or(0);
  }

  // With SyncMutex() held: while the child is unreaped its pid cannot be
  // reused, so the signal cannot hit another process.
  bool Terminate(UINT code) {
    if (Signaled(0)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return false;
    }
    if (::kill(pid_, SIGKILL) != 0) {
      SetLastError(errno == EPERM ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno));
      return false;
    }
    if (!termination_code_) termination_code_ = code;
    return true;
  }

  // Runs on the watcher thread of a child until it has ended.
  void Watch() {
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT) != 0 &&
           errno == EINTR) {
    }
    {
      std::lock_guard lock(SyncMutex());
      if (info.si_code == CLD_EXITED) {
        exit_code_ = static_cast<DWORD>(info.si_status);
      } else {
        // Killed: by TerminateProcess (its code), or by a signal (shell style).
        exit_code_ = termination_code_.value_or(128u + static_cast<DWORD>(info.si_status));
      }
      finished_ = true;
      ::waitpid(pid_, nullptr, 0);
    }
    NotifySyncChange();
  }

 private:
  const pid_t pid_;
  const bool child_;
  // Guarded by SyncMutex():
  bool finished_ = false;
  DWORD exit_code_ = STILL_ACTIVE;
  std::optional<UINT> termination_code_;
};

struct Children {
  std::mutex mutex;
  std::map<pid_t, std::weak_ptr<ProcessObject>> by_pid;
};

Children& TheChildren() {
  static auto* children = new Children;
  return *children;
}

bool IsExecutable(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

bool HasExtension(const std::string& name) {
  std::size_t slash = name.find_last_of('/');
  return name.find('.', slash == std::string::npos ? 0 : slash + 1) != std::string::npos;
}

// "x.exe" may be the Linux stand-in "x"; "x" may be "x.exe".
std::vector<std::string> ProgramCandidates(const std::string& name) {
  std::vector<std::string> names{name};
  if (name.size() > 4) {
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (tail == ".exe") names.push_back(name.substr(0, name.size() - 4));
  }
  if (!HasExtension(name)) names.push_back(name + ".exe");
  return names;
}

// Finds the program: where its name says when it has a folder, else in the
// program's own folder, the current folder and then PATH.
std::string FindProgram(const std::string& host_name, bool search) {
  std::vector<std::string> folders;
  if (!search || host_name.find('/') != std::string::npos) {
    folders.push_back("");
  } else {
    folders = DefaultSearchFolders();
  }
  for (const auto& folder : folders) {
    for (const auto& candidate : ProgramCandidates(host_name)) {
      std::string path = folder.empty() ? candidate : folder + "/" + candidate;
      if (IsExecutable(path)) return path;
    }
  }
  return {};
}

std::vector<std::string> EnvironmentBlock(LPVOID block) {
  std::vector<std::string> entries;
  if (block == nullptr) {
    for (char** entry = environ; entry && *entry; ++entry) entries.emplace_back(*entry);
    return entries;
  }
  for (const char* entry = static_cast<const char*>(block); *entry;
       entry += std::strlen(entry) + 1) {
    entries.emplace_back(entry);
  }
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (auto& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Forks and executes; returns the pid, or -1 with errno from the child's
// failed exec (reported through a close-on-exec pipe).
pid_t Spawn(const std::string& program, std::vector<std::string> arguments,
            std::vector<std::string> environment, const std::string& folder) {
  std::vector<char*> argv = Pointers(arguments);
  std::vector<char*> envp = Pointers(environment);
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return -1;
  pid_t pid = ::fork();
  if (pid == 0) {
    // Only async-signal-safe calls from here on.
    int error = 0;
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
      error = errno;
    } else {
      ::execve(program.c_str(), argv.data(), envp.data());
      error = errno;
    }
    ssize_t ignored = ::write(report[1], &error, sizeof error);
    (void)ignored;
    ::_exit(127);
  }
  int fork_error = errno;
  ::close(report[1]);
  if (pid < 0) {
    ::close(report[0]);
    errno = fork_error;
    return -1;
  }
  int child_error = 0;
  ssize_t got;
  do {
    got = ::read(report[0], &child_error, sizeof child_error);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  if (got == static_cast<ssize_t>(sizeof child_error)) {
    ::waitpid(pid, nullptr, 0);
    errno = child_error;
    return -1;
  }
  return pid;
}

std::shared_ptr<ProcessObject> LookupProcess(HANDLE handle) {
  return LookupObject<ProcessObject>(handle, ObjectKind::Process);
}

}  // namespace
}  // namespace quellor::win32

using namespace quellor::win32;

extern "C" BOOL WINAPI CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine,
                                      LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                                      DWORD /*flags: windows and consoles do not apply*/,
                                      LPVOID lpEnvironment, LPCSTR lpCurrentDirectory,
                                      LPSTARTUPINFOA /*show-window requests do not apply*/,
                                      LPPROCESS_INFORMATION lpProcessInformation) {
  if (lpProcessInformation == nullptr ||
      (lpApplicationName == nullptr && (lpCommandLine == nullptr || *lpCommandLine == '\0'))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<std::string> arguments =
      SplitCommandLine(lpCommandLine ? lpCommandLine : lpApplicationName);
  std::string wanted;
  if (!HostPathArgument(lpApplicationName ? lpApplicationName : arguments.front().c_str(),
                        wanted)) {
    return FALSE;
  }
  std::string program = FindProgram(wanted, lpApplicationName == nullptr);
  if (program.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  if (arguments.empty()) arguments.push_back(program);
  std::string folder;
  if (lpCurrentDirectory != nullptr) {
    struct stat status;
    if (!HostPathArgument(lpCurrentDirectory, folder) || ::stat(folder.c_str(), &status) != 0 ||
        !S_ISDIR(status.st_mode)) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
  }
  auto& children = TheChildren();
  std::shared_ptr<ProcessObject> process;
  {
    // Registered before the watcher can see it end, so OpenProcess finds it.
    std::lock_guard lock(children.mutex);
    pid_t pid = Spawn(program, arguments, EnvironmentBlock(lpEnvironment), folder);
    if (pid < 0) {
      SetLastError(errno == ENOEXEC ? ERROR_BAD_EXE_FORMAT : ErrorFromErrno(errno));
      return FALSE;
    }
    process = std::make_shared<ProcessObject>(pid, true);
    children.by_pid[pid] = process;
  }
  std::thread([process] { process->Watch(); }).detach();
  HANDLE process_handle = HandleTable::instance().insert(process);
  // The "primary thread" handle is the process itself: waiting on it works.
  HANDLE thread_handle = HandleTable::instance().insert(process);
  lpProcessInformation->hProcess = process_handle;
  lpProcessInformation->hThread = thread_handle;
  lpProcessInformation->dwProcessId = static_cast<DWORD>(process->pid());
  lpProcessInformation->dwThreadId = static_cast<DWORD>(process->pid());
  return TRUE;
}

extern "C" HANDLE WINAPI OpenProcess(DWORD, BOOL, DWORD dwProcessId) {
  auto pid = static_cast<pid_t>(dwProcessId);
  if (pid <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::shared_ptr<ProcessObject> process;
  {
    auto& children = TheChildren();
    std::lock_guard lock(children.mutex);
    auto found = children.by_pid.find(pid);
    if (found != children.by_pid.end()) process = found->second.lock();
  }
  if (!process) {
    if (::kill(pid, 0) != 0 && errno == ESRCH) {
      SetLastError(ERROR_INVALID_PARAMETER);  // no such process
      return nullptr;
    }
    process = std::make_shared<ProcessObject>(pid, false);
  }
  return HandleTable::instance().insert(std::move(process));
}

extern "C" BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
  if (lpExitCode == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (hProcess == kCurrentProcessPseudoHandle) {
    *lpExitCode = STILL_ACTIVE;
    return TRUE;
  }
  auto process = LookupProcess(hProcess);
  if (!process) return FALSE;
  std::lock_guard lock(SyncMutex());
  *lpExitCode = process->ExitCode();
  return TRUE;
}

extern "C" BOOL WINAPI TerminateProcess(HANDLE hProcess, UINT uExitCode) {
  if (hProcess == kCurrentProcessPseudoHandle) ::_exit(static_cast<int>(uExitCode));
  auto process = LookupProcess(hProcess);
  if (!process) return FALSE;
  std::lock_guard lock(SyncMutex());
  return process->Terminate(uExitCode) ? TRUE : FALSE;
}
