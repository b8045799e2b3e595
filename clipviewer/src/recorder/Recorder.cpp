#include "recorder/Recorder.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/Pause.h"
#include "app/ViewerError.h"
#include "board/Support.h"
#include "cliplib/clip/ClipWriter.h"
#include "recorder/RecorderTexts.h"
#include "win32/quellor_host.h"

namespace quellor::clipviewer::recorder {
namespace {

constexpr unsigned kPixelsPerLine = 720;
constexpr unsigned kVideoStreams = 2;  // one per field
constexpr unsigned kAudioStreams = 0;
// Frame lines above this are PAL (576), else NTSC (480).
constexpr unsigned kPalLinesAbove = 490;
constexpr float kNtscFrameRate = 29.970026f;
constexpr float kPalFrameRate = 25.0f;
// Between the writer's end and the engine instance's release.
constexpr DWORD kEngineSettlePause = 100;

}  // namespace

Recorder::Recorder(const RecorderSetup& setup)
    : dialog_(setup.dialog),
      switcherClient_(setup.switcherClient),
      frameLines_(setup.frameLines),
      fieldBytes_(size_t(kBoardLineBytes) * setup.frameLines / 2),
      rasterLineBytes_(setup.frameLines > kPalLinesAbove ? kPalRasterLineBytes
                                                         : kNtscRasterLineBytes) {
  try {
    engine_ = RTME_OpenEngine();
    if (engine_ == 0) Raise(kCannotInitialiseEngine);
    ring_ = std::make_unique<FrameRing>(2 * fieldBytes_);
    if (!ring_->Allocated()) Raise(kCannotAllocateBuffers);
    WriterEvents events;
    if (dialog_ != nullptr) {
      HWND dialog = dialog_;
      events.frameWritten = [dialog] { PostMessageA(dialog, kFramesWrittenMessage, 0, 0); };
      events.mustStop = [dialog] { PostMessageA(dialog, WM_COMMAND, kIdStop, 0); };
    }
    writer_ = std::make_unique<RecordingWriter>(*ring_, drops_, std::move(events));
    probe_ = RTME_CreateProbe(RTME_GetMediaContext(engine_), kProbeName);
    if (probe_ == 0) Raise(kCannotCreateProbe);
    char pin[64];
    std::snprintf(pin, sizeof pin, kInputPinFormat, 0L);
    if (!RTME_AttachProbe(probe_, pin)) Raise(kCannotAttachProbe);
    bufferOwner_ = RTME_GetProbeBufferOwner(probe_);
    RTME_SetProbeCallback(probe_, this, &Recorder::OnFieldThunk);
  } catch (...) {
    Finish();
    throw;
  }
}

Recorder::~Recorder() {
  Finish();
}

bool Recorder::Start(const std::string& path, std::string& error) {
  path_ = path;
  std::optional<std::string> host = win32::ToHostPath(path);
  if (!host) {
    error = kUnableToOpen;
    return false;
  }
  hostPath_ = *host;
  const float rate = frameLines_ < 491 ? kNtscFrameRate : kPalFrameRate;
  try {
    clip::ClipWriter::Create(hostPath_.c_str(), kVideoStreams, kAudioStreams, kPixelsPerLine,
                             frameLines_ / 2, rate);
  } catch (const char* text) {
    error = text;
    return false;
  }
  clipOpen_ = true;
  drops_.store(0);
  writer_->ResetCount();
  if (!writer_->Start(hostPath_)) {
    error = kUnableToOpen;
    return false;
  }
  startTime_.store(RTME_GetFieldTimeStamp(switcherClient_, 0, 0));
  stopTime_.store(0xFFFFFFFFu);
  expectedParity_ = 0;
  capture_.store(true);
  return true;
}

void Recorder::StopCapture() {
  stopTime_.store(RTME_GetFieldTimeStamp(switcherClient_, 0, 0));
  capture_.store(false);
}

void Recorder::Finish() {
  if (finished_) return;
  finished_ = true;
  capture_.store(false);
  // The probe goes first: detaching waits for a running callback, so no
  // field arrives once the writer and the buffers are gone.
  if (probe_ != 0) {
    RTME_AttachProbe(probe_, nullptr);
    RTME_DestroyProbe(probe_);
    probe_ = 0;
  }
  // The writer puts the frames already captured on disk, then ends.
  if (writer_) writer_->Finish();
  if (engine_ != 0) {
    Pause(kEngineSettlePause);
    RTME_CloseEngine(engine_);
    engine_ = 0;
  }
  if (writer_) framesAtFinish_ = writer_->FramesWritten();
  writer_.reset();
  ring_.reset();
  if (dialog_ != nullptr) PostMessageA(dialog_, kFramesWrittenMessage, 0, 0);
  if (clipOpen_) clip::ClipWriter::Close(hostPath_.c_str());
  clipOpen_ = false;
}

void Recorder::PostStop() const {
  if (dialog_ != nullptr) PostMessageA(dialog_, WM_COMMAND, kIdStop, 0);
}

DWORD Recorder::Release(const RTME_FieldInfo* info) const {
  return Harmonex_ReleaseField(bufferOwner_, info->bufferToken);
}

DWORD Recorder::OnFieldThunk(void* context, const BYTE* pixels, const RTME_FieldInfo* info) {
  auto* self = static_cast<Recorder*>(context);
  const auto begin = std::chrono::steady_clock::now();
  const DWORD result = self->OnField(pixels, info);
  const auto ns = static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - begin)
          .count());
  self->totalFieldNs_.fetch_add(ns);
  self->fieldCalls_.fetch_add(1);
  std::uint64_t longest = self->longestFieldNs_.load();
  while (ns > longest && !self->longestFieldNs_.compare_exchange_weak(longest, ns)) {
  }
  return result;
}

// Engine thread. Takes the recorder's lock only to move a buffer between the
// lists; the copy is of one field into memory the writer does not touch.
DWORD Recorder::OnField(const BYTE* pixels, const RTME_FieldInfo* info) {
  // Time stamps compare unsigned: the field clock's own counter.
  if (!capture_.load() || info->timeStamp < startTime_.load()) return Release(info);
  if (info->timeStamp > stopTime_.load()) {
    capture_.store(false);
    CountDrop();
    return Release(info);
  }
  const DWORD parity = RTME_GetFieldParity(&info->format);
  // A recording always starts with a first field.
  if (parity != expectedParity_) return Release(info);
  // A field of the other standard (or one short of pixels) would not fill
  // this recording's frame: counted, not copied.
  if (info->format.rasterLineBytes != rasterLineBytes_ || info->fieldBytes < fieldBytes_) {
    CountDrop();
    return Release(info);
  }
  if (parity == 0) {
    currentBuffer_ = ring_->TakeFree();
    if (currentBuffer_ == kNoBuffer) {
      CountDrop();
      PostStop();
      return Release(info);
    }
  }
  std::memcpy(ring_->Buffer(currentBuffer_) + (parity == 0 ? 0 : fieldBytes_), pixels, fieldBytes_);
  if (parity == 1) {
    ring_->PutFull(currentBuffer_);
    currentBuffer_ = kNoBuffer;
  }
  expectedParity_ ^= 1u;
  return Release(info);
}

}  // namespace quellor::clipviewer::recorder
