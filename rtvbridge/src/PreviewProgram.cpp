#include "PreviewProgram.h"

#include <atomic>
#include <string>

#include "BridgeSettings.h"
#include "BridgeTexts.h"

namespace quellor::rtvbridge {
namespace {

std::atomic<DWORD> g_closeWait{1000};

BOOL CALLBACK PostCloseToProcessWindows(HWND window, LPARAM processId) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(processId)) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

void PreviewProgram::SetCloseWait(DWORD milliseconds) {
  g_closeWait = milliseconds;
}

PreviewProgram::~PreviewProgram() {
  Forget();
}

bool PreviewProgram::StillRunning() const {
  if (info_.dwProcessId == 0) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, info_.dwProcessId);
  if (process == nullptr) return false;
  // An ended child can still be opened while its handle is held: the exit
  // code decides.
  DWORD exitCode = 0;
  const bool running = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

void PreviewProgram::StartIfWanted() {
  if (StillRunning()) return;
  Forget();
  if (ReadSetting(settingKey_, 1) == 0) return;
  char path[MAX_PATH] = {};
  if (SearchPathA(nullptr, fileName_, nullptr, MAX_PATH, path, nullptr) == 0)
    throw kCannotLaunchPreview;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  char commandLine[1] = {'\0'};
  if (!CreateProcessA(path, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info_)) {
    info_ = {};
    throw kCannotLaunchPreview;
  }
  OutputDebugStringA((std::string("rtvbridge: started ") + path + "\n").c_str());
}

void PreviewProgram::End() {
  if (info_.dwProcessId == 0) {
    WriteSetting(settingKey_, 0);
    return;
  }
  WriteSetting(settingKey_, StillRunning() ? 1 : 0);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, info_.dwProcessId);
  if (process != nullptr) {
    EnumWindows(PostCloseToProcessWindows, static_cast<LPARAM>(info_.dwProcessId));
    if (WaitForSingleObject(process, g_closeWait) != WAIT_OBJECT_0) TerminateProcess(process, 0);
    CloseHandle(process);
  }
  Forget();
}

void PreviewProgram::Forget() {
  if (info_.hThread) CloseHandle(info_.hThread);
  if (info_.hProcess) CloseHandle(info_.hProcess);
  info_ = {};
}

}  // namespace quellor::rtvbridge
