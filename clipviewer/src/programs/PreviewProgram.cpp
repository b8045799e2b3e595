#include "programs/PreviewProgram.h"

#include <string>

#include "app/ViewerError.h"
#include "app/ViewerTexts.h"
#include "programs/ProgramLauncher.h"

namespace quellor::clipviewer {
namespace {

constexpr DWORD kCloseWaitMs = 1000;

BOOL CALLBACK PostCloseToProcessWindows(HWND window, LPARAM processId) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(processId)) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

PreviewProgram::~PreviewProgram() {
  Forget();
}

bool PreviewProgram::IsRunning() const {
  if (info_.dwProcessId == 0) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, info_.dwProcessId);
  if (process == nullptr) return false;
  // A process that has ended can still be opened while we hold its handle,
  // so the exit code decides; otherwise a closed preview could never return.
  DWORD exitCode = 0;
  const bool running = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

void PreviewProgram::Start() {
  if (IsRunning()) return;
  Close();
  char path[MAX_PATH] = {};
  if (SearchPathA(nullptr, fileName_, nullptr, MAX_PATH, path, nullptr) == 0)
    Raise(kCannotLaunchPreview);
  if (!LaunchProgram(path, "", false, &info_)) {
    info_ = {};
    Raise(kCannotLaunchPreview);
  }
  std::string note = std::string("clipviewer: started ") + path + "\n";
  OutputDebugStringA(note.c_str());
}

void PreviewProgram::Close() {
  if (info_.dwProcessId != 0) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, info_.dwProcessId);
    if (process != nullptr) {
      EnumWindows(PostCloseToProcessWindows, static_cast<LPARAM>(info_.dwProcessId));
      if (WaitForSingleObject(process, kCloseWaitMs) != WAIT_OBJECT_0) TerminateProcess(process, 0);
      CloseHandle(process);
    }
  }
  Forget();
}

void PreviewProgram::Forget() {
  if (info_.hThread) CloseHandle(info_.hThread);
  if (info_.hProcess) CloseHandle(info_.hProcess);
  info_ = {};
}

}  // namespace quellor::clipviewer
