// Reading clips: open by path, the file's description and formats, frames
// in 4:2:2, 4:4:4 or RGBA-32, close. Every call finds the clip through the
// open clip file table by the handle's path.
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include <quellor/RegularFile.h>

#include "BridgeProcess.h"
#include "ClipHandles.h"
#include "ExportGuard.h"
#include "FrameRows.h"
#include "PixelFormats.h"
#include "SlotFields.h"
#include "board/ColourConversion.h"
#include "rtvbridge/AvFileExports.h"

namespace quellor::rtvbridge {
namespace {

// Rewritten by every information call; the host reads them until the next.
ImageFormatRecord g_readingFormats[kPixelFormatCount];

std::int32_t ClampToInt32(std::uint64_t value) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int32_t>(value < kMax ? value : kMax);
}

// A pipe or device under the path is refused: opening it would wait for a
// writer, and the host's thread with it.
bool StartsWithMagic(const char* path) {
  std::FILE* file = OpenRegularFileForReading(path);
  if (file == nullptr) return false;
  char magic[4];
  const bool ok = std::fread(magic, 1, 4, file) == 4 && std::memcmp(magic, "FMTR", 4) == 0;
  std::fclose(file);
  return ok;
}

void FillFixedInfo(ReadingFileInfoRecord& info, void* handle) {
  info.zero4 = 0;
  info.eight = 8;
  CopyText(info.producer, "Video Quellor");
  info.forty = 40;
  info.zero116 = 0;
  info.mask = 0xFFFF;
  info.zero136 = 0;
  info.formats = g_readingFormats;
  info.formatCount = kPixelFormatCount;
  info.zero148 = 0;
  info.zero152 = 0;
  info.preference = kFormatPreference;
  info.handle = handle;
}

// Both fields of frame n straight into the host's buffer, then the 4-byte
// trailer (the field size) right behind the pixels of this frame: an NTSC
// frame puts it at 691200, a PAL frame at 829440, never inside the pixels.
bool Read422(clip::OpenClipSlot& slot, std::uint64_t n, std::uint8_t* buffer) {
  if (!ReadFieldInto(slot, 2 * n, buffer)) return false;
  if (!ReadFieldInto(slot, 2 * n + 1, buffer + slot.field_bytes)) return false;
  const auto trailer = static_cast<std::uint32_t>(slot.field_bytes);
  std::memcpy(buffer + 2 * slot.field_bytes, &trailer, sizeof trailer);
  return true;
}

// BGRA lines bottom-up: line k of the first field becomes buffer line
// height - 1 - 2k, line k of the second height - 2 - 2k.
bool ReadRgba(clip::OpenClipSlot& slot, std::uint64_t n, std::uint8_t* buffer) {
  const std::uint8_t* first = ReadFieldToBuffer(slot, 2 * n);
  if (first == nullptr) return false;
  const std::uint8_t* second = ReadFieldToBuffer(slot, 2 * n + 1);
  if (second == nullptr) return false;
  const int width = static_cast<int>(slot.pixels_per_line);
  const std::size_t height = std::size_t{slot.lines} * 2;
  const std::size_t in_line = std::size_t{slot.pixels_per_line} * 2;
  const std::size_t out_line = std::size_t{slot.pixels_per_line} * 4;
  for (std::size_t k = 0; k < slot.lines; ++k) {
    decode_ycbcr8_bgra(buffer + (height - 1 - 2 * k) * out_line, first + k * in_line, width);
    decode_ycbcr8_bgra(buffer + (height - 2 - 2 * k) * out_line, second + k * in_line, width);
  }
  return true;
}

// Y Cb Cr A lines top-down, the two fields interleaved.
bool Read444(clip::OpenClipSlot& slot, std::uint64_t n, std::uint8_t* buffer) {
  const std::uint8_t* first = ReadFieldToBuffer(slot, 2 * n);
  if (first == nullptr) return false;
  const std::uint8_t* second = ReadFieldToBuffer(slot, 2 * n + 1);
  if (second == nullptr) return false;
  const int width = static_cast<int>(slot.pixels_per_line);
  const std::size_t in_line = std::size_t{slot.pixels_per_line} * 2;
  const std::size_t out_line = std::size_t{slot.pixels_per_line} * 4;
  for (std::size_t k = 0; k < slot.lines; ++k) {
    UYVYToYUVARow(first + k * in_line, buffer + 2 * k * out_line, width);
    UYVYToYUVARow(second + k * in_line, buffer + (2 * k + 1) * out_line, width);
  }
  return true;
}

std::int32_t ReadFrame(const char* path, FrameRequestRecord& request) {
  clip::OpenClipTable::LockedSlot slot = clip::OpenClipTable::Instance().Acquire(path);
  if (!slot || !HoldsWholeFields(*slot)) return 0;

  const auto width = static_cast<std::int32_t>(slot->pixels_per_line);
  const auto height = static_cast<std::int32_t>(slot->lines * 2);
  ImageFormatRecord& delivered = request.delivered;
  delivered.width = width;
  delivered.height = height;
  delivered.size = sizeof(ImageFormatRecord);
  std::memcpy(delivered.guid, request.requested.guid, sizeof delivered.guid);
  std::memcpy(delivered.name, request.requested.name, sizeof delivered.name);
  delivered.rateNumerator = request.requested.rateNumerator;
  delivered.rateDenominator = request.requested.rateDenominator;
  delivered.bytesPerFrame = request.requested.bytesPerFrame;

  const std::optional<PixelFormat> format = FormatFromGuid(request.requested.guid);
  if (!format) return 0;
  if (request.buffer == nullptr || request.frameNumber < 0 ||
      request.bufferSize < FormatFrameBytes(*format, width, height)) {
    return 0;
  }
  const auto n = static_cast<std::uint64_t>(request.frameNumber);
  auto* buffer = static_cast<std::uint8_t*>(request.buffer);
  bool ok = false;
  switch (*format) {
    case PixelFormat::k422:
      ok = Read422(*slot, n, buffer);
      break;
    case PixelFormat::kRgba32:
      ok = ReadRgba(*slot, n, buffer);
      break;
    case PixelFormat::k444:
      ok = Read444(*slot, n, buffer);
      break;
  }
  if (!ok) return 0;
  delivered.flags = FormatFlags(*format);
  return 1;
}

}  // namespace
}  // namespace quellor::rtvbridge

