#include "ClipFrames.h"

namespace quellor::rtvtool {

ClipFrames::ClipFrames(const std::string& path)
    : clip_(quellor::clip::ClipFile::Open(path.c_str())) {
  std::uint32_t second_width = 0, second_lines = 0;
  if (clip_->video_stream_count() < 2 || !clip_->Geometry(0, &width_, &field_lines_)) {
    throw "The clip holds no video track.";
  }
  const quellor::clip::VideoStreamContext* second = clip_->video_stream(1);
  second_width = second->pixels_per_line();
  second_lines = second->lines_per_field();
  if (second_width != width_ || second_lines != field_lines_) {
    throw "The two fields of the clip's video track differ in size.";
  }
  for (int field = 0; field < 2; ++field) {
    const std::uint32_t chunk = clip_->video_stream(field)->chunk_size();
    if (field_bytes() > chunk) throw "A field of the clip is larger than its chunk.";
    fields_[field] = std::make_unique<FieldBuffer>(chunk);
  }
}

bool ClipFrames::Read(std::uint64_t n) {
  return clip_->ReadChunk(2 * n, fields_[0]->data(), 0) &&
         clip_->ReadChunk(2 * n + 1, fields_[1]->data(), 0);
}

const std::uint8_t* ClipFrames::PictureRow(std::uint32_t line) const {
  // Even picture lines are the first field, odd lines the second.
  return fields_[line & 1]->data() + static_cast<std::size_t>(line >> 1) * width_ * 2;
}

}  // namespace quellor::rtvtool
