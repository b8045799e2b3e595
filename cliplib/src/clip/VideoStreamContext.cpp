#include "cliplib/clip/VideoStreamContext.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "board/ColourConversion.h"
#include "cliplib/clip/RtvFormat.h"

namespace quellor::clip {

VideoStreamContext::VideoStreamContext(std::uint32_t chunk_size, std::uint32_t frame_set_size,
                                       std::uint64_t base_offset, std::uint32_t pixels_per_line,
                                       std::uint32_t lines_per_field)
    : chunk_size_(chunk_size),
      frame_set_size_(frame_set_size),
      base_offset_(base_offset),
      pixels_per_line_(pixels_per_line),
      lines_per_field_(lines_per_field) {}

std::uint8_t* VideoStreamContext::conversion_buffer() const {
  // A chunk size of 0 gets no buffer (VirtualAlloc refuses 0 bytes); every
  // use of the buffer is bounded by the chunk size, so nothing reads it.
  if (conversion_buffer_ == nullptr && chunk_size_ != 0) {
    conversion_buffer_ = static_cast<std::uint8_t*>(
        VirtualAlloc(nullptr, chunk_size_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  }
  return conversion_buffer_;
}

VideoStreamContext::~VideoStreamContext() {
  if (conversion_buffer_ != nullptr) VirtualFree(conversion_buffer_, 0, MEM_RELEASE);
}

int VideoStreamContext::Subtype() const {
  return kRtvVideoSubtypeYCbCr422;
}

int VideoStreamContext::ConvertiblePixelCount() const {
  const std::uint64_t claimed = static_cast<std::uint64_t>(pixels_per_line_) * lines_per_field_;
  const std::uint64_t fits = chunk_size_ / 2;
  return static_cast<int>(std::min<std::uint64_t>({claimed, fits, INT_MAX}));
}

void VideoStreamContext::Decode(void* bgra_destination) const {
  const std::uint8_t* buffer = conversion_buffer();
  if (buffer != nullptr) decode_ycbcr8_bgra(bgra_destination, buffer, ConvertiblePixelCount());
}

void VideoStreamContext::Encode(const void* bgra_source) {
  std::uint8_t* buffer = conversion_buffer();
  if (buffer != nullptr) encode_bgra_ycbcr8(buffer, bgra_source, ConvertiblePixelCount());
}

}  // namespace quellor::clip