using namespace quellor::rtvbridge;

AVFILE_Result AVFILE_OpenFileForRead(AVFILE_Handle* handle, const char* path) {
  if (handle == nullptr || path == nullptr || !StartsWithMagic(path)) return 0;
  char* copy = ClipHandles::Reading().Open(path);
  if (copy == nullptr) return 0;
  *handle = copy;
  return 1;
}

AVFILE_Result AVFILE_GetReadingFileInfo(AVFILE_Handle handle, ReadingFileInfoRecord* info) {
  return RunGuarded("AVFILE_GetReadingFileInfo", [&]() -> std::int32_t {
    if (info == nullptr || info->size < kMinReadingFileInfoSize) return 0;
    const std::optional<std::string> path = ClipHandles::Reading().PathOf(handle);
    if (!path) return 0;
    FillFixedInfo(*info, handle);
    quellor::clip::OpenClipTable::LockedSlot slot =
        quellor::clip::OpenClipTable::Instance().Acquire(path->c_str());
    if (!slot) return 0;
    info->frameCount = ClampToInt32(slot->clip->FieldCount() / 2);
    const auto width = static_cast<std::int32_t>(slot->pixels_per_line);
    const auto height = static_cast<std::int32_t>(slot->lines * 2);
    for (int i = 0; i < kPixelFormatCount; ++i) {
      FillFormatRecord(g_readingFormats[i], static_cast<PixelFormat>(i), width, height,
                       Process().geometry);
    }
    return 1;
  });
}

AVFILE_Result AVFILE_ReadImageFrame(AVFILE_Handle handle, FrameRequestRecord* request) {
  return RunGuarded("AVFILE_ReadImageFrame", [&]() -> std::int32_t {
    if (request == nullptr || request->size < kMinFrameRequestSize) return 0;
    const std::optional<std::string> path = ClipHandles::Reading().PathOf(handle);
    if (!path) return 0;
    return ReadFrame(path->c_str(), *request);
  });
}

AVFILE_Result AVFILE_CloseReadingFile(AVFILE_Handle handle) {
  return RunGuarded("AVFILE_CloseReadingFile", [&]() -> std::int32_t {
    const std::optional<std::string> path = ClipHandles::Reading().PathOf(handle);
    if (!path) return 0;
    quellor::clip::OpenClipTable::Instance().Close(path->c_str());
    return ClipHandles::Reading().Close(handle) ? 1 : 0;
  });
}
