#include "PixelFormats.h"

#include <cstring>

namespace quellor::rtvbridge {

const std::uint8_t kFormatPreference[4] = {0, 1, 2, 0};

const char* FormatGuid(PixelFormat format) {
  switch (format) {
    case PixelFormat::k422:
      return kGuid422;
    case PixelFormat::k444:
      return kGuid444;
    case PixelFormat::kRgba32:
      return kGuidRgba32;
  }
  return "";
}

const char* FormatName(PixelFormat format) {
  switch (format) {
    case PixelFormat::k422:
      return "4:2:2";
    case PixelFormat::k444:
      return "4:4:4";
    case PixelFormat::kRgba32:
      return "RGBA-32";
  }
  return "";
}

std::int32_t FormatFlags(PixelFormat format) {
  switch (format) {
    case PixelFormat::k422:
      return kFlags422;
    case PixelFormat::k444:
      return kFlags444;
    case PixelFormat::kRgba32:
      return kFlagsRgba32;
  }
  return 0;
}

std::optional<PixelFormat> FormatFromGuid(const char* guid) {
  if (guid == nullptr) return std::nullopt;
  for (PixelFormat format : {PixelFormat::k422, PixelFormat::kRgba32, PixelFormat::k444}) {
    if (std::strncmp(guid, FormatGuid(format), kGuidTextSize) == 0) return format;
  }
  return std::nullopt;
}

std::size_t FormatFrameBytes(PixelFormat format, std::int32_t width, std::int32_t height) {
  const std::size_t pixels = static_cast<std::size_t>(width > 0 ? width : 0) *
                             static_cast<std::size_t>(height > 0 ? height : 0);
  return format == PixelFormat::k422 ? pixels * 2 + 4 : pixels * 4;
}

void FillFormatRecord(ImageFormatRecord& record, PixelFormat format, std::int32_t width,
                      std::int32_t height, const VideoGeometry& geometry) {
  std::memset(&record, 0, sizeof record);
  record.size = sizeof(ImageFormatRecord);
  record.width = width;
  record.height = height;
  CopyText(record.guid, FormatGuid(format));
  record.rateNumerator = geometry.rateNumerator;
  record.rateDenominator = geometry.rateDenominator;
  record.bytesPerFrame = static_cast<std::int32_t>(FormatFrameBytes(format, width, height));
  record.flags = FormatFlags(format);
  CopyText(record.name, FormatName(format));
}

}  // namespace quellor::rtvbridge
