#include "cliplib/clip/RtvFormat.h"

#include <bit>

namespace quellor::clip {
namespace {

std::uint16_t LoadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t LoadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void StoreU16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}
void StoreU32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

RtvFileHeader ReadRtvFileHeader(const std::uint8_t (&bytes)[kRtvFileHeaderSize]) {
  RtvFileHeader header{};
  header.magic = LoadU32(bytes + 0);
  header.type = LoadU32(bytes + 4);
  header.data_offset = LoadU32(bytes + 8);
  header.stream_count = LoadU32(bytes + 12);
  header.frame_set_size = LoadU32(bytes + 16);
  header.field_rate = std::bit_cast<float>(LoadU32(bytes + 20));
  return header;
}

void WriteRtvFileHeader(const RtvFileHeader& header, std::uint8_t (&bytes)[kRtvFileHeaderSize]) {
  StoreU32(bytes + 0, header.magic);
  StoreU32(bytes + 4, header.type);
  StoreU32(bytes + 8, header.data_offset);
  StoreU32(bytes + 12, header.stream_count);
  StoreU32(bytes + 16, header.frame_set_size);
  StoreU32(bytes + 20, std::bit_cast<std::uint32_t>(header.field_rate));
}

RtvStreamHeader ReadRtvStreamHeader(const std::uint8_t (&bytes)[kRtvStreamHeaderSize]) {
  RtvStreamHeader header{};
  header.kind = LoadU16(bytes + 0);
  header.subtype = LoadU16(bytes + 2);
  header.chunk_size = LoadU32(bytes + 4);
  header.raster_offset = LoadU32(bytes + 8);
  header.raster_line_length = LoadU32(bytes + 12);
  header.active_line_length = LoadU32(bytes + 16);
  header.lines = LoadU32(bytes + 20);
  return header;
}

void WriteRtvStreamHeader(const RtvStreamHeader& header,
                          std::uint8_t (&bytes)[kRtvStreamHeaderSize]) {
  StoreU16(bytes + 0, header.kind);
  StoreU16(bytes + 2, header.subtype);
  StoreU32(bytes + 4, header.chunk_size);
  StoreU32(bytes + 8, header.raster_offset);
  StoreU32(bytes + 12, header.raster_line_length);
  StoreU32(bytes + 16, header.active_line_length);
  StoreU32(bytes + 20, header.lines);
}

}  // namespace quellor::clip
