// The three pixel formats the plug-in reads and writes frames in, with their
// GUID texts, names, flags and sizes, and the image format records that
// describe them to the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "VideoGeometry.h"
#include "rtvbridge/AvFileRecords.h"

namespace quellor::rtvbridge {

// Indices of the format table, in the order the records are handed out.
enum class PixelFormat : int { k422 = 0, k444 = 1, kRgba32 = 2 };
inline constexpr int kPixelFormatCount = 3;

inline constexpr const char* kGuid422 = "81A3D6E5-2C47-11d1-94D6-00805F3B1A4E";
inline constexpr const char* kGuid444 = "C7E25A13-6F0B-11d2-94D6-00805F3B1A4E";
inline constexpr const char* kGuidRgba32 = "2B8D0F64-A91E-11d0-B5C3-00003A6E92F1";

// Flags of the records handed out; the writing settings describe the stored
// 4:2:2 with their own flags.
inline constexpr std::int32_t kFlags422 = 0x812;
inline constexpr std::int32_t kFlags444 = 0x110;
inline constexpr std::int32_t kFlagsRgba32 = 0x100;
inline constexpr std::int32_t kFlagsStored422 = 0x802;

// The formats in order of preference, as the host is told: 0, 1, 2, 0.
extern const std::uint8_t kFormatPreference[4];

const char* FormatGuid(PixelFormat format);
const char* FormatName(PixelFormat format);
std::int32_t FormatFlags(PixelFormat format);

// The format whose GUID text (at most 100 characters) equals `guid`,
// compared in the order 4:2:2, RGBA-32, 4:4:4; nothing for another text.
std::optional<PixelFormat> FormatFromGuid(const char* guid);

// Bytes of one frame: width x height x 2 + 4 (the 4:2:2 trailer) for
// 4:2:2, width x height x 4 for the others.
std::size_t FormatFrameBytes(PixelFormat format, std::int32_t width, std::int32_t height);

// A whole record: size 236, the frame size, GUID, name, the process-wide
// frame rate, bytes per frame and flags.
void FillFormatRecord(ImageFormatRecord& record, PixelFormat format, std::int32_t width,
                      std::int32_t height, const VideoGeometry& geometry);

// Copies a NUL-terminated text into a fixed field, cut short if need be.
template <std::size_t N>
void CopyText(char (&field)[N], const char* text);

}  // namespace quellor::rtvbridge

#include <cstring>

template <std::size_t N>
void quellor::rtvbridge::CopyText(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  if (text != nullptr) std::strncpy(field, text, N - 1);
}
