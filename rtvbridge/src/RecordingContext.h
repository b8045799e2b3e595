// A recording context: an engine probe on the board's first video input
// whose callback pairs fields into 60 frame buffers, and a writer thread at
// time-critical priority that appends the frames to the clip the host named.
// The host brackets a take with start and stop time stamps and polls the
// frames written; the trouble count (frames lost or refused, failed writes,
// the end of a take) tells it to stop.
//
// Threads: the host's (the public calls), the engine's callback thread and
// the writer. mutex_ guards the two lists, the frames written and the clip
// path; the current entry and the expected field belong to the callback.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "TakeFile.h"
#include "VideoGeometry.h"
#include "board/Engine.h"
#include "widgets/Thread.h"

namespace quellor::rtvbridge {

inline constexpr std::uint32_t kNoStamp = 0xFFFFFFFFu;
inline constexpr std::uint32_t kNoFrameLimit = 0xFFFFFFFFu;
// Two seconds of NTSC frames (41 MB; 50 MB PAL): a disk shared with other
// heavy writers was seen to take 816 ms over one frame's write, longer than
// 20 frames last.
inline constexpr int kRecordingFrameCount = 60;

class RecordingContext : private widgets::Thread {
 public:
  // Builds the buffers, starts the writer, and attaches the probe to the
  // input pin. Throws the failed step's text; whatever was built is undone.
  RecordingContext(const VideoGeometry& geometry, DWORD switcherClient,
                   const std::atomic<bool>& countDroppedFrames);
  // Detaches the probe, lets the writer write every queued frame, stops it
  // and frees the buffers. The clip's table slot is left open.
  ~RecordingContext() override;

  // Waits (up to boundMs) until no clip is set, then sets `path` (null or
  // empty: none) and the limit (0: none). False when the wait ran out.
  bool AddFile(const char* path, std::uint32_t frameLimit, DWORD boundMs);
  void RemoveFile();
  void Start();
  // Sets the stop stamp and waits (up to boundMs) for the writer to end the
  // take. When no field comes the take is ended where it stands: false.
  bool Stop(DWORD boundMs);
  // True from the moment Stop took its stamp until the next Start.
  bool StopStampTaken() const { return stopStamp_.load() != kNoStamp; }
  // Frames written to the current clip; false once trouble was counted.
  bool Position(std::uint32_t& framesWritten) const;
  // True once a frame could not be stored in the current clip.
  bool WriteFailed() const { return writeFailed_.load(); }
  std::uint32_t Trouble() const { return trouble_.load(); }
  // The writer's longest time on one frame, and on the last take's first
  // frame (which creates the clip), in microseconds.
  std::uint64_t LongestWriteMicroseconds() const { return longestWrite_.load(); }
  std::uint64_t FirstWriteMicroseconds() const { return firstWrite_.load(); }

  // The field callback (engine thread).
  static DWORD OnField(void* context, const BYTE* pixels, const RTME_FieldInfo* info);

 private:
  struct Entry {
    std::uint8_t* buffer = nullptr;  // width x height x 2 bytes, sector-aligned
    std::uint32_t stamp = 0;         // the first field's time stamp
  };

  void Run() override;  // the writer loop
  void HandleField(const BYTE* pixels, const RTME_FieldInfo& info);
  void ReturnToFree(int entry);
  void EndTake(std::unique_lock<std::mutex>& lock);
  void WriteFrame(int entry, const std::string& path);
  void AttachProbe();
  void DetachProbe();
  void FreeBuffers();
  bool ClipPathSet() const;

  const VideoGeometry geometry_;
  const DWORD switcherClient_;
  const std::atomic<bool>& countDroppedFrames_;
  const std::size_t frameBytes_;

  std::array<Entry, kRecordingFrameCount> entries_{};
  mutable std::mutex mutex_;
  std::deque<int> free_;  // taken from and returned to the front
  std::deque<int> full_;  // first in, first out
  std::uint32_t framesWritten_ = 0;
  std::uint32_t frameLimit_ = kNoFrameLimit;
  std::unique_ptr<std::string> clipPath_;  // null: no clip
  std::uint64_t clipGeneration_ = 0;       // counts the host's changes of clipPath_

  std::atomic<std::uint32_t> startStamp_{kNoStamp};
  std::atomic<std::uint32_t> stopStamp_{kNoStamp};
  std::atomic<bool> active_{false};
  std::atomic<bool> writerRunning_{false};
  std::atomic<bool> stopRequest_{false};
  std::atomic<bool> endTakeRequest_{false};
  std::atomic<std::uint32_t> trouble_{0};
  std::atomic<bool> writeFailed_{false};
  std::atomic<std::uint64_t> longestWrite_{0};
  std::atomic<std::uint64_t> firstWrite_{0};

  // The callback's: the frame whose first field has arrived (and the take
  // it belongs to) and the field it waits for, which Start resets.
  int current_ = -1;
  std::uint32_t currentTake_ = kNoStamp;
  std::atomic<std::uint32_t> expectedField_{0};

  // Writer thread only.
  bool clipBroken_ = false;  // a write failed: the rest of the take is not written

  // The clip's earlier take, held open from the host's thread until the take
  // ends, so that the writer's replacing it costs no freeing of its blocks.
  EarlierTake earlierTake_;

  DWORD instance_ = 0;
  DWORD probe_ = 0;
  DWORD owner_ = 0;
  bool attached_ = false;
};

}  // namespace quellor::rtvbridge
