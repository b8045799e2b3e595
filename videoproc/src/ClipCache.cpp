#include "ClipCache.h"

#include <cliplib/clip/OpenClipTable.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "VideoRows.h"
#include "videoproc/VideoStream_Header.h"

namespace quellor::videoproc {
namespace {

using clip::OpenClipTable;

constexpr std::uintptr_t kSectorBytes = 512;  // an unbuffered read's unit

}  // namespace

std::int32_t ClipFrameCount(const char* name) {
  if (name == nullptr) return 0;
  OpenClipTable::LockedSlot slot = OpenClipTable::Instance().Acquire(name);
  if (!slot || !slot->clip) return 0;
  const std::uint64_t frames = slot->clip->FieldCount() >> 1;
  return static_cast<std::int32_t>(std::min<std::uint64_t>(frames, INT32_MAX));
}

bool ClipFieldSize(const char* name, std::uint32_t* width, std::uint32_t* lines) {
  if (name == nullptr) return false;
  OpenClipTable::LockedSlot slot = OpenClipTable::Instance().Acquire(name);
  if (!slot || !slot->clip) return false;
  if (width) *width = slot->pixels_per_line;
  if (lines) *lines = slot->lines;
  return true;
}

bool ReadClipField(const char* name, std::uint64_t field, std::uint8_t* destination,
                   std::uint32_t width, std::uint32_t lines) {
  if (name == nullptr || destination == nullptr) return false;
  OpenClipTable::LockedSlot slot = OpenClipTable::Instance().Acquire(name);
  if (!slot || !slot->clip) return false;
  clip::ClipFile& file = *slot->clip;
  const std::size_t bytes = VideoUYVY_BlockBytes(width, lines);
  clip::VideoStreamContext* stream = file.StreamForField(field, 0);
  if (stream == nullptr) return false;
  // Same size and a sector-aligned buffer: straight from the file.
  if (slot->pixels_per_line == width && slot->lines == lines && stream->chunk_size() == bytes &&
      reinterpret_cast<std::uintptr_t>(destination) % kSectorBytes == 0) {
    return file.ReadChunk(field, destination, 0);
  }
  // Otherwise through the stream's own buffer, line by line: the common
  // width and lines are copied, the rest of the field is black.
  const std::uint8_t* chunk = file.ReadChunk(field, 0);
  if (chunk == nullptr) return false;
  const std::size_t sourceLine = VideoUYVY_LineBytes(slot->pixels_per_line);
  const std::size_t targetLine = VideoUYVY_LineBytes(width);
  const std::size_t copyLine = std::min(sourceLine, targetLine) & ~std::size_t{3};
  const std::uint32_t sourceLines = static_cast<std::uint32_t>(
      sourceLine == 0 ? 0 : std::min<std::size_t>(slot->lines, stream->chunk_size() / sourceLine));
  const auto& rows = VideoRows();
  for (std::uint32_t l = 0; l < lines; ++l) {
    std::uint8_t* target = destination + l * targetLine;
    std::size_t copied = 0;
    if (l < sourceLines) {
      std::memcpy(target, chunk + l * sourceLine, copyLine);
      copied = copyLine;
    }
    rows.fillWords(reinterpret_cast<std::uint32_t*>(target + copied), kVideoUYVYBlack,
                   (targetLine - copied) / 4);
  }
  return true;
}

}  // namespace quellor::videoproc
