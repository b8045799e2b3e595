// Frame-by-frame access to track 0 of a clip for the conversions: both fields
// of a frame read into sector-aligned buffers and the picture geometry.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "FieldBuffer.h"
#include "cliplib/clip/ClipFile.h"

namespace quellor::rtvtool {

class ClipFrames {
 public:
  // Opens `path`; throws the reader's text, or a text of ours when track 0 is
  // missing or its two fields differ.
  explicit ClipFrames(const std::string& path);

  std::uint32_t width() const { return width_; }
  std::uint32_t field_lines() const { return field_lines_; }
  std::uint32_t height() const { return field_lines_ * 2; }
  std::size_t field_bytes() const { return static_cast<std::size_t>(width_) * field_lines_ * 2; }
  std::uint64_t frame_count() const { return clip_->FieldCount() / 2; }
  float field_rate() const { return clip_->field_rate(); }

  // Reads frame `n`; false when either field cannot be read whole. The field
  // buffers are allocated at the first frame the file holds whole, so a
  // header's chunk size never sizes memory beyond the file.
  bool Read(std::uint64_t n);
  // Row `line` (0 = top) of the picture just read, 4:2:2, width x 2 bytes.
  const std::uint8_t* PictureRow(std::uint32_t line) const;

 private:
  std::unique_ptr<quellor::clip::ClipFile> clip_;
  std::uint32_t width_ = 0;
  std::uint32_t field_lines_ = 0;
  bool AllocateFields();

  std::unique_ptr<FieldBuffer> fields_[2];
};

}  // namespace quellor::rtvtool
