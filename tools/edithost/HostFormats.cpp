#include "HostFormats.h"

#include <cstring>

#include "board/ColourConversion.h"

namespace quellor::edithost {
namespace {

// Picture line y of a field-ordered frame: field y & 1, line y / 2.
const std::uint8_t* FieldLine(const std::uint8_t* fields, std::uint32_t width, std::uint32_t height,
                              std::uint32_t y) {
  const std::size_t field_bytes = std::size_t{width} * height;  // height / 2 lines x 2 bytes
  return fields + (y & 1) * field_bytes + std::size_t{y / 2} * width * 2;
}

std::uint8_t* FieldLine(std::uint8_t* fields, std::uint32_t width, std::uint32_t height,
                        std::uint32_t y) {
  return const_cast<std::uint8_t*>(
      FieldLine(static_cast<const std::uint8_t*>(fields), width, height, y));
}

// (Y0 Cb Cr A)(Y1 Cb Cr A) <-> Cb Y0 Cr Y1; the second pixel's chroma is
// dropped one way and copied the other.
void UyvyToYuva(const std::uint8_t* uyvy, std::uint8_t* yuva, std::uint32_t width) {
  for (std::uint32_t x = 0; x + 1 < width; x += 2, uyvy += 4, yuva += 8) {
    const std::uint8_t out[8] = {uyvy[1], uyvy[0], uyvy[2], 255, uyvy[3], uyvy[0], uyvy[2], 255};
    std::memcpy(yuva, out, 8);
  }
}

void YuvaToUyvy(const std::uint8_t* yuva, std::uint8_t* uyvy, std::uint32_t width) {
  for (std::uint32_t x = 0; x + 1 < width; x += 2, yuva += 8, uyvy += 4) {
    const std::uint8_t out[4] = {yuva[1], yuva[0], yuva[2], yuva[4]};
    std::memcpy(uyvy, out, 4);
  }
}

void PutTrailer(Pixels& frame, std::uint32_t width, std::uint32_t height) {
  const auto field_bytes = static_cast<std::uint32_t>(std::size_t{width} * height);
  std::memcpy(frame.data() + frame.size() - 4, &field_bytes, 4);
}

}  // namespace

std::optional<HostFormat> ParseHostFormat(const std::string& name) {
  if (name == "422") return HostFormat::k422;
  if (name == "444") return HostFormat::k444;
  if (name == "rgba") return HostFormat::kRgba;
  return std::nullopt;
}

const char* HostFormatGuid(HostFormat format) {
  switch (format) {
    case HostFormat::k422:
      return "81A3D6E5-2C47-11d1-94D6-00805F3B1A4E";
    case HostFormat::k444:
      return "C7E25A13-6F0B-11d2-94D6-00805F3B1A4E";
    case HostFormat::kRgba:
      return "2B8D0F64-A91E-11d0-B5C3-00003A6E92F1";
  }
  return "";
}

std::size_t HostFrameBytes(HostFormat format, std::uint32_t width, std::uint32_t height) {
  const std::size_t pixels = std::size_t{width} * height;
  return format == HostFormat::k422 ? pixels * 2 + 4 : pixels * 4;
}

Pixels FrameToPicture(HostFormat format, const std::uint8_t* frame, std::uint32_t width,
                      std::uint32_t height) {
  const std::size_t line = std::size_t{width} * 4;
  Pixels picture(line * height);
  Pixels uyvy(std::size_t{width} * 2);
  for (std::uint32_t y = 0; y < height; ++y) {
    std::uint8_t* out = picture.data() + y * line;
    switch (format) {
      case HostFormat::k422:
        decode_ycbcr8_bgra(out, FieldLine(frame, width, height, y), int(width));
        break;
      case HostFormat::k444:
        YuvaToUyvy(frame + y * line, uyvy.data(), width);
        decode_ycbcr8_bgra(out, uyvy.data(), int(width));
        break;
      case HostFormat::kRgba:
        std::memcpy(out, frame + (height - 1 - y) * line, line);
        break;
    }
  }
  return picture;
}

Pixels PictureToFrame(HostFormat format, const std::uint8_t* bgra, std::uint32_t width,
                      std::uint32_t height) {
  const std::size_t line = std::size_t{width} * 4;
  Pixels frame(HostFrameBytes(format, width, height));
  Pixels uyvy(std::size_t{width} * 2);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* in = bgra + y * line;
    switch (format) {
      case HostFormat::k422:
        encode_bgra_ycbcr8(FieldLine(frame.data(), width, height, y), in, int(width));
        break;
      case HostFormat::k444:
        encode_bgra_ycbcr8(uyvy.data(), in, int(width));
        UyvyToYuva(uyvy.data(), frame.data() + y * line, width);
        break;
      case HostFormat::kRgba:
        std::memcpy(frame.data() + (height - 1 - y) * line, in, line);
        break;
    }
  }
  if (format == HostFormat::k422) PutTrailer(frame, width, height);
  return frame;
}

Pixels FieldsToFrame(HostFormat format, const std::uint8_t* fields, std::uint32_t width,
                     std::uint32_t height) {
  const std::size_t line = std::size_t{width} * 4;
  Pixels frame(HostFrameBytes(format, width, height));
  if (format == HostFormat::k422) {
    std::memcpy(frame.data(), fields, frame.size() - 4);
    PutTrailer(frame, width, height);
    return frame;
  }
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* in = FieldLine(fields, width, height, y);
    if (format == HostFormat::k444) {
      UyvyToYuva(in, frame.data() + y * line, width);
    } else {
      decode_ycbcr8_bgra(frame.data() + (height - 1 - y) * line, in, int(width));
    }
  }
  return frame;
}

}  // namespace quellor::edithost
