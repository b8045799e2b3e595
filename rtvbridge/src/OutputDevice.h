// The sink's output device: 20 frame buffers that the host borrows, fills in
// one of three formats and hands back with a presentation time, and an
// output thread at time-critical priority that polls each millisecond,
// converts each frame when its time has come into the board's field-ordered
// 4:2:2 and shows it on the engine output "media.apps.EdgeWright".
//
// A timed frame goes to the board during the frame before the first frame
// field that starts at or after its presentation time (see FieldPhase), so
// that it is waiting there when that field starts; until the field clock's
// phase is known, when its time has come.
//
// Locks: queueMutex_ guards the queue, the free list and each buffer's
// state; it is never held during a conversion or an engine call.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "FieldPhase.h"
#include "PixelFormats.h"
#include "SinkConversion.h"
#include "VideoGeometry.h"
#include "widgets/Thread.h"

namespace quellor::rtvbridge {

inline constexpr int kSinkBufferCount = 20;
inline constexpr std::int64_t kSinkStopped = -1;

class OutputDevice : private widgets::Thread {
 public:
  // Opens the engine output, allocates the buffers and starts the thread.
  // Throws kNotEnoughMemory or kCannotOpenBoardOutput.
  OutputDevice(const VideoGeometry& geometry, const char* outputName);
  // Stops the thread, closes the output and frees every buffer, those the
  // host still holds included (it cannot use them after the close).
  ~OutputDevice() override;

  using Conversion = SinkConversion;
  enum class AddResult { Queued, HandedBack, Refused };

  // A free buffer's pixels and byte size, waiting up to boundMs for one;
  // null when none came.
  std::uint8_t* Borrow(DWORD boundMs);
  // A borrowed buffer back, to show at `time` (microseconds after start, 0
  // at once) in `format`, or (show false, negative time) back unseen.
  AddResult Add(void* pixels, std::optional<PixelFormat> format, std::int64_t time, bool show);

  void Start();  // start time = now
  // Waits up to boundMs for the queue to be shown, then stops; false when
  // frames were still queued.
  bool Stop(DWORD boundMs);
  // Waits (while started) up to boundMs for the queue to be shown; what is
  // left goes back to the pool unseen.
  void Drain(DWORD boundMs);

  std::size_t BufferBytes() const { return bufferBytes_; }
  int FreeCount() const;
  int QueuedCount() const;
  int LentCount() const;
  // Frames handed to the engine, and frames dropped for want of a board
  // buffer.
  std::uint64_t Shown() const { return shown_.load(); }
  std::uint64_t Dropped() const { return dropped_.load(); }
  // Timed frames handed to the board after the field that was to show them
  // had begun (the host or the output thread fell behind).
  std::uint64_t Late() const { return late_.load(); }
  // Turns of the output loop, and the field counter it read last: tests
  // wait on them to know what the thread has seen.
  std::uint64_t Polls() const { return polls_.load(); }
  std::uint32_t FieldSeen() const { return fieldSeen_.load(); }
  bool FieldPhaseKnown() const { return phaseKnown_.load(); }

 private:
  enum class State { Free, Lent, Queued, Showing };
  struct Buffer {
    std::uint8_t* pixels = nullptr;  // bufferBytes_, committed read-write
    BITMAPINFOHEADER header{};       // top-down 32-bit picture of the frame
    Conversion conversion = Conversion::None;
    std::int64_t time = 0;
    State state = State::Free;
  };

  void Run() override;  // the output loop
  void ReadFieldClock();
  // Whether the timed frame at `time` (after `start`) goes to the board
  // now; `late` when its field has already begun.
  bool Due(std::int64_t start, std::int64_t time, bool& late) const;
  int FindLocked(const void* pixels) const;
  void Show(const Buffer& buffer);
  bool QueueEmpty() const;

  const VideoGeometry geometry_;
  const std::size_t boardFrameBytes_;  // 691200 or 829440
  const std::size_t bufferBytes_;      // width (to 4) x height x 4 + 512
  DWORD output_ = 0;
  const DWORD switcherClient_;  // for the board's field counter
  FieldPhase phase_;            // output thread only

  mutable std::mutex queueMutex_;
  std::array<Buffer, kSinkBufferCount> buffers_{};
  std::deque<int> queue_;
  std::deque<int> free_;
  std::atomic<std::int64_t> startTime_{kSinkStopped};
  std::atomic<bool> stop_{false};
  std::atomic<std::uint64_t> shown_{0};
  std::atomic<std::uint64_t> dropped_{0};
  std::atomic<std::uint64_t> late_{0};
  std::atomic<std::uint64_t> polls_{0};
  std::atomic<std::uint32_t> fieldSeen_{0};
  std::atomic<bool> phaseKnown_{false};
};

}  // namespace quellor::rtvbridge
