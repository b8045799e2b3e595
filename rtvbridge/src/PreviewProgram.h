// The on-screen preview programs that run beside an open recording context
// ("VideoPreviewIn.exe") or sink ("VideoPreviewOut.exe"): started from the
// search path when their setting asks for it, and ended with the context or
// sink, which stores whether the user still had it open.
#pragma once

#include <windows.h>

#include "PreviewProcess.h"

namespace quellor::rtvbridge {

class PreviewProgram {
 public:
  // fileName: "VideoPreviewIn.exe"; settingKey: "EdgeWrightVideoPreviewIn".
  PreviewProgram(const char* fileName, const char* settingKey)
      : fileName_(fileName), settingKey_(settingKey) {}
  PreviewProgram(const PreviewProgram&) = delete;
  PreviewProgram& operator=(const PreviewProgram&) = delete;

  // Starts the program when none is running and the setting (default 1) is
  // non-zero. Throws kCannotLaunchPreview when it cannot be found or started.
  void StartIfWanted();
  // Stores the setting (1 while the program still runs, 0 when it was never
  // started or the user closed it), asks its windows to close, waits up to
  // the close wait and then ends it (exit code 0).
  void End();
  bool Started() const { return process_.Started(); }
  DWORD ProcessId() const { return process_.ProcessId(); }

  // The wait of End (1000 ms); tests shorten it.
  static void SetCloseWait(DWORD milliseconds);

 private:
  const char* fileName_;
  const char* settingKey_;
  preview::PreviewProcess process_;
};

}  // namespace quellor::rtvbridge
