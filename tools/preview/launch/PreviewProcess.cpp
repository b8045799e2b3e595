#include "PreviewProcess.h"

namespace quellor::preview {
namespace {

BOOL CALLBACK PostCloseToProcessWindows(HWND window, LPARAM processId) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(processId)) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

bool CreateProcessLaunch(const char* path, PROCESS_INFORMATION* info) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  char commandLine[1] = {'\0'};
  return CreateProcessA(path, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        info) != FALSE;
}

}  // namespace

bool PreviewProcess::Start(const char* fileName, const Launch& launch) {
  Forget();
  char path[MAX_PATH] = {};
  if (fileName == nullptr || SearchPathA(nullptr, fileName, nullptr, MAX_PATH, path, nullptr) == 0)
    return false;
  const bool started = launch ? launch(path, &info_) : CreateProcessLaunch(path, &info_);
  if (!started) {
    info_ = {};
    return false;
  }
  path_ = path;
  return true;
}

bool PreviewProcess::IsRunning() const {
  if (info_.dwProcessId == 0) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, info_.dwProcessId);
  if (process == nullptr) return false;
  DWORD exitCode = 0;
  const bool running = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

void PreviewProcess::Close(DWORD waitMs) {
  if (info_.dwProcessId != 0) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, info_.dwProcessId);
    if (process != nullptr) {
      EnumWindows(PostCloseToProcessWindows, static_cast<LPARAM>(info_.dwProcessId));
      if (WaitForSingleObject(process, waitMs) != WAIT_OBJECT_0) TerminateProcess(process, 0);
      CloseHandle(process);
    }
  }
  Forget();
}

void PreviewProcess::Forget() {
  if (info_.hThread) CloseHandle(info_.hThread);
  if (info_.hProcess) CloseHandle(info_.hProcess);
  info_ = {};
  path_.clear();
}

}  // namespace quellor::preview
