// The looped RTV clip input: fields read through the board's own clip file
// reader.
#include "RtvFieldFile.h"
#include "SignalSource.h"
#include "board/FieldRecords.h"

namespace quellor::board {

namespace {

class RtvClipFieldReader final : public ClipFieldReader {
 public:
  RtvClipFieldReader(std::unique_ptr<RtvFieldFile> clip, VideoStandard standard)
      : clip_(std::move(clip)), standard_(standard) {}

  VideoStandard standard() const override { return standard_; }
  DWORD frameCount() const override {
    const std::uint64_t frames = clip_->FrameCount();
    return frames > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(frames);
  }
  bool ReadField(DWORD frameIndex, DWORD parity, BYTE* pixels) override {
    return clip_->ReadField(frameIndex, parity, pixels, FieldLines(standard_) * kBoardLineBytes);
  }

 private:
  std::unique_ptr<RtvFieldFile> clip_;
  VideoStandard standard_;
};

}  // namespace

std::unique_ptr<ClipFieldReader> OpenClipFieldReader(const std::string& path, std::string& error) {
  auto clip = std::make_unique<RtvFieldFile>();
  std::string reason;
  if (!clip->Open(path, reason)) {
    error = path + ": " + reason;
    return nullptr;
  }
  // The board takes 720-pixel fields of its own two standards, both fields
  // of track 0 alike.
  const std::uint32_t lines = clip->lines();
  if (clip->pixelsPerLine() != kBoardPixelsPerLine ||
      (lines != kNtscFieldLines && lines != kPalFieldLines)) {
    error = path + ": the clip is not 720 x 480 NTSC or 720 x 576 PAL";
    return nullptr;
  }
  // A chunk shorter than its field's lines cannot be shown whole.
  if (clip->smallerChunk() < lines * kBoardLineBytes) {
    error = path + ": the clip's fields are shorter than their lines";
    return nullptr;
  }
  if (clip->FrameCount() < 1) {
    error = path + ": the clip holds no frame";
    return nullptr;
  }
  const VideoStandard standard = lines == kPalFieldLines ? VideoStandard::Pal : VideoStandard::Ntsc;
  return std::make_unique<RtvClipFieldReader>(std::move(clip), standard);
}

}  // namespace quellor::board
