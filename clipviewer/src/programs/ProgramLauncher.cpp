#include "programs/ProgramLauncher.h"

#include <utility>
#include <vector>

namespace quellor::clipviewer {
namespace {
LaunchFunction& Current() {
  static LaunchFunction launch;
  return launch;
}
}  // namespace

bool CreateProcessLaunch(const char* application, const std::string& commandLine, bool hidden,
                         PROCESS_INFORMATION* info) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (hidden) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
  }
  // CreateProcessA may write into the command line, so it gets its own copy.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  return CreateProcessA(application, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, info) != FALSE;
}

bool LaunchProgram(const char* application, const std::string& commandLine, bool hidden,
                   PROCESS_INFORMATION* info) {
  *info = {};
  if (Current()) return Current()(application, commandLine, hidden, info);
  return CreateProcessLaunch(application, commandLine, hidden, info);
}

LaunchFunction SetLaunchFunction(LaunchFunction launch) {
  return std::exchange(Current(), std::move(launch));
}

}  // namespace quellor::clipviewer
