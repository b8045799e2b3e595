// One recording of the board's input 0 to a new clip. Fields arrive on an
// engine thread (OnField), are paired into frames in the FrameRing, and a
// time-critical writer thread writes the full frames with the clip writer:
// Write frame for the first, Append frame for every later one. The field
// callback copies and links buffers only; it never waits on the disk.
//
// The recorder tells its dialog through posted messages: WM_COMMAND Stop
// when it cannot go on (no free buffer, a failed write) and
// kFramesWrittenMessage after every frame written.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "board/Engine.h"
#include "recorder/FrameRing.h"
#include "recorder/RecordingWriter.h"

namespace quellor::clipviewer::recorder {

struct RecorderSetup {
  HWND dialog = nullptr;      // gets Stop and the frame count
  DWORD switcherClient = 0;   // for the field time stamps
  unsigned frameLines = 480;  // 480 NTSC or 576 PAL
};

class Recorder {
 public:
  // Opens an engine instance, commits the buffers, starts the writer and
  // puts the probe on the input pin. Raises (ViewerError) the engine's and
  // the memory's failure texts.
  explicit Recorder(const RecorderSetup& setup);
  // Finishes (Finish) if that was not done.
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Creates the clip at `path` (a Windows path, kept for the file list;
  // the writer uses its host path) and starts capturing from the current
  // field on. False, with the writer's failure text in `error`, when the
  // clip cannot be created; nothing is captured then.
  bool Start(const std::string& path, std::string& error);
  // Stop, first step: no field after the current one is captured.
  void StopCapture();
  // Stop, last steps: detaches and destroys the probe, lets the writer put
  // the frames already captured on disk and end, releases the engine
  // instance, closes the clip. Safe to call twice.
  void Finish();

  const std::string& Path() const { return path_; }
  unsigned FramesWritten() const { return writer_ ? writer_->FramesWritten() : framesAtFinish_; }
  unsigned Drops() const { return drops_.load(); }
  unsigned FrameLines() const { return frameLines_; }

  // Test seams: hold the writer (frames pile up on the full list), and wait
  // until every captured frame has been written.
  void HoldWriter(bool hold) {
    if (writer_) writer_->Hold(hold);
  }
  void WaitUntilWritten() const {
    if (writer_) writer_->WaitUntilWritten();
  }
  // The longest run of the field callback so far, in nanoseconds.
  std::uint64_t LongestFieldNanoseconds() const { return longestFieldNs_.load(); }
  // Every run of the field callback so far, added up, and their number.
  std::uint64_t TotalFieldNanoseconds() const { return totalFieldNs_.load(); }
  std::uint64_t FieldCalls() const { return fieldCalls_.load(); }

 private:
  static DWORD OnFieldThunk(void* context, const BYTE* pixels, const RTME_FieldInfo* info);
  DWORD OnField(const BYTE* pixels, const RTME_FieldInfo* info);
  DWORD Release(const RTME_FieldInfo* info) const;
  void CountDrop() { drops_.fetch_add(1); }
  void PostStop() const;

  HWND dialog_;
  DWORD switcherClient_;
  unsigned frameLines_;
  size_t fieldBytes_;      // 1440 x frame lines / 2
  DWORD rasterLineBytes_;  // 1716 NTSC, 1728 PAL

  DWORD engine_ = 0;
  DWORD probe_ = 0;
  DWORD bufferOwner_ = 0;
  std::unique_ptr<FrameRing> ring_;
  std::unique_ptr<RecordingWriter> writer_;
  unsigned framesAtFinish_ = 0;

  std::string path_;      // Windows path, for the list
  std::string hostPath_;  // what the clip writer opens
  bool clipOpen_ = false;
  bool finished_ = false;

  // Engine thread.
  std::atomic<bool> capture_{false};
  std::atomic<DWORD> startTime_{0};
  std::atomic<DWORD> stopTime_{0xFFFFFFFFu};
  DWORD expectedParity_ = 0;
  int currentBuffer_ = kNoBuffer;
  std::atomic<std::uint64_t> longestFieldNs_{0};
  std::atomic<std::uint64_t> totalFieldNs_{0};
  std::atomic<std::uint64_t> fieldCalls_{0};

  // Shared.
  std::atomic<unsigned> drops_{0};
};

}  // namespace quellor::clipviewer::recorder
