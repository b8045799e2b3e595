// One video stream of an open clip file: where its chunks lie and a
// page-aligned conversion buffer of one chunk, through which fields are
// decoded to and encoded from 32-bit BGRA pixels. The buffer is allocated
// when first used: a clip may name thousands of streams, and a mapping per
// stream at open would exhaust the process's mappings before any is read.
#pragma once

#include <cstdint>

namespace quellor::clip {

class VideoStreamContext {
 public:
  // Records where the stream's chunks lie; allocates nothing.
  VideoStreamContext(std::uint32_t chunk_size, std::uint32_t frame_set_size,
                     std::uint64_t base_offset, std::uint32_t pixels_per_line,
                     std::uint32_t lines_per_field);
  virtual ~VideoStreamContext();
  VideoStreamContext(const VideoStreamContext&) = delete;
  VideoStreamContext& operator=(const VideoStreamContext&) = delete;

  // 8: 8-bit YCbCr 4:2:2.
  virtual int Subtype() const;
  // The conversion buffer's field into BGRA pixels at `bgra_destination`
  // (pixels per line x lines x 4 bytes). Nothing when the buffer cannot be
  // had.
  virtual void Decode(void* bgra_destination) const;
  // BGRA pixels (pixels per line x lines x 4 bytes) into the conversion
  // buffer. Nothing when the buffer cannot be had.
  virtual void Encode(const void* bgra_source);

  std::uint32_t chunk_size() const { return chunk_size_; }
  std::uint32_t frame_set_size() const { return frame_set_size_; }
  std::uint64_t base_offset() const { return base_offset_; }
  std::uint32_t pixels_per_line() const { return pixels_per_line_; }
  std::uint32_t lines_per_field() const { return lines_per_field_; }
  // The conversion buffer (chunk size bytes of page-aligned, zero-filled
  // memory), allocated on the first call; null when the chunk size is 0 or
  // the memory cannot be had.
  std::uint8_t* conversion_buffer() const;

  // File offset of this stream's chunk in frame set `chunk_number`.
  std::uint64_t ChunkOffset(std::uint64_t chunk_number) const {
    return base_offset_ + static_cast<std::uint64_t>(frame_set_size_) * chunk_number;
  }

 private:
  // Pixels that Decode/Encode convert: pixels per line x lines, but never
  // more than the conversion buffer holds (a header may claim lines longer
  // than its chunk).
  int ConvertiblePixelCount() const;

  std::uint32_t chunk_size_;
  std::uint32_t frame_set_size_;
  std::uint64_t base_offset_;
  std::uint32_t pixels_per_line_;
  std::uint32_t lines_per_field_;
  mutable std::uint8_t* conversion_buffer_ = nullptr;
};

}  // namespace quellor::clip
