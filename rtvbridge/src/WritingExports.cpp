// Writing clips: create by path, the settings and accepted formats, frames
// appended one after the other in 4:2:2, 4:4:4 or RGBA-32, close, and the
// frames that still fit on a drive. Written clips live in the same open clip
// file table as the clips being read.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "BridgeProcess.h"
#include "BridgeTexts.h"
#include "ClipHandles.h"
#include "DriveSpace.h"
#include "ExportGuard.h"
#include "FrameEncoding.h"
#include "FrameRows.h"
#include "PixelFormats.h"
#include "SlotFields.h"
#include "cliplib/clip/ClipWriter.h"
#include "rtvbridge/AvFileExports.h"

namespace quellor::rtvbridge {
namespace {

// What the host is told it may write from; built from the process-wide
// geometry, not from a clip.
ImageFormatRecord g_writingFormats[kPixelFormatCount];

// A dot four characters from the end is a three-letter extension of any
// kind, kept as it is; anything else gets ".rtv".
std::string ClipPathFor(const char* path) {
  const std::size_t length = std::strlen(path);
  if (length >= 4 && path[length - 4] == '.') return path;
  return std::string(path) + ".rtv";
}

bool Write422(clip::OpenClipSlot& slot, std::uint64_t n, std::uint8_t* pixels,
              std::size_t byte_count) {
  // The host's own buffer, trailer included, loses its 0xFF bytes.
  ClearTimingCodeBytes(pixels, byte_count);
  if (!WriteFieldFrom(slot, 2 * n, pixels)) return false;
  return WriteFieldFrom(slot, 2 * n + 1, pixels + slot.field_bytes);
}

bool WriteRgba(clip::OpenClipSlot& slot, std::uint64_t n, const std::uint8_t* pixels) {
  std::uint8_t* first = FieldBuffer(slot, 2 * n);
  std::uint8_t* second = FieldBuffer(slot, 2 * n + 1);
  if (first == nullptr || second == nullptr) return false;
  EncodeBottomUpFrame(pixels, first, second, slot.pixels_per_line, slot.lines);
  if (!WriteFieldFromBuffer(slot, 2 * n)) return false;
  return WriteFieldFromBuffer(slot, 2 * n + 1);
}

// Y Cb Cr A lines top-down, alternating between the first and second field.
bool Write444(clip::OpenClipSlot& slot, std::uint64_t n, const std::uint8_t* pixels) {
  std::uint8_t* first = FieldBuffer(slot, 2 * n);
  std::uint8_t* second = FieldBuffer(slot, 2 * n + 1);
  if (first == nullptr || second == nullptr) return false;
  Encode444Frame(pixels, first, second, slot.pixels_per_line, slot.lines);
  if (!WriteFieldFromBuffer(slot, 2 * n)) return false;
  return WriteFieldFromBuffer(slot, 2 * n + 1);
}

std::int32_t WriteFrame(const char* path, const VideoFrameRecord& frame) {
  const VideoGeometry& geometry = Process().geometry;
  const std::optional<PixelFormat> format = FormatFromGuid(frame.format.guid);
  if (!format || frame.pixels == nullptr || frame.format.bytesPerFrame < 0 ||
      static_cast<std::size_t>(frame.format.bytesPerFrame) !=
          FormatFrameBytes(*format, geometry.width, geometry.height)) {
    return 0;
  }
  bool ok = false;
  {
    clip::OpenClipTable::LockedSlot slot = clip::OpenClipTable::Instance().Acquire(path);
    if (!slot) return 0;
    // A clip replaced behind the table's back may have another geometry.
    if (!HoldsWholeFields(*slot) ||
        slot->pixels_per_line != static_cast<std::uint32_t>(geometry.width) ||
        slot->lines != static_cast<std::uint32_t>(geometry.fieldLines())) {
      return 0;
    }
    const std::uint64_t n = slot->next_frame_index;
    auto* pixels = static_cast<std::uint8_t*>(frame.pixels);
    switch (*format) {
      case PixelFormat::k422:
        ok = Write422(*slot, n, pixels, static_cast<std::size_t>(frame.format.bytesPerFrame));
        break;
      case PixelFormat::kRgba32:
        ok = WriteRgba(*slot, n, pixels);
        break;
      case PixelFormat::k444:
        ok = Write444(*slot, n, pixels);
        break;
    }
    // The next frame keeps its own place whatever became of this one.
    ++slot->next_frame_index;
  }
  // A drive that fills up or fails is worth telling the user about; the
  // clip stays readable up to its last whole frame.
  if (!ok) throw kCannotWriteFrame;
  return 1;
}

}  // namespace
}  // namespace quellor::rtvbridge

