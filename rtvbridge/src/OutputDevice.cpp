#include "OutputDevice.h"

#include <cstdlib>
#include <cstring>

#include "BridgeProcess.h"
#include "BridgeTexts.h"
#include "DeviceClock.h"
#include "FrameRows.h"
#include "board/Engine.h"

namespace quellor::rtvbridge {
namespace {

constexpr int kBoardBufferTries = 15;  // 1 ms apart
constexpr std::size_t kPageBytes = 4096;

// width (to 4) x height x 4 + 512, rounded up to whole pages as the
// allocator asks.
std::size_t BufferBytesFor(const VideoGeometry& geometry) {
  const std::size_t width = (static_cast<std::size_t>(geometry.width) + 3) / 4 * 4;
  const std::size_t bytes = width * static_cast<std::size_t>(geometry.height) * 4 + 512;
  return (bytes + kPageBytes - 1) / kPageBytes * kPageBytes;
}

}  // namespace

OutputDevice::OutputDevice(const VideoGeometry& geometry, const char* outputName)
    : geometry_(geometry),
      boardFrameBytes_(geometry.storedFrameBytes()),
      bufferBytes_(BufferBytesFor(geometry)),
      switcherClient_(Process().switcherClient),
      phase_(geometry.ntsc != 0) {
  output_ = RTME_CreateOutput(outputName, 0, 0, geometry.ntsc != 0 ? 0 : 1);
  if (output_ == 0) throw kCannotOpenBoardOutput;
  for (int i = 0; i < kSinkBufferCount; ++i) {
    Buffer& buffer = buffers_[i];
    // Page-aligned heap memory (the heap, so that leak checkers see it).
    buffer.pixels = static_cast<std::uint8_t*>(std::aligned_alloc(kPageBytes, bufferBytes_));
    if (buffer.pixels == nullptr) {
      for (Buffer& made : buffers_) {
        std::free(made.pixels);
        made.pixels = nullptr;
      }
      RTME_ReleaseOutput(output_);
      throw kNotEnoughMemory;
    }
    buffer.header.biSize = sizeof(BITMAPINFOHEADER);
    buffer.header.biWidth = geometry.width;
    buffer.header.biHeight = -geometry.height;  // top-down
    buffer.header.biPlanes = 1;
    buffer.header.biBitCount = 32;
    buffer.header.biCompression = BI_RGB;
    buffer.header.biSizeImage = static_cast<DWORD>(geometry.width * geometry.height * 4);
    free_.push_back(i);
  }
  SetPriority(THREAD_PRIORITY_TIME_CRITICAL);
  Thread::Start();
}

OutputDevice::~OutputDevice() {
  EnginePause(500);
  stop_ = true;
  Join();
  RTME_ReleaseOutput(output_);
  // Every buffer goes, whatever its state: the queued, the free and those
  // the host borrowed and never gave back.
  for (Buffer& buffer : buffers_) {
    std::free(buffer.pixels);
    buffer.pixels = nullptr;
  }
}

// ---- host calls ------------------------------------------------------------------

int OutputDevice::FindLocked(const void* pixels) const {
  for (int i = 0; i < kSinkBufferCount; ++i)
    if (buffers_[i].pixels == pixels) return i;
  return -1;
}

std::uint8_t* OutputDevice::Borrow(DWORD boundMs) {
  const ULONGLONG deadline = GetTickCount64() + boundMs;
  while (true) {
    {
      std::lock_guard lock(queueMutex_);
      if (!free_.empty()) {
        const int index = free_.front();
        free_.pop_front();
        buffers_[index].state = State::Lent;
        return buffers_[index].pixels;
      }
    }
    if (GetTickCount64() >= deadline) return nullptr;
    Sleep(1);
  }
}

OutputDevice::AddResult OutputDevice::Add(void* pixels, std::optional<PixelFormat> format,
                                          std::int64_t time, bool show) {
  std::unique_lock lock(queueMutex_);
  const int index = pixels != nullptr ? FindLocked(pixels) : -1;
  // Not one of ours, or not lent out (given back twice): refused, and the
  // buffer stays where it is.
  if (index < 0 || buffers_[index].state != State::Lent) return AddResult::Refused;
  Buffer& buffer = buffers_[index];
  const auto handBack = [&] {
    buffer.state = State::Free;
    free_.push_front(index);
  };
  if (!show || time < 0) {
    handBack();
    return AddResult::Refused;
  }
  if (!format) {
    handBack();
    return AddResult::HandedBack;
  }
  if (time == 0) {
    // Shown at once: whatever is still queued goes back unseen.
    for (int queued : queue_) {
      buffers_[queued].state = State::Free;
      free_.push_back(queued);
    }
    queue_.clear();
  }
  buffer.state = State::Queued;  // the host's hands are off it from here
  lock.unlock();
  switch (*format) {
    case PixelFormat::kRgba32:
      buffer.conversion = Conversion::Bgra;
      break;
    case PixelFormat::k422:
      // The board's stream keeps 0xFF for timing codes.
      if (time == 0) ClearTimingCodeBytes(buffer.pixels, boardFrameBytes_ + 4);
      buffer.conversion = Conversion::Copy422;
      break;
    case PixelFormat::k444:
      if (time == 0) {
        const std::size_t pixelCount =
            static_cast<std::size_t>(geometry_.width) * static_cast<std::size_t>(geometry_.height);
        for (std::size_t i = 0; i < pixelCount; ++i) ClearTimingCodeBytes(buffer.pixels + i * 4, 3);
      }
      buffer.conversion = Conversion::Yuva444;
      break;
  }
  buffer.time = time;
  lock.lock();
  queue_.push_back(index);
  return AddResult::Queued;
}

void OutputDevice::Start() {
  startTime_ = DeviceClockMicroseconds();
}

bool OutputDevice::QueueEmpty() const {
  std::lock_guard lock(queueMutex_);
  if (!queue_.empty()) return false;
  for (const Buffer& buffer : buffers_)
    if (buffer.state == State::Showing) return false;
  return true;
}

bool OutputDevice::Stop(DWORD boundMs) {
  // A stopped device shows nothing, so its queue cannot empty: no wait.
  bool shown = QueueEmpty();
  if (!shown && startTime_ != kSinkStopped) {
    const ULONGLONG deadline = GetTickCount64() + boundMs;
    while (!(shown = QueueEmpty()) && GetTickCount64() < deadline) Sleep(1);
  }
  EnginePause(50);
  startTime_ = kSinkStopped;
  return shown;
}

void OutputDevice::Drain(DWORD boundMs) {
  if (startTime_ != kSinkStopped) {
    const ULONGLONG deadline = GetTickCount64() + boundMs;
    while (!QueueEmpty() && GetTickCount64() < deadline) Sleep(1);
  }
  std::lock_guard lock(queueMutex_);
  for (int queued : queue_) {
    buffers_[queued].state = State::Free;
    free_.push_back(queued);
  }
  queue_.clear();
}

int OutputDevice::FreeCount() const {
  std::lock_guard lock(queueMutex_);
  return static_cast<int>(free_.size());
}

int OutputDevice::QueuedCount() const {
  std::lock_guard lock(queueMutex_);
  return static_cast<int>(queue_.size());
}

int OutputDevice::LentCount() const {
  std::lock_guard lock(queueMutex_);
  int lent = 0;
  for (const Buffer& buffer : buffers_) lent += buffer.state == State::Lent ? 1 : 0;
  return lent;
}

// ---- the output thread ---------------------------------------------------------------

void OutputDevice::Run() {
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  while (!stop_) {
    ReadFieldClock();
    int index = -1;
    bool late = false;
    {
      std::lock_guard lock(queueMutex_);
      const std::int64_t start = startTime_;
      if (!queue_.empty() && start != kSinkStopped &&
          Due(start, buffers_[queue_.front()].time, late)) {
        index = queue_.front();
        queue_.pop_front();
        buffers_[index].state = State::Showing;
      }
    }
    ++polls_;
    if (index < 0) {
      Sleep(1);
      continue;
    }
    if (late) ++late_;
    Show(buffers_[index]);
    std::lock_guard lock(queueMutex_);
    buffers_[index].state = State::Free;
    free_.push_back(index);
  }
}

void OutputDevice::ReadFieldClock() {
  const std::int64_t before = DeviceClockMicroseconds();
  const DWORD field = RTME_GetFieldTimeStamp(switcherClient_, 0, 0);
  const std::int64_t after = DeviceClockMicroseconds();
  phase_.Observe(field, before, after);
  fieldSeen_ = field;
  phaseKnown_ = phase_.Known();
}

bool OutputDevice::Due(std::int64_t start, std::int64_t time, bool& late) const {
  if (time == 0) return true;  // at once
  // Times beyond a day are compared as they stand: field numbers that far
  // ahead would wrap the board's 32-bit counter arithmetic.
  constexpr std::int64_t kFieldPacedMicroseconds = 86'400'000'000;
  if (!phase_.Known() || time > kFieldPacedMicroseconds)
    return DeviceClockMicroseconds() - start >= time;
  // The board shows a frame from the first frame field after the one
  // current when it gets it: hand it over once the frame before its own
  // has begun, a frame period ahead.
  const std::uint32_t field = phase_.FrameFieldAtOrAfter(start + time);
  const std::uint32_t current = phase_.LastField();
  late = static_cast<std::int32_t>(current - field) >= 0;
  return static_cast<std::int32_t>(current + 2 - field) >= 0;
}

void OutputDevice::Show(const Buffer& buffer) {
  BYTE* board = nullptr;
  DWORD boardBytes = 0;
  DWORD token = 0;
  for (int attempt = 0; attempt < kBoardBufferTries; ++attempt) {
    token = RTME_GetEmptyOutputBuffer(output_, &board, &boardBytes);
    if (token != 0) break;
    Sleep(1);
  }
  if (token == 0 || boardBytes < boardFrameBytes_) {
    ++dropped_;  // no board buffer: the frame is dropped unseen
    if (token != 0) RTME_ReturnOutputBuffer(output_, token, 0);
    return;
  }
  ConvertSinkFrame(buffer.conversion, buffer.pixels, board, geometry_);
  RTME_ShowOutputBuffer(output_, token, static_cast<DWORD>(boardFrameBytes_));
  ++shown_;
}

}  // namespace quellor::rtvbridge
