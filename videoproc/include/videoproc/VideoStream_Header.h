// The header of every item named "Video", and the VideoUYVY pixel layout of
// its data block.
#pragma once

#include <cstddef>
#include <cstdint>

// One field of video. 32 bytes; the offsets are fixed.
struct VideoStream_Header {
  std::uint32_t width;   // pixels (720)
  std::uint32_t height;  // lines of this field (240 NTSC, 288 PAL)
  std::uint32_t field;   // 0: first field of a frame, 1: second
  float aspect;          // picture aspect ratio, 4/3
  double time;           // seconds on the output's (looped) time line
  double duration;       // seconds this field lasts
};
static_assert(sizeof(VideoStream_Header) == 32);
static_assert(offsetof(VideoStream_Header, width) == 0);
static_assert(offsetof(VideoStream_Header, height) == 4);
static_assert(offsetof(VideoStream_Header, field) == 8);
static_assert(offsetof(VideoStream_Header, aspect) == 12);
static_assert(offsetof(VideoStream_Header, time) == 16);
static_assert(offsetof(VideoStream_Header, duration) == 24);

// The name of video items.
inline constexpr const char kVideoStreamName[] = "Video";
// 4/3 as stored in the header (bits 0x3FAAAAAB).
inline constexpr float kVideoAspectRatio = 4.0f / 3.0f;

// VideoUYVY: 8-bit 4:2:2, bytes U, Y0, V, Y1 per pair of pixels, lines one
// after the other with no padding. As a little-endian 32-bit word a pair is
// U in bits 0-7, Y0 in 8-15, V in 16-23 and Y1 in 24-31.
struct VideoUYVY {
  std::uint8_t u;
  std::uint8_t y0;
  std::uint8_t v;
  std::uint8_t y1;
};
static_assert(sizeof(VideoUYVY) == 4);

// Studio black: Y 16, U and V 128.
inline constexpr std::uint32_t kVideoUYVYBlack = 0x10801080u;

constexpr std::uint32_t VideoUYVY_Word(std::uint8_t u, std::uint8_t y0, std::uint8_t v,
                                       std::uint8_t y1) {
  return std::uint32_t{u} | std::uint32_t{y0} << 8 | std::uint32_t{v} << 16 |
         std::uint32_t{y1} << 24;
}
static_assert(VideoUYVY_Word(128, 16, 128, 16) == kVideoUYVYBlack);

// Bytes of one line and of a block of width x height pixels (2 a pixel).
constexpr std::uint64_t VideoUYVY_LineBytes(std::uint32_t width) {
  return std::uint64_t{width} * 2;
}
constexpr std::uint64_t VideoUYVY_BlockBytes(std::uint32_t width, std::uint32_t height) {
  return VideoUYVY_LineBytes(width) * height;
}
