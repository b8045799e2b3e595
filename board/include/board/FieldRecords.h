// Records that carry video fields between a program and the board. They hold
// 32-bit values only and keep the same byte offsets on every build, because
// callers read words at fixed offsets (for example the buffer token at byte 4
// of a field info record).
#pragma once

#include <cstddef>

#include "win32/types.h"

// Geometry of one field on the board: 720 pixels of 8-bit YCbCr 4:2:2
// (bytes Cb Y0 Cr Y1), 1440 bytes a line.
inline constexpr DWORD kBoardPixelsPerLine = 720;
inline constexpr DWORD kBoardLineBytes = 1440;
inline constexpr DWORD kNtscFieldLines = 240;
inline constexpr DWORD kPalFieldLines = 288;
inline constexpr DWORD kNtscFieldBytes = kBoardLineBytes * kNtscFieldLines;  // 345600
inline constexpr DWORD kPalFieldBytes = kBoardLineBytes * kPalFieldLines;    // 414720
inline constexpr DWORD kNtscFrameBytes = 2 * kNtscFieldBytes;                // 691200
inline constexpr DWORD kPalFrameBytes = 2 * kPalFieldBytes;                  // 829440
// Whole raster line, blanking included, in bytes of 4:2:2 samples.
inline constexpr DWORD kNtscRasterLineBytes = 1716;
inline constexpr DWORD kPalRasterLineBytes = 1728;

// Video standards as the field format record names them.
inline constexpr DWORD kFieldStandardNtsc = 1;
inline constexpr DWORD kFieldStandardPal = 2;

// The 24-byte field format record: which standard and which field of the
// frame (0 first, 1 second) a field is. Filled by engine ordinals 23 and 24;
// read by ordinal 26.
struct RTME_FieldFormat {
  DWORD standard;         // kFieldStandardNtsc or kFieldStandardPal; 0 = not filled
  DWORD parity;           // 0 first field (even picture lines), 1 second field
  DWORD pixelsPerLine;    // 720
  DWORD rasterLineBytes;  // 1716 NTSC, 1728 PAL
  DWORD lineBytes;        // 1440
  DWORD lineCount;        // 240 NTSC, 288 PAL
};
static_assert(sizeof(RTME_FieldFormat) == 24);
static_assert(offsetof(RTME_FieldFormat, rasterLineBytes) == 12);
static_assert(offsetof(RTME_FieldFormat, lineCount) == 20);

// The 44-byte field info record handed to a probe callback with each field.
struct RTME_FieldInfo {
  DWORD recordBytes;        // 44
  DWORD bufferToken;        // byte 4: release with Harmonex ordinal 62
  DWORD fieldBytes;         // bytes of pixels at the field pointer
  DWORD timeStamp;          // byte 12: the field clock's counter for this field
  DWORD signalFlags;        // kFieldSignalPresent while the source has a signal
  RTME_FieldFormat format;  // byte 20: parity record (ordinal 26)
};
inline constexpr DWORD kFieldSignalPresent = 1;
static_assert(sizeof(RTME_FieldInfo) == 44);
static_assert(offsetof(RTME_FieldInfo, bufferToken) == 4);
static_assert(offsetof(RTME_FieldInfo, timeStamp) == 12);
static_assert(offsetof(RTME_FieldInfo, format) == 20);
static_assert(offsetof(RTME_FieldInfo, format) + offsetof(RTME_FieldFormat, rasterLineBytes) == 32);
static_assert(offsetof(RTME_FieldInfo, format) + offsetof(RTME_FieldFormat, lineCount) == 40);

// The 44-byte field descriptor queued to a producer (Harmonex ordinal 74).
struct RTME_FieldDescriptor {
  DWORD engineAddress;      // byte 0: engine-side address of the field's pixels (Harmonex 59)
  DWORD reserved[4];        // zero
  RTME_FieldFormat format;  // byte 20: filled by engine ordinal 23 or 24
};
static_assert(sizeof(RTME_FieldDescriptor) == 44);
static_assert(offsetof(RTME_FieldDescriptor, format) == 20);

// Bytes of pixels of one field of the given standard; 0 for an unknown one.
inline constexpr DWORD BoardFieldBytes(DWORD standard) {
  return standard == kFieldStandardNtsc  ? kNtscFieldBytes
         : standard == kFieldStandardPal ? kPalFieldBytes
                                         : 0;
}
