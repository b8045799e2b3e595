#include "RecordingContext.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "BridgeProcess.h"
#include "BridgeTexts.h"
#include "board/Support.h"
#include "cliplib/clip/ClipWriter.h"
#include "cliplib/clip/OpenClipTable.h"

namespace quellor::rtvbridge {
namespace {

constexpr std::size_t kSectorAlignment = 4096;

// Set by the callback thread the first time it takes a field of a take, so
// that its priority is raised once; cleared while nothing is recorded.
std::atomic<bool> g_callbackPriorityRaised{false};

std::uint8_t* AllocateFrame(std::size_t bytes) {
  const std::size_t rounded = (bytes + kSectorAlignment - 1) / kSectorAlignment * kSectorAlignment;
  return static_cast<std::uint8_t*>(std::aligned_alloc(kSectorAlignment, rounded));
}

// Appends one whole frame (both fields, one write) at the slot's own next
// frame place. The clip's handle is shared through the table with anyone who
// reads or writes the same path (a host reading the take as it grows), and
// each of them moves the handle's position; writing "at the current position"
// after such a read would put the frame over an earlier one. So the position
// is set under the slot's lock, right before the write.
bool AppendFrameInPlace(const std::string& path, const void* frame) {
  clip::OpenClipTable::LockedSlot slot = clip::OpenClipTable::Instance().Acquire(path.c_str());
  if (!slot) return false;
  const std::uint64_t bytes = static_cast<std::uint64_t>(slot->field_bytes) * 2;
  const bool ok = bytes <= std::numeric_limits<DWORD>::max() &&
                  slot->clip->SeekToChunk(2 * slot->next_frame_index, 0) &&
                  slot->clip->WriteAtCurrentPosition(frame, static_cast<DWORD>(bytes));
  ++slot->next_frame_index;  // a failed frame stays a gap; later ones keep their place
  return ok;
}

}  // namespace

RecordingContext::RecordingContext(const VideoGeometry& geometry, DWORD switcherClient,
                                   const std::atomic<bool>& countDroppedFrames)
    : geometry_(geometry),
      switcherClient_(switcherClient),
      countDroppedFrames_(countDroppedFrames),
      frameBytes_(geometry.storedFrameBytes()) {
  try {
    for (int i = 0; i < kRecordingFrameCount; ++i) {
      entries_[i].buffer = AllocateFrame(frameBytes_);
      if (entries_[i].buffer == nullptr) throw kNotEnoughMemory;
      free_.push_back(i);
    }
    SetPriority(THREAD_PRIORITY_TIME_CRITICAL);
    if (!Thread::Start()) throw kUnknownInternalError;
    AttachProbe();
  } catch (...) {
    DetachProbe();
    stopRequest_ = true;
    Join();
    FreeBuffers();
    throw;
  }
}

RecordingContext::~RecordingContext() {
  active_ = false;
  EnginePause(100);
  DetachProbe();  // waits for a callback in flight
  current_ = -1;
  // The writer deals with every queued frame before it is stopped.
  while (true) {
    {
      std::lock_guard lock(mutex_);
      if (full_.empty()) break;
    }
    Sleep(1);
  }
  stopRequest_ = true;
  Join();
  {
    std::lock_guard lock(mutex_);
    clipPath_.reset();  // the clip's table slot stays open
  }
  FreeBuffers();
}

void RecordingContext::AttachProbe() {
  instance_ = RTME_OpenEngine();
  if (instance_ == 0) throw kCannotInitialiseEngine;
  char pin[64];
  std::snprintf(pin, sizeof pin, kInputPinFormat, 0L);
  probe_ = RTME_CreateProbe(RTME_GetMediaContext(instance_), kProbeName);
  if (probe_ == 0) throw kCannotCreateProbe;
  if (!RTME_AttachProbe(probe_, pin)) throw kCannotConnectProbe;
  attached_ = true;
  owner_ = RTME_GetProbeBufferOwner(probe_);
  active_ = false;
  current_ = -1;
  if (!RTME_SetProbeCallback(probe_, this, &RecordingContext::OnField)) throw kCannotConnectProbe;
}

void RecordingContext::DetachProbe() {
  // Detaching waits for a callback running on the engine's thread.
  if (attached_) RTME_AttachProbe(probe_, nullptr);
  attached_ = false;
  if (probe_ != 0) RTME_DestroyProbe(probe_);
  probe_ = 0;
  if (instance_ != 0) RTME_CloseEngine(instance_);
  instance_ = 0;
}

void RecordingContext::FreeBuffers() {
  for (Entry& entry : entries_) {
    std::free(entry.buffer);
    entry.buffer = nullptr;
  }
}

// ---- host calls ------------------------------------------------------------

bool RecordingContext::ClipPathSet() const {
  std::lock_guard lock(mutex_);
  return clipPath_ != nullptr;
}

bool RecordingContext::AddFile(const char* path, std::uint32_t frameLimit, DWORD boundMs) {
  // The previous clip must be finished first.
  const bool finished = [&] {
    const ULONGLONG deadline = GetTickCount64() + boundMs;
    while (ClipPathSet()) {
      if (GetTickCount64() >= deadline) return false;
      Sleep(1);
    }
    return true;
  }();
  if (!finished) return false;
  if (path != nullptr && *path != '\0')
    earlierTake_.Hold(path);
  else
    earlierTake_.Release();
  std::lock_guard lock(mutex_);
  clipPath_ = path != nullptr ? std::make_unique<std::string>(path) : nullptr;
  ++clipGeneration_;
  frameLimit_ = frameLimit == 0 ? kNoFrameLimit : frameLimit;
  return true;
}

void RecordingContext::RemoveFile() {
  {
    std::lock_guard lock(mutex_);
    clipPath_.reset();  // the writer discards frames from now on
    ++clipGeneration_;
  }
  earlierTake_.Release();
}

void RecordingContext::Start() {
  const DWORD stamp = RTME_GetFieldTimeStamp(switcherClient_, 0, 0);
  {
    std::lock_guard lock(mutex_);
    framesWritten_ = 0;
  }
  trouble_ = 0;
  writeFailed_ = false;
  stopStamp_ = kNoStamp;
  endTakeRequest_ = false;
  startStamp_ = stamp;
  // The callback starts a take with a first field (its own state: it is
  // only reset through this flag while it is off).
  expectedField_ = 0;
  active_ = true;
}

bool RecordingContext::Stop(DWORD boundMs) {
  stopStamp_ = RTME_GetFieldTimeStamp(switcherClient_, 0, 0);
  if (startStamp_ == kNoStamp) return true;
  const ULONGLONG deadline = GetTickCount64() + boundMs;
  while (ClipPathSet() && startStamp_ != kNoStamp) {
    if (GetTickCount64() >= deadline) {
      // No field after the stop stamp came: the writer ends the take where
      // it stands, after the frames already queued.
      endTakeRequest_ = true;
      const ULONGLONG drain = GetTickCount64() + boundMs;
      while (endTakeRequest_ && GetTickCount64() < drain) Sleep(1);
      if (!endTakeRequest_) earlierTake_.Release();
      return false;
    }
    Sleep(1);
  }
  // The take is over: a replaced earlier take is freed here, on the host's
  // thread.
  earlierTake_.Release();
  return true;
}

bool RecordingContext::Position(std::uint32_t& framesWritten) const {
  {
    std::lock_guard lock(mutex_);
    framesWritten = framesWritten_;
  }
  return trouble_ == 0;
}

// ---- the field callback (engine thread) ---------------------------------------

DWORD RecordingContext::OnField(void* context, const BYTE* pixels, const RTME_FieldInfo* info) {
  auto* self = static_cast<RecordingContext*>(context);
  self->HandleField(pixels, *info);
  return Harmonex_ReleaseField(self->owner_, info->bufferToken);
}

void RecordingContext::HandleField(const BYTE* pixels, const RTME_FieldInfo& info) {
  if (!active_) {
    g_callbackPriorityRaised = false;
    return;
  }
  if (!g_callbackPriorityRaised.exchange(true))
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  const std::uint32_t start = startStamp_;
  if (start == kNoStamp || info.timeStamp <= start) return;
  const DWORD field = RTME_GetFieldParity(&info.format);
  if (field != expectedField_) return;
  const DWORD lineCode = geometry_.ntsc != 0 ? kNtscRasterLineBytes : kPalRasterLineBytes;
  const std::size_t fieldBytes = frameBytes_ / 2;
  if (info.format.rasterLineBytes != lineCode || info.fieldBytes < fieldBytes) {
    ++trouble_;  // a field of the other video standard
    return;
  }
  if (field == 0) {
    if (current_ >= 0 && currentTake_ != start) {
      // Half a frame left from an earlier take: it is not a lost frame of
      // this one.
      ReturnToFree(current_);
      current_ = -1;
    }
    if (current_ >= 0) {
      ReturnToFree(current_);
      current_ = -1;
      if (countDroppedFrames_) ++trouble_;
      return;
    }
    {
      std::lock_guard lock(mutex_);
      if (!free_.empty()) {
        current_ = free_.front();
        free_.pop_front();
      }
    }
    if (current_ < 0) {
      if (countDroppedFrames_) ++trouble_;
      return;
    }
    currentTake_ = start;
  }
  Entry& entry = entries_[current_];
  std::memcpy(entry.buffer + field * fieldBytes, pixels, fieldBytes);
  if (field == 0) {
    entry.stamp = info.timeStamp;
  } else {
    std::lock_guard lock(mutex_);
    full_.push_back(current_);
    current_ = -1;
  }
  expectedField_ = field ^ 1u;
}

void RecordingContext::ReturnToFree(int entry) {
  std::lock_guard lock(mutex_);
  free_.push_front(entry);
}

// ---- the writer (its own thread) ------------------------------------------------

// With mutex_ held by `lock`: the clip is closed and forgotten, the context
// idles. The table's locks are never taken under mutex_ (a thread holding a
// clip's slot may wait for mutex_), so the lock is let go for the close; the
// host's stop keeps waiting meanwhile, as the clip is still set. A clip the
// host set or removed in that moment is its own and stays.
void RecordingContext::EndTake(std::unique_lock<std::mutex>& lock) {
  if (clipPath_) {
    const std::string path = *clipPath_;
    const std::uint64_t generation = clipGeneration_;
    lock.unlock();
    clip::ClipWriter::Close(path.c_str());
    lock.lock();
    if (clipGeneration_ == generation) clipPath_.reset();
  }
  ++trouble_;
  startStamp_ = kNoStamp;
}

void RecordingContext::Run() {
  writerRunning_ = true;
  std::string seen;  // the last clip path the writer saw
  while (!stopRequest_) {
    std::unique_lock lock(mutex_);
    if (endTakeRequest_) {
      // Asked by a stop that saw no field after its stamp: only once the
      // frames queued before it are written.
      if (full_.empty()) {
        if (startStamp_ != kNoStamp) EndTake(lock);
        endTakeRequest_ = false;
      }
    }
    if (full_.empty()) {
      lock.unlock();
      Sleep(1);
      continue;
    }
    const int entry = full_.front();
    full_.pop_front();
    const std::uint32_t stamp = entries_[entry].stamp;
    const std::uint32_t start = startStamp_;
    if (stamp > stopStamp_) {
      // The first frame after the stop ends the take; it is not written.
      if (start != kNoStamp) EndTake(lock);
      lock.unlock();
      ReturnToFree(entry);
      continue;
    }
    // Frames of an earlier take (queued behind its end) and frames without
    // a clip are dropped.
    if (start == kNoStamp || stamp <= start || !clipPath_ || clipPath_->empty()) {
      lock.unlock();
      ReturnToFree(entry);
      continue;
    }
    if (*clipPath_ != seen) {
      framesWritten_ = 0;
      seen = *clipPath_;
    }
    if (framesWritten_ == 0) clipBroken_ = false;
    const bool overLimit = framesWritten_ > frameLimit_;
    lock.unlock();

    if (overLimit || clipBroken_) {
      ++trouble_;
    } else {
      WriteFrame(entry, seen);
    }
    {
      std::lock_guard counted(mutex_);
      ++framesWritten_;
    }
    ReturnToFree(entry);
  }
  writerRunning_ = false;
}

void RecordingContext::WriteFrame(int entry, const std::string& path) {
  bool ok = false;
  std::uint32_t written;
  {
    std::lock_guard lock(mutex_);
    written = framesWritten_;
  }
  LARGE_INTEGER began{};
  QueryPerformanceCounter(&began);
  try {
    if (written == 0) {
      // The first frame of a take creates the clip anew.
      clip::OpenClipTable::Instance().Close(path.c_str());
      CreateTakeClip(path, geometry_);
      ok = clip::ClipWriter::WriteFrame(path.c_str(), entries_[entry].buffer);
    } else {
      ok = AppendFrameInPlace(path, entries_[entry].buffer);
    }
  } catch (...) {
    ok = false;
  }
  LARGE_INTEGER ended{}, frequency{};
  QueryPerformanceCounter(&ended);
  QueryPerformanceFrequency(&frequency);
  const auto took = static_cast<std::uint64_t>((ended.QuadPart - began.QuadPart) * 1000000 /
                                               (frequency.QuadPart > 0 ? frequency.QuadPart : 1));
  if (took > longestWrite_) longestWrite_ = took;  // the writer alone stores it
  if (written == 0) firstWrite_ = took;
  if (!ok) {
    // A full or failing disk: the clip keeps the frames before this one;
    // writing on behind a short write would misplace every later frame.
    ++trouble_;
    clipBroken_ = true;
    writeFailed_ = true;
    OutputDebugStringA("rtvbridge: recording: a frame could not be written\n");
  }
}

}  // namespace quellor::rtvbridge
