#include "ClipInput.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace quellor::fuzz {
namespace {

std::uint32_t Load32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

void Store32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Store16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint32_t FloatBits(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

template <typename T, std::size_t N>
T Pick(const T (&choices)[N], std::mt19937& random) {
  return choices[random() % N];
}

// Offsets inside the file part of the input.
constexpr std::size_t kFileHeader = 24;
constexpr std::size_t kStreamHeader = 24;

const std::uint32_t kStreamCounts[] = {1, 2, 3, 4, 6, 20, 1024, 1025, 70000, 0xFFFFFFFFu};
const std::uint32_t kOffsets[] = {0, 24, 48, 511, 512, 513, 1024, 4096, 0xFFFFFE00u};
const std::uint32_t kChunkSizes[] = {0, 512, 1024, 1536, 2048, 4096, 345600, 414720, 0xFFFFFE00u};
const std::uint32_t kLineLengths[] = {0, 2, 4, 16, 32, 64, 1440, 0x7FFFFFFEu, 0xFFFFFFFEu};
const std::uint32_t kLines[] = {0, 1, 2, 4, 8, 16, 240, 288, 0x10000, 0xFFFFFFFFu};
const std::uint32_t kRasterLengths[] = {1716, 1728, 0, 1};
const std::uint16_t kKinds[] = {0, 1, 1, 1, 2, 3};
const std::uint16_t kSubtypes[] = {8, 8, 8, 0, 9};
const float kRates[] = {0.0f,
                        59.94f,
                        50.0f,
                        59.940052f,
                        1.0e-9f,
                        -1.0f,
                        3.4e38f,
                        std::numeric_limits<float>::quiet_NaN(),
                        std::numeric_limits<float>::infinity(),
                        -std::numeric_limits<float>::infinity()};

// Writes a clip of `tracks` video tracks whose frames are consistent and
// small: `pixels` x `lines` per field, `frames` whole frames in the tail.
std::size_t WriteSmallClip(std::uint8_t* data, std::size_t max_size, std::mt19937& random) {
  const std::uint32_t tracks = 1 + random() % 3;
  const std::uint32_t pixels = 2 * (1 + random() % 16);
  const std::uint32_t lines = 1 + random() % 16;
  const std::uint32_t chunk = (pixels * lines * 2 + 511) / 512 * 512;
  const std::uint32_t streams = 2 * tracks;
  const std::uint32_t frames = random() % 5;
  const std::size_t header_bytes = kFileHeader + kStreamHeader * streams;
  if (kPrefixSize + header_bytes > max_size) return 0;
  std::uint8_t* file = data + kPrefixSize;
  std::memset(file, 0, header_bytes);
  std::memcpy(file, "FMTR", 4);
  Store32(file + 4, 1);
  Store32(file + 8, 512);
  Store32(file + 12, streams);
  Store32(file + 16, chunk * streams);
  Store32(file + 20, FloatBits(random() % 2 ? 59.940052f : 0.0f));
  for (std::uint32_t i = 0; i < streams; ++i) {
    std::uint8_t* stream = file + kFileHeader + kStreamHeader * i;
    Store16(stream, 1);
    Store16(stream + 2, 8);
    Store32(stream + 4, chunk);
    Store32(stream + 12, random() % 2 ? 1716 : 1728);
    Store32(stream + 16, pixels * 2);
    Store32(stream + 20, lines);
  }
  // The frames are zeros of the tail, from the end of the headers on.
  const std::uint64_t tail = 512 - header_bytes + std::uint64_t{chunk} * streams * frames;
  Store32(data + 2, 0);
  Store32(data + 6, static_cast<std::uint32_t>(std::min<std::uint64_t>(tail, kMostZeroTail)));
  return kPrefixSize + header_bytes;
}

}  // namespace

bool SplitInput(const std::uint8_t* data, std::size_t size, ClipInput* input) {
  if (size < kPrefixSize) return false;
  input->command = data[0];
  input->frame = data[1];
  input->stream_copies = std::min(Load32(data + 2), kMostStreamCopies);
  input->zero_tail = std::min(Load32(data + 6), kMostZeroTail);
  input->file = data + kPrefixSize;
  input->file_size = size - kPrefixSize;
  return true;
}

std::vector<std::uint8_t> ExpandFile(const ClipInput& input) {
  std::vector<std::uint8_t> file;
  const std::uint8_t* bytes = input.file;
  const std::size_t size = input.file_size;
  const std::size_t first_stream_end = kFileHeader + kStreamHeader;
  const std::size_t copies = size >= first_stream_end ? input.stream_copies : 0;
  file.reserve(size + copies * kStreamHeader + input.zero_tail);
  file.insert(file.end(), bytes, bytes + std::min(size, first_stream_end));
  for (std::size_t i = 0; i < copies; ++i) {
    file.insert(file.end(), bytes + kFileHeader, bytes + first_stream_end);
  }
  if (size > first_stream_end) file.insert(file.end(), bytes + first_stream_end, bytes + size);
  file.resize(file.size() + input.zero_tail, 0);
  return file;
}

std::size_t MutateClipInput(std::uint8_t* data, std::size_t size, std::size_t max_size,
                            std::mt19937& random) {
  if (size < kPrefixSize + kFileHeader || random() % 8 == 0) {
    return WriteSmallClip(data, max_size, random);
  }
  std::uint8_t* file = data + kPrefixSize;
  const std::size_t file_size = size - kPrefixSize;
  const std::size_t streams_here = (file_size - kFileHeader) / kStreamHeader;
  switch (random() % 6) {
    case 0:  // the prefix
      data[0] = static_cast<std::uint8_t>(random());
      data[1] = static_cast<std::uint8_t>(random() % 8);
      Store32(data + 2, random() % 3 == 0 ? Pick(kStreamCounts, random) % 70000 : 0);
      Store32(data + 6,
              random() % 8 ? 512 * (random() % 64) : static_cast<std::uint32_t>(random()));
      break;
    case 1:  // the file header's counts and offsets
      Store32(file + 8 + 4 * (random() % 3),
              random() % 2 ? Pick(kOffsets, random) : Pick(kStreamCounts, random));
      break;
    case 2:
      Store32(file + 20, FloatBits(Pick(kRates, random)));
      break;
    default: {  // one stream header's field
      if (streams_here == 0) return WriteSmallClip(data, max_size, random);
      std::uint8_t* stream = file + kFileHeader + kStreamHeader * (random() % streams_here);
      switch (random() % 7) {
        case 0:
          Store16(stream, Pick(kKinds, random));
          break;
        case 1:
          Store16(stream + 2, Pick(kSubtypes, random));
          break;
        case 2:
          Store32(stream + 4, Pick(kChunkSizes, random));
          break;
        case 3:
          Store32(stream + 8, static_cast<std::uint32_t>(random()));
          break;
        case 4:
          Store32(stream + 12, Pick(kRasterLengths, random));
          break;
        case 5:
          Store32(stream + 16, Pick(kLineLengths, random));
          break;
        default:
          Store32(stream + 20, Pick(kLines, random));
      }
    }
  }
  return size;
}

}  // namespace quellor::fuzz
