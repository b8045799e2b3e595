#include "LivePreview.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "PngFile.h"
#include "PreviewPicture.h"
#include "board/Support.h"

namespace quellor::preview {
namespace {

constexpr std::uint32_t kBlackPair = 0x10801080;  // Cb 128, Y 16, Cr 128, Y 16 in memory

void FillBlack(std::vector<std::uint8_t>& frame) {
  for (std::size_t i = 0; i + 4 <= frame.size(); i += 4) std::memcpy(&frame[i], &kBlackPair, 4);
}

}  // namespace

LivePreview::LivePreview(PreviewSource source)
    : source_(source), frame_(2 * std::size_t{kPalFieldBytes}) {
  FillBlack(frame_);
}

LivePreview::~LivePreview() {
  if (attached_) RTME_AttachProbe(probe_, nullptr);  // waits for a callback in flight
  if (probe_ != 0) RTME_DestroyProbe(probe_);
  if (instance_ != 0) RTME_CloseEngine(instance_);
}

bool LivePreview::Attach(std::string& error) {
  instance_ = RTME_OpenEngine();
  if (instance_ == 0) {
    error = "the realtime engine cannot be opened";
    return false;
  }
  // One name per process: clipviewer and the editor plug-in may each run one.
  const std::string name =
      std::string(source_ == PreviewSource::Input ? "media.apps.VideoPreviewIn"
                                                  : "media.apps.VideoPreviewOut") +
      ".probe." + std::to_string(getpid());
  probe_ = RTME_CreateProbe(RTME_GetMediaContext(instance_), name.c_str());
  if (probe_ == 0) {
    error = "the probe \"" + name + "\" cannot be created";
    return false;
  }
  owner_ = RTME_GetProbeBufferOwner(probe_);
  const char* pin = source_ == PreviewSource::Input ? RTME_PIN_INPUT : RTME_PIN_OUTPUT_MONITOR;
  if (!RTME_SetProbeCallback(probe_, this, &LivePreview::OnField) ||
      !RTME_AttachProbe(probe_, pin)) {
    error = std::string("the probe cannot be attached to ") + pin;
    return false;
  }
  attached_ = true;
  return true;
}

DWORD LivePreview::OnField(void* context, const BYTE* pixels, const RTME_FieldInfo* info) {
  auto* self = static_cast<LivePreview*>(context);
  const DWORD parity = RTME_GetFieldParity(&info->format);
  const DWORD lines = info->format.lineCount;
  if (parity <= 1 && (lines == kNtscFieldLines || lines == kPalFieldLines) &&
      info->fieldBytes >= lines * kBoardLineBytes) {
    std::lock_guard lock(self->mutex_);
    if (lines != self->fieldLines_) {
      self->fieldLines_ = lines;  // the standard changed: start from black
      FillBlack(self->frame_);
    }
    std::memcpy(self->frame_.data() + parity * lines * kBoardLineBytes, pixels,
                lines * kBoardLineBytes);
    ++self->fieldsSeen_;
    ++self->fieldsOf_[parity];
    self->lastField_ = info->timeStamp;
  }
  return Harmonex_ReleaseField(self->owner_, info->bufferToken);
}

std::uint64_t LivePreview::FieldsSeen() const {
  std::lock_guard lock(mutex_);
  return fieldsSeen_;
}

std::uint32_t LivePreview::Picture(std::vector<std::uint8_t>& bgra, std::uint32_t& field) const {
  std::lock_guard lock(mutex_);
  FrameToBgra(frame_.data(), fieldLines_, bgra);
  field = lastField_;
  return fieldLines_;
}

std::uint32_t LivePreview::UpdatePicture(std::vector<std::uint8_t>& bgra, PictureState& state,
                                         std::uint32_t& field) const {
  std::lock_guard lock(mutex_);
  const std::size_t bytes = std::size_t{kBoardPixelsPerLine} * 4 * 2 * fieldLines_;
  if (state.lines != fieldLines_ || bgra.size() != bytes) {
    FrameToBgra(frame_.data(), fieldLines_, bgra);
    state.fields[0] = state.fields[1] = ~0ull;  // both are new
  } else {
    for (std::uint32_t parity = 0; parity < 2; ++parity)
      if (state.fields[parity] != fieldsOf_[parity])
        FieldToBgra(frame_.data(), fieldLines_, parity, bgra.data());
  }
  state.lines = fieldLines_;
  state.fields[0] = fieldsOf_[0];
  state.fields[1] = fieldsOf_[1];
  field = lastField_;
  return fieldLines_;
}

bool LivePreview::WritePicture(const std::string& path, std::string& error) {
  std::uint32_t lines = 0;
  {
    std::lock_guard lock(mutex_);
    lines = fieldLines_;
    const std::size_t bytes = std::size_t{2} * lines * kBoardLineBytes;
    // The file may have been removed or replaced by someone else: then it is
    // written again even when the frame is the same.
    struct stat file {};
    if (path == writtenPath_ && written_.size() == bytes &&
        std::memcmp(written_.data(), frame_.data(), bytes) == 0 && stat(path.c_str(), &file) == 0 &&
        file.st_size > 0)
      return true;
    written_.assign(frame_.begin(), frame_.begin() + std::ptrdiff_t(bytes));
    FrameToBgra(frame_.data(), lines, bgra_);
  }
  writtenPath_.clear();  // until this write has succeeded
  const std::string temporary = path + ".part";
  // Rewritten a few times a second: the fast setting costs a fraction of the
  // smallest file's time.
  if (!tools::WritePng(temporary, kBoardPixelsPerLine, 2 * lines, bgra_.data(), &error,
                       tools::PngEffort::Fast)) {
    std::remove(temporary.c_str());  // a cut picture is nobody's
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = "cannot rename " + temporary + " to " + path;
    std::remove(temporary.c_str());
    return false;
  }
  writtenPath_ = path;
  ++picturesWritten_;
  return true;
}

}  // namespace quellor::preview
