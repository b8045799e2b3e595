// The looped RTV clip input: fields read through the suite's clip reader.
#include <cstring>

#include "SignalSource.h"
#include "board/FieldRecords.h"
#include "cliplib/clip/ClipFile.h"

namespace quellor::board {

namespace {

class RtvClipFieldReader final : public ClipFieldReader {
 public:
  RtvClipFieldReader(std::unique_ptr<quellor::clip::ClipFile> clip, VideoStandard standard)
      : clip_(std::move(clip)), standard_(standard) {}

  VideoStandard standard() const override { return standard_; }
  DWORD frameCount() const override {
    const std::uint64_t frames = clip_->FieldCount() / 2;
    return frames > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(frames);
  }
  bool ReadField(DWORD frameIndex, DWORD parity, BYTE* pixels) override {
    const std::uint8_t* chunk = clip_->ReadChunk(2 * std::uint64_t(frameIndex) + parity, 0);
    if (!chunk) return false;
    std::memcpy(pixels, chunk, static_cast<size_t>(FieldLines(standard_)) * kBoardLineBytes);
    return true;
  }

 private:
  std::unique_ptr<quellor::clip::ClipFile> clip_;
  VideoStandard standard_;
};

}  // namespace

std::unique_ptr<ClipFieldReader> OpenClipFieldReader(const std::string& path, std::string& error) {
  std::unique_ptr<quellor::clip::ClipFile> clip;
  try {
    clip = quellor::clip::ClipFile::Open(path.c_str());
  } catch (const char* text) {
    error = path + ": " + text;
    return nullptr;
  }
  // The board takes 720-pixel fields of its own two standards, both fields
  // of track 0 alike.
  std::uint32_t pixels = 0, lines = 0;
  if (clip->video_stream_count() < 2 || !clip->Geometry(0, &pixels, &lines)) {
    error = path + ": the clip holds no video track";
    return nullptr;
  }
  const auto* second = clip->video_stream(1);
  if (pixels != kBoardPixelsPerLine || (lines != kNtscFieldLines && lines != kPalFieldLines) ||
      second->pixels_per_line() != pixels || second->lines_per_field() != lines) {
    error = path + ": the clip is not 720 x 480 NTSC or 720 x 576 PAL";
    return nullptr;
  }
  if (clip->FieldCount() < 2) {
    error = path + ": the clip holds no frame";
    return nullptr;
  }
  const VideoStandard standard = lines == kPalFieldLines ? VideoStandard::Pal : VideoStandard::Ntsc;
  return std::make_unique<RtvClipFieldReader>(std::move(clip), standard);
}

}  // namespace quellor::board
