// Bounds on the waits of the recording and sink calls. The calls wait for
// the board (a field stamped after the stop, a free frame buffer, the queue
// shown); without an input signal or with a host that holds every buffer
// those never come, so each wait gives up after its bound and the call
// reports it instead of hanging the host.
#pragma once

#include <windows.h>

namespace quellor::rtvbridge {

struct WaitBounds {
  // AVFILE_StopRecording and AVFILE_AddRecordingFile: 5 s is 150 NTSC
  // frames, far more than the 20 queued frames need even on a slow disk.
  DWORD recordingMs = 5000;
  // AVFILE_SinkGetEmptyBuffer, AVFILE_StopSink and AVFILE_CloseSink.
  DWORD sinkMs = 5000;
};

WaitBounds& Bounds();

// Sleeps 1 ms at a time until `done()` or until `boundMs` have passed;
// true when done.
template <class Done>
bool WaitUntil(DWORD boundMs, Done&& done) {
  const ULONGLONG deadline = GetTickCount64() + boundMs;
  while (!done()) {
    if (GetTickCount64() >= deadline) return done();
    Sleep(1);
  }
  return true;
}

}  // namespace quellor::rtvbridge
