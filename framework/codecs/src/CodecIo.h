// File and size helpers the codecs share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "qlxrapi/codecs/ImageCodecs.h"

namespace quellor::codecs {

// Reads exactly size bytes; false on a short read.
inline bool ReadExact(std::FILE* file, void* buffer, std::size_t size) {
  return size == 0 || std::fread(buffer, 1, size, file) == size;
}

inline bool WriteExact(std::FILE* file, const void* data, std::size_t size) {
  return size == 0 || std::fwrite(data, 1, size, file) == size;
}

inline bool SeekTo(std::FILE* file, std::uint64_t offset) {
  if (offset > 0x7FFFFFFFFFFFull) return false;
  return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

// The file's length from the start, leaving the position at the start; -1
// when it cannot be measured.
long long FileLength(std::FILE* file);

// 0 when a width x height picture of bits per pixel is one the library
// handles (both positive, within kMaxPictureBytes), else code 6.
int CheckPictureSize(long long width, long long height, int bitsPerPixel);

inline std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}
inline std::uint16_t Be16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t Be32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
inline void PutLe16(std::uint8_t* p, unsigned v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutLe32(std::uint8_t* p, std::uint32_t v) {
  PutLe16(p, v & 0xFFFF);
  PutLe16(p + 2, v >> 16);
}
inline void PutBe16(std::uint8_t* p, unsigned v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}
inline void PutBe32(std::uint8_t* p, std::uint32_t v) {
  PutBe16(p, v >> 16);
  PutBe16(p + 2, v & 0xFFFF);
}

// The codec's own state in a record's private area. State is trivially
// copyable and fits the area.
template <typename State>
State& PrivateState(BitmapRecord& bitmap) {
  static_assert(sizeof(State) <= sizeof(bitmap.privateArea));
  static_assert(alignof(State) <= 8);
  return *reinterpret_cast<State*>(bitmap.privateArea);
}

// Pixel i of a 1, 4 or 8-bit row (palette index).
inline unsigned IndexAt(const std::uint8_t* row, int bits, std::size_t i) {
  if (bits == 8) return row[i];
  if (bits == 4) return (row[i / 2] >> ((i & 1) ? 0 : 4)) & 0x0F;
  return (row[i / 8] >> (7 - (i & 7))) & 1;
}

inline void SetIndexAt(std::uint8_t* row, int bits, std::size_t i, unsigned value) {
  if (bits == 8) {
    row[i] = static_cast<std::uint8_t>(value);
  } else if (bits == 4) {
    const int shift = (i & 1) ? 0 : 4;
    row[i / 2] =
        static_cast<std::uint8_t>((row[i / 2] & ~(0x0F << shift)) | ((value & 0x0F) << shift));
  } else {
    const int shift = 7 - static_cast<int>(i & 7);
    row[i / 8] = static_cast<std::uint8_t>((row[i / 8] & ~(1 << shift)) | ((value & 1) << shift));
  }
}

// Row y (0 = bottom) of the pixel data of bitmap.
inline std::uint8_t* DataRow(std::uint8_t* data, const BitmapRecord& bitmap, int y) {
  return data + static_cast<std::size_t>(RowStride(bitmap.width, bitmap.bitsPerPixel)) * y;
}
inline const std::uint8_t* DataRow(const std::uint8_t* data, const BitmapRecord& bitmap, int y) {
  return data + static_cast<std::size_t>(RowStride(bitmap.width, bitmap.bitsPerPixel)) * y;
}

}  // namespace quellor::codecs
