// A running copy of one of the outside preview programs ("VideoPreviewIn.exe",
// "VideoPreviewOut.exe"), as the programs that start them keep it: found on
// the search path and started with an empty command line, watched, and
// closed politely (WM_CLOSE to its windows), then by force.
//
// Linked into clipviewer and rtvbridge.so alike; nothing of it is exported.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace quellor::preview {

class PreviewProcess {
 public:
  // Starts the program at `path` and fills `info`; false when it cannot.
  using Launch = std::function<bool(const char* path, PROCESS_INFORMATION* info)>;

  PreviewProcess() = default;
  ~PreviewProcess() { Forget(); }
  PreviewProcess(const PreviewProcess&) = delete;
  PreviewProcess& operator=(const PreviewProcess&) = delete;

  // Finds `fileName` on the search path and starts it through `launch`
  // (CreateProcessA when empty). False, with nothing kept, when it is not
  // found or does not start. The caller forgets or closes an earlier copy
  // first.
  bool Start(const char* fileName, const Launch& launch = {});
  // True while the started copy runs. A copy that ended can still be opened
  // while its handle is held, so its exit code decides.
  bool IsRunning() const;
  // Posts WM_CLOSE to every top-level window of the copy, waits up to
  // `waitMs` for it to end and then ends it (exit code 0); forgets it.
  void Close(DWORD waitMs);
  // Lets go of the copy's handles without ending it.
  void Forget();

  bool Started() const { return info_.dwProcessId != 0; }
  DWORD ProcessId() const { return info_.dwProcessId; }
  // The full path of the started copy; empty before a start.
  const std::string& Path() const { return path_; }

 private:
  PROCESS_INFORMATION info_ = {};
  std::string path_;
};

}  // namespace quellor::preview
