// The RTV clip file layout ("RTV File Sequence", ".rtv"): a 24-byte file
// header, one 24-byte stream header per stream, then frame sets from the data
// offset on, each holding one chunk (one field) of every stream. All numbers
// are little-endian. Chunks are whole 512-byte sectors so the file streams
// without system buffering.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quellor::clip {

inline constexpr std::uint32_t kRtvMagic = 0x52544D46;  // the bytes "FMTR"
inline constexpr std::uint32_t kRtvType = 1;
inline constexpr std::uint32_t kRtvDataOffset = 512;
inline constexpr std::uint32_t kRtvSectorSize = 512;
inline constexpr std::size_t kRtvFileHeaderSize = 24;
inline constexpr std::size_t kRtvStreamHeaderSize = 24;

enum RtvStreamKind : std::uint16_t {
  kRtvStreamInvalid = 0,
  kRtvStreamVideo = 1,
  kRtvStreamAudio = 2,
};
inline constexpr std::uint16_t kRtvVideoSubtypeYCbCr422 = 8;

struct RtvFileHeader {
  std::uint32_t magic;           // offset 0: kRtvMagic
  std::uint32_t type;            // offset 4: 1
  std::uint32_t data_offset;     // offset 8: first frame set, 512 as written
  std::uint32_t stream_count;    // offset 12
  std::uint32_t frame_set_size;  // offset 16: bytes from one frame to the next
  float field_rate;              // offset 20: fields per second, 0 = not given
};
static_assert(sizeof(RtvFileHeader) == kRtvFileHeaderSize);
static_assert(offsetof(RtvFileHeader, magic) == 0);
static_assert(offsetof(RtvFileHeader, type) == 4);
static_assert(offsetof(RtvFileHeader, data_offset) == 8);
static_assert(offsetof(RtvFileHeader, stream_count) == 12);
static_assert(offsetof(RtvFileHeader, frame_set_size) == 16);
static_assert(offsetof(RtvFileHeader, field_rate) == 20);

struct RtvStreamHeader {
  std::uint16_t kind;                // offset 0: RtvStreamKind
  std::uint16_t subtype;             // offset 2: 8 for video
  std::uint32_t chunk_size;          // offset 4: a multiple of 512
  std::uint32_t raster_offset;       // offset 8: first active sample in the full raster
  std::uint32_t raster_line_length;  // offset 12: 1716 (525 lines) or 1728 (625 lines)
  std::uint32_t active_line_length;  // offset 16: bytes per stored line (pixels x 2)
  std::uint32_t lines;               // offset 20: stored lines per field
};
static_assert(sizeof(RtvStreamHeader) == kRtvStreamHeaderSize);
static_assert(offsetof(RtvStreamHeader, kind) == 0);
static_assert(offsetof(RtvStreamHeader, subtype) == 2);
static_assert(offsetof(RtvStreamHeader, chunk_size) == 4);
static_assert(offsetof(RtvStreamHeader, raster_offset) == 8);
static_assert(offsetof(RtvStreamHeader, raster_line_length) == 12);
static_assert(offsetof(RtvStreamHeader, active_line_length) == 16);
static_assert(offsetof(RtvStreamHeader, lines) == 20);

// Raster values written for the two streams of a track.
struct RtvRasterStandard {
  std::uint32_t lines_per_field;
  std::uint32_t raster_line_length;
  std::uint32_t first_field_raster_offset;
  std::uint32_t second_field_raster_offset;
};
inline constexpr RtvRasterStandard kRtvNtscRaster = {240, 1716, 34596, 485904};
inline constexpr RtvRasterStandard kRtvPalRaster = {288, 1728, 38304, 579168};

// PAL for more than 240 lines per field, else NTSC.
constexpr const RtvRasterStandard& RtvRasterFor(std::uint32_t lines_per_field) {
  return lines_per_field > 240 ? kRtvPalRaster : kRtvNtscRaster;
}

// Field rates: what a reader assumes when the header gives none, by the raster
// line length of the last video stream.
inline constexpr float kRtvNtscFieldRate = 59.94f;
inline constexpr float kRtvPalFieldRate = 50.0f;

// Little-endian (de)serialisation of the records, independent of the host's
// byte order and of structure padding.
RtvFileHeader ReadRtvFileHeader(const std::uint8_t (&bytes)[kRtvFileHeaderSize]);
void WriteRtvFileHeader(const RtvFileHeader& header, std::uint8_t (&bytes)[kRtvFileHeaderSize]);
RtvStreamHeader ReadRtvStreamHeader(const std::uint8_t (&bytes)[kRtvStreamHeaderSize]);
void WriteRtvStreamHeader(const RtvStreamHeader& header,
                          std::uint8_t (&bytes)[kRtvStreamHeaderSize]);

}  // namespace quellor::clip
