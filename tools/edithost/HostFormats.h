// The three pixel formats as the host sees them, and the host's side of
// their conversions: pictures for PNG files (32-bit BGRA, rows top-down)
// and the board's field-ordered 4:2:2 frames of YUV4MPEG2 input.
//
//   422   both fields of 4:2:2 (Cb Y0 Cr Y1), first then second, then a
//         4-byte trailer
//   444   Y Cb Cr A per pixel, picture lines top-down
//   rgba  B G R A per pixel, picture lines bottom-up
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quellor::edithost {

enum class HostFormat { k422, k444, kRgba };

// "422", "444" or "rgba".
std::optional<HostFormat> ParseHostFormat(const std::string& name);
const char* HostFormatGuid(HostFormat format);
std::size_t HostFrameBytes(HostFormat format, std::uint32_t width, std::uint32_t height);

using Pixels = std::vector<std::uint8_t>;

// A frame in `format` as a BGRA picture, top row first.
Pixels FrameToPicture(HostFormat format, const std::uint8_t* frame, std::uint32_t width,
                      std::uint32_t height);
// A BGRA picture (top row first) as a frame in `format`.
Pixels PictureToFrame(HostFormat format, const std::uint8_t* bgra, std::uint32_t width,
                      std::uint32_t height);
// Field-ordered 4:2:2 (first field, then second) as a frame in `format`.
Pixels FieldsToFrame(HostFormat format, const std::uint8_t* fields, std::uint32_t width,
                     std::uint32_t height);

}  // namespace quellor::edithost
