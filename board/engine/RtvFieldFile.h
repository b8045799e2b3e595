// The board's own reader of RTV clip files, for a clip looped on its input:
// the file header, the stream headers and positioned reads of the fields of
// the first video track. Only what the input needs; the suite's full clip
// reader lives above the board and is not used here.
//
// Layout (all numbers little-endian): a 24-byte file header ("FMTR", type 1,
// data offset, stream count, frame set size, field rate), one 24-byte header
// per stream (kind, subtype, chunk size, raster offset, raster line length,
// active line length, lines), then from the data offset on one frame set per
// frame holding one chunk of every stream in stream order. Streams 0 and 1
// hold the first and second fields of track 0.
#pragma once

#include <cstdint>
#include <string>

namespace quellor::board {

class RtvFieldFile {
 public:
  RtvFieldFile() = default;
  ~RtvFieldFile();
  RtvFieldFile(const RtvFieldFile&) = delete;
  RtvFieldFile& operator=(const RtvFieldFile&) = delete;

  // Opens and checks the headers; false with the reason in `error`.
  bool Open(const std::string& path, std::string& error);

  std::uint32_t pixelsPerLine() const { return pixelsPerLine_; }  // of track 0
  std::uint32_t lines() const { return lines_; }                  // per field
  // Bytes of the smaller of the two field chunks of track 0.
  std::uint32_t smallerChunk() const {
    return chunkSize_[0] < chunkSize_[1] ? chunkSize_[0] : chunkSize_[1];
  }
  // Whole frames the file holds now (it is measured on every call, so a clip
  // still being written grows); a cut-off frame set does not count.
  std::uint64_t FrameCount() const;
  // Copies `bytes` of field `parity` (0 or 1) of frame `frame` into pixels.
  // False unless the file holds that field's whole chunk.
  bool ReadField(std::uint64_t frame, std::uint32_t parity, std::uint8_t* pixels,
                 std::uint32_t bytes) const;

 private:
  bool ReadHeaders(std::string& error);
  std::uint64_t FileSize() const;

  int fd_ = -1;
  std::uint32_t dataOffset_ = 0;
  std::uint32_t frameSetSize_ = 0;
  std::uint32_t pixelsPerLine_ = 0;
  std::uint32_t lines_ = 0;
  // Offset of each field's chunk within a frame set, and its size.
  std::uint64_t chunkOffset_[2] = {0, 0};
  std::uint32_t chunkSize_[2] = {0, 0};
};

}  // namespace quellor::board
