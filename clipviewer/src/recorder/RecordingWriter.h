// The recorder's writer: a thread at time-critical priority that takes full
// frames off the ring, writes them with the clip writer (Write frame for the
// first, Append frame for every later one) and puts the buffers back on the
// free list. Asked to stop, it first writes what is still full, so that the
// clip holds every frame captured before Stop.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "recorder/FrameRing.h"

namespace quellor::clipviewer::recorder {

struct WriterEvents {
  std::function<void()> frameWritten;  // after each frame on disk
  std::function<void()> mustStop;      // a write failed or the limit was reached
};

class RecordingWriter {
 public:
  // `drops` is shared with the field callback: every frame that does not
  // reach the disk counts there.
  RecordingWriter(FrameRing& ring, std::atomic<unsigned>& drops, WriterEvents events);
  ~RecordingWriter();  // Finish
  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;

  // Starts the thread writing to `hostPath`, a clip already created.
  bool Start(const std::string& hostPath);
  // Writes what is still full, then ends the thread. Safe to call twice.
  void Finish();

  unsigned FramesWritten() const { return framesWritten_.load(); }
  void ResetCount() { framesWritten_.store(0); }
  // Test seams: hold the writer (frames pile up on the full list); wait until
  // every full frame has been written.
  void Hold(bool hold) { hold_.store(hold); }
  void WaitUntilWritten() const;

 private:
  class Thread;
  // One frame from the full list; false when it was empty.
  bool WriteOneFrame();

  FrameRing& ring_;
  std::atomic<unsigned>& drops_;
  WriterEvents events_;
  std::string hostPath_;
  std::unique_ptr<Thread> thread_;
  std::atomic<unsigned> framesWritten_{0};
  unsigned frameLimit_ = 0xFFFFFFFFu;  // all ones: no limit
  std::atomic<bool> hold_{false};
  std::atomic<int> writing_{0};  // frames taken off the full list, not yet back
  std::atomic<bool> failed_{false};
};

}  // namespace quellor::clipviewer::recorder
