#include "cliplib/clip/ClipWriter.h"

#include <cstdint>
#include <cstdio>
#include <limits>

#include "cliplib/clip/OpenClipTable.h"
#include "cliplib/clip/RtvFormat.h"

#include "ScopedCFile.h"
#include "quellor/RegularFile.h"

namespace quellor::clip {
namespace {

// After a failed frame the file pointer is wherever the failure left it. Put
// it where the next frame goes, so that a following Append frame lands in its
// own place and the failed frame stays a gap, as it does for Write frame.
void PositionAfterFailedFrame(OpenClipSlot& slot) {
  slot.clip->SeekToChunk(2 * slot.next_frame_index, 0);
}

template <std::size_t N>
void WriteRecord(std::FILE* file, const std::uint8_t (&bytes)[N]) {
  if (std::fwrite(bytes, 1, N, file) != N) throw "Cannot write to output file.";
}

}  // namespace

void ClipWriter::Create(const char* path, unsigned video_stream_count, unsigned audio_stream_count,
                        unsigned pixels_per_line, unsigned lines_per_field, float frame_rate) {
  // Only a regular file: a pipe would block the opener until someone reads
  // it, and a device is nobody's clip.
  ScopedCFile file(OpenRegularFileForWriting(path));
  if (file.get() == nullptr) throw "Cannot open file for output.";
  if (audio_stream_count != 0) throw "Currently audio stream writing is not supported.";

  // Sizes that do not fit the header's 32-bit fields cannot be described:
  // refuse them before anything is written rather than store wrapped values.
  const std::uint64_t chunk_size =
      (static_cast<std::uint64_t>(pixels_per_line) * lines_per_field * 2 + 511) / 512 * 512;
  const std::uint64_t frame_set_size = chunk_size * video_stream_count;
  if (frame_set_size > std::numeric_limits<std::uint32_t>::max() ||
      static_cast<std::uint64_t>(pixels_per_line) * 2 > std::numeric_limits<std::uint32_t>::max()) {
    throw "Cannot write to output file.";
  }

  RtvFileHeader header{};
  header.magic = kRtvMagic;
  header.type = kRtvType;
  header.data_offset = kRtvDataOffset;
  header.stream_count = video_stream_count;
  header.frame_set_size = static_cast<std::uint32_t>(frame_set_size);
  header.field_rate = frame_rate * 2;
  std::uint8_t header_bytes[kRtvFileHeaderSize];
  WriteRtvFileHeader(header, header_bytes);
  WriteRecord(file.get(), header_bytes);

  const RtvRasterStandard& raster = RtvRasterFor(lines_per_field);
  for (unsigned i = 0; i < video_stream_count; ++i) {
    RtvStreamHeader stream{};
    stream.kind = kRtvStreamVideo;
    stream.subtype = kRtvVideoSubtypeYCbCr422;
    stream.chunk_size = static_cast<std::uint32_t>(chunk_size);
    stream.raster_offset =
        (i & 1) ? raster.second_field_raster_offset : raster.first_field_raster_offset;
    stream.raster_line_length = raster.raster_line_length;
    stream.active_line_length = pixels_per_line * 2;
    stream.lines = lines_per_field;
    std::uint8_t stream_bytes[kRtvStreamHeaderSize];
    WriteRtvStreamHeader(stream, stream_bytes);
    WriteRecord(file.get(), stream_bytes);
  }

  if (std::fseek(file.get(), kRtvDataOffset, SEEK_SET) != 0) {
    throw "Cannot move to the correct position in the file.";
  }
  if (!file.Close()) throw "Could not close file pointer.";
}

bool ClipWriter::WriteFrame(const char* path, const void* frame) {
  OpenClipTable::LockedSlot slot = OpenClipTable::Instance().Acquire(path);
  if (!slot) return false;
  const std::uint64_t n = slot->next_frame_index;
  const auto* memory = static_cast<const std::uint8_t*>(frame);
  bool ok = slot->clip->WriteChunk(2 * n, memory, 0);
  if (ok) ok = slot->clip->WriteChunk(2 * n + 1, memory + slot->field_bytes, 0);
  ++slot->next_frame_index;
  if (!ok) PositionAfterFailedFrame(*slot);
  return ok;
}

bool ClipWriter::AppendFrame(const char* path, const void* frame) {
  OpenClipTable::LockedSlot slot = OpenClipTable::Instance().Acquire(path);
  if (!slot) return false;
  const std::uint64_t bytes = static_cast<std::uint64_t>(slot->field_bytes) * 2;
  // One write call moves at most 4 GiB - 1 bytes; a larger frame cannot be
  // appended in one piece.
  const bool ok = bytes <= std::numeric_limits<DWORD>::max() &&
                  slot->clip->WriteAtCurrentPosition(frame, static_cast<DWORD>(bytes));
  ++slot->next_frame_index;
  if (!ok) PositionAfterFailedFrame(*slot);
  return ok;
}

bool ClipWriter::Close(const char* path) {
  return OpenClipTable::Instance().Close(path);
}

}  // namespace quellor::clip
