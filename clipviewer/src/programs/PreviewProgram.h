// One of the outside preview programs ("VideoPreviewOut.exe",
// "VideoPreviewIn.exe"): started from the search path at most once at a time,
// and closed politely, then by force.
#pragma once

#include "PreviewProcess.h"
#include "windows.h"

namespace quellor::clipviewer {

class PreviewProgram {
 public:
  explicit PreviewProgram(const char* fileName) : fileName_(fileName) {}
  PreviewProgram(const PreviewProgram&) = delete;
  PreviewProgram& operator=(const PreviewProgram&) = delete;

  // Does nothing while the last started copy runs; otherwise forgets it, finds
  // the program on the search path and starts it with an empty command line.
  // Raises kCannotLaunchPreview when it cannot be found or started.
  void Start();
  // Asks every top-level window of the process to close, waits up to 1000 ms
  // and then ends it (exit code 0); forgets the record either way.
  void Close();
  bool IsRunning() const { return process_.IsRunning(); }
  DWORD ProcessId() const { return process_.ProcessId(); }

 private:
  const char* fileName_;
  preview::PreviewProcess process_;
};

}  // namespace quellor::clipviewer
