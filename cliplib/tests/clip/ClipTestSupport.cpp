#include "ClipTestSupport.h"

#include <bit>
#include <fstream>
#include <iterator>
#include <new>

namespace quellor::clip::testing {

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::uint8_t>(value);
  bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutF32(Bytes& bytes, std::size_t offset, float value) {
  PutU32(bytes, offset, std::bit_cast<std::uint32_t>(value));
}

std::uint32_t GetU32(const Bytes& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | bytes.at(offset + i);
  return value;
}

float GetF32(const Bytes& bytes, std::size_t offset) {
  return std::bit_cast<float>(GetU32(bytes, offset));
}

Bytes RtvHeaders(const std::vector<StreamSpec>& streams, float field_rate,
                 std::uint32_t frame_set_size) {
  Bytes bytes(24 + 24 * streams.size(), 0);
  bytes[0] = 'F';
  bytes[1] = 'M';
  bytes[2] = 'T';
  bytes[3] = 'R';
  PutU32(bytes, 4, 1);
  PutU32(bytes, 8, 512);
  PutU32(bytes, 12, static_cast<std::uint32_t>(streams.size()));
  std::uint32_t sum = 0;
  for (const auto& s : streams) sum += s.chunk_size;
  PutU32(bytes, 16, frame_set_size != 0 ? frame_set_size : sum);
  PutF32(bytes, 20, field_rate);
  for (std::size_t i = 0; i < streams.size(); ++i) {
    const std::size_t at = 24 + 24 * i;
    PutU16(bytes, at + 0, streams[i].kind);
    PutU16(bytes, at + 2, streams[i].subtype);
    PutU32(bytes, at + 4, streams[i].chunk_size);
    PutU32(bytes, at + 8, streams[i].raster_offset);
    PutU32(bytes, at + 12, streams[i].raster_line_length);
    PutU32(bytes, at + 16, streams[i].active_line_length);
    PutU32(bytes, at + 20, streams[i].lines);
  }
  return bytes;
}

Bytes RtvFile(const std::vector<StreamSpec>& streams, std::uint32_t frame_sets) {
  Bytes bytes = RtvHeaders(streams);
  bytes.resize(512, 0);
  for (std::uint32_t n = 0; n < frame_sets; ++n) {
    for (std::size_t s = 0; s < streams.size(); ++s) {
      bytes.insert(bytes.end(), streams[s].chunk_size, static_cast<std::uint8_t>(n * 16 + s + 1));
    }
  }
  return bytes;
}

AlignedBuffer::AlignedBuffer(std::size_t size, std::uint8_t fill)
    : data_(static_cast<std::uint8_t*>(
          ::operator new (size == 0 ? 1 : size, std::align_val_t{4096}))),
      size_(size) {
  std::fill(data_, data_ + size_, fill);
}

AlignedBuffer::~AlignedBuffer() {
  ::operator delete (data_, std::align_val_t{4096});
}

}  // namespace quellor::clip::testing
