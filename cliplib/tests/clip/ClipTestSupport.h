// Files, bytes and aligned frames for the clip file tests. RTV bytes are
// built here by offset, independently of the library's own record code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quellor::clip::testing {

using Bytes = std::vector<std::uint8_t>;

void WriteFileBytes(const std::string& path, const Bytes& bytes);
Bytes ReadFileBytes(const std::string& path);

void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value);
void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value);
void PutF32(Bytes& bytes, std::size_t offset, float value);
std::uint32_t GetU32(const Bytes& bytes, std::size_t offset);
float GetF32(const Bytes& bytes, std::size_t offset);

struct StreamSpec {
  std::uint16_t kind = 1;
  std::uint16_t subtype = 8;
  std::uint32_t chunk_size = 512;
  std::uint32_t raster_offset = 0;
  std::uint32_t raster_line_length = 1716;
  std::uint32_t active_line_length = 32;
  std::uint32_t lines = 8;
};

// File header (magic "FMTR", type 1, data offset 512) and stream headers;
// frame set size = sum of the chunk sizes unless given.
Bytes RtvHeaders(const std::vector<StreamSpec>& streams, float field_rate = 0.0f,
                 std::uint32_t frame_set_size = 0);

// Headers padded to the data offset, then `frame_sets` frame sets in which
// every byte of frame set n, chunk s is (n * 16 + s + 1) & 0xFF.
Bytes RtvFile(const std::vector<StreamSpec>& streams, std::uint32_t frame_sets);

// Page-aligned memory for unbuffered transfers.
class AlignedBuffer {
 public:
  explicit AlignedBuffer(std::size_t size, std::uint8_t fill = 0);
  ~AlignedBuffer();
  AlignedBuffer(const AlignedBuffer&) = delete;
  AlignedBuffer& operator=(const AlignedBuffer&) = delete;
  std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  Bytes ToBytes() const { return Bytes(data_, data_ + size_); }

 private:
  std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace quellor::clip::testing