using namespace quellor::rtvbridge;

AVFILE_Result AVFILE_OpenFileForWrite(AVFILE_Handle* handle, WriteOpenRecord* record) {
  return RunGuarded("AVFILE_OpenFileForWrite", [&]() -> std::int32_t {
    if (handle == nullptr || record == nullptr || record->size < kMinWriteOpenSize ||
        record->path == nullptr) {
      return 0;
    }
    const std::string path = ClipPathFor(record->path);
    char* copy = ClipHandles::Writing().Open(path.c_str());
    if (copy == nullptr) return 0;
    *handle = copy;
    const VideoGeometry& geometry = Process().geometry;
    try {
      // A reader of the same path reopens the new clip on its next call.
      quellor::clip::OpenClipTable::Instance().Close(copy);
      quellor::clip::ClipWriter::Create(copy, 2, 0, static_cast<unsigned>(geometry.width),
                                        static_cast<unsigned>(geometry.fieldLines()),
                                        geometry.frameRate);
    } catch (...) {
      return 0;  // silently: the handle already holds the path
    }
    return 1;
  });
}

AVFILE_Result AVFILE_SetWritingSettings(WritingSettingsRecord* settings) {
  if (settings == nullptr || settings->size < kMinWritingSettingsSize) return 0;
  const VideoGeometry& geometry = Process().geometry;
  settings->one = 1;
  FillFormatRecord(settings->storedFormat, PixelFormat::k422, geometry.width, geometry.height,
                   geometry);
  settings->storedFormat.flags = kFlagsStored422;
  std::memcpy(settings->hostBlockCopy, settings->hostBlock, sizeof settings->hostBlockCopy);
  return 1;
}

AVFILE_Result AVFILE_GetWritingFileInfo(AVFILE_Handle /*handle*/, WritingFileInfoRecord* info) {
  if (info == nullptr) return 0;
  const VideoGeometry& geometry = Process().geometry;
  for (int i = 0; i < kPixelFormatCount; ++i) {
    FillFormatRecord(g_writingFormats[i], static_cast<PixelFormat>(i), geometry.width,
                     geometry.height, geometry);
  }
  info->formats = g_writingFormats;
  info->formatCount = kPixelFormatCount;
  info->zero12 = 0;
  info->zero16 = 0;
  info->forty = 40;
  info->preference = kFormatPreference;
  return 1;
}

AVFILE_Result AVFILE_WriteNextVideoFrame(AVFILE_Handle handle, const VideoFrameRecord* frame) {
  return RunGuarded("AVFILE_WriteNextVideoFrame", [&]() -> std::int32_t {
    if (frame == nullptr) return 0;
    const std::optional<std::string> path = ClipHandles::Writing().PathOf(handle);
    if (!path) return 0;
    return WriteFrame(path->c_str(), *frame);
  });
}

AVFILE_Result AVFILE_CloseFileForWrite(AVFILE_Handle handle) {
  return RunGuarded("AVFILE_CloseFileForWrite", [&]() -> std::int32_t {
    const std::optional<std::string> path = ClipHandles::Writing().PathOf(handle);
    if (!path) return 0;
    quellor::clip::ClipWriter::Close(path->c_str());
    return ClipHandles::Writing().Close(handle) ? 1 : 0;
  });
}

AVFILE_Result AVFILE_GetFreeTimeOnDrive(FreeSpaceRecord* record) {
  if (record == nullptr || record->size < kMinFreeSpaceSize || record->path == nullptr) return 0;
  const std::optional<std::uint64_t> free_bytes = FreeBytesOnDrive(record->path);
  if (!free_bytes) return 0;
  record->framesThatFit = FramesThatFit(*free_bytes, Process().geometry.storedFrameBytes());
  record->hundred = 100;
  return 1;
}
