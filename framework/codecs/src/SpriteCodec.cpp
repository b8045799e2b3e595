// RISC OS sprite files: a sprite area without its first word (count of
// sprites, offset of the first, offset of the free space; offsets count from
// four bytes before the file's start), then sprites of 1, 2, 4 or 8 bits a
// pixel, with or without a palette, rows top-down in 32-bit words, the
// leftmost pixel in a byte's lowest bits. "index=N" picks the N-th sprite
// (from 0). 2-bit sprites are read as 4-bit pictures. Writes one sprite:
// 1 bit (mode 25) and 4 bits (mode 27) with 2 and 16-entry palettes, 8 bits
// as a new-format sprite with a 256-entry palette.
#include <vector>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kBadFirstBit = 1400;
constexpr int kUnknownMode = 1401;
constexpr int kTooFewSprites = 1402;
constexpr int kBadPaletteEntries = 1403;

constexpr const char* kTexts[] = {
    "sprite has first bit that is not a multiple of 8",
    "sprite defined in unknown mode",
    "less sprites in file than index requested",
    "8 bit file does not have 0, 16 or 64 palette entries in it",
};

constexpr std::size_t kAreaBytes = 12;    // the area header as stored
constexpr std::size_t kSpriteBytes = 44;  // a sprite's header

struct SpriteState {
  std::uint64_t imageOffset;  // in the file
  std::uint32_t rowBytes;
  std::uint32_t firstBit;
  unsigned bits;  // of the sprite: 1, 2, 4 or 8
  std::uint8_t palette[kPaletteBytes];
};

unsigned BitsOfMode(std::uint32_t mode) {
  if (mode >= 256) {  // a new-format mode word: type in bits 27 to 30
    switch ((mode >> 27) & 15) {
      case 1:
        return 1;
      case 2:
        return 2;
      case 3:
        return 4;
      case 4:
        return 8;
      default:
        return 0;
    }
  }
  switch (mode) {
    case 0:
    case 4:
    case 18:
    case 23:
    case 25:
      return 1;
    case 1:
    case 5:
    case 8:
    case 11:
    case 19:
    case 26:
      return 2;
    case 2:
    case 9:
    case 12:
    case 16:
    case 20:
    case 27:
      return 4;
    case 10:
    case 13:
    case 15:
    case 21:
    case 24:
    case 28:
      return 8;
    default:
      return 0;
  }
}

// The desktop's palettes for sprites without their own.
void DefaultPalette(unsigned bits, std::uint8_t* palette) {
  const unsigned entries = 1u << bits;
  for (unsigned i = 0; i < entries; ++i) {
    std::uint8_t* rgb = palette + 3 * i;
    if (bits == 8) {  // tint in bits 0-1; red 2 and 4, blue 3 and 7, green 5 and 6
      const unsigned tint = i & 3;
      rgb[0] =
          static_cast<std::uint8_t>(((((i >> 4) & 1) << 3) | (((i >> 2) & 1) << 2) | tint) * 17);
      rgb[1] =
          static_cast<std::uint8_t>(((((i >> 6) & 1) << 3) | (((i >> 5) & 1) << 2) | tint) * 17);
      rgb[2] =
          static_cast<std::uint8_t>(((((i >> 7) & 1) << 3) | (((i >> 3) & 1) << 2) | tint) * 17);
    } else {  // grey ramps from white down to black
      rgb[0] = rgb[1] = rgb[2] = static_cast<std::uint8_t>(255 - i * 255 / (entries - 1));
    }
  }
}

int FindSprite(std::FILE* file, int index, std::uint64_t& at) {
  std::uint8_t area[kAreaBytes];
  if (!SeekTo(file, 0) || !ReadExact(file, area, kAreaBytes)) return kCodecCannotRead;
  const std::uint32_t count = Le32(area);
  if (static_cast<std::uint32_t>(index) >= count) return kTooFewSprites;
  if (Le32(area + 4) < 4) return kCodecBadMagic;
  at = Le32(area + 4) - 4;
  for (int i = 0; i < index; ++i) {
    std::uint8_t next[4];
    if (!SeekTo(file, at) || !ReadExact(file, next, 4)) return kCodecCannotRead;
    if (Le32(next) < kSpriteBytes) return kCodecBadMagic;  // no progress
    at += Le32(next);
  }
  return kCodecOk;
}

int ReadHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions& options) {
  std::optional<int> index = options.Number("index=", 0);
  if (!index) return kCodecBadOptions;
  std::uint64_t at = 0;
  if (int code = FindSprite(file, *index, at)) return code;
  std::uint8_t h[kSpriteBytes];
  if (!SeekTo(file, at) || !ReadExact(file, h, kSpriteBytes)) return kCodecCannotRead;
  SpriteState& state = PrivateState<SpriteState>(bitmap);
  state.bits = BitsOfMode(Le32(h + 40));
  if (state.bits == 0) return kUnknownMode;
  const std::uint64_t words = std::uint64_t{Le32(h + 16)} + 1;
  const std::uint64_t lines = std::uint64_t{Le32(h + 20)} + 1;
  state.firstBit = Le32(h + 24);
  const std::uint32_t lastBit = Le32(h + 28);
  if (state.firstBit % 8 != 0 || state.firstBit > 31) return kBadFirstBit;
  if (lastBit > 31 || words > 0x7FFFFFFF / 32) return kCodecBadSize;
  const long long usedBits = static_cast<long long>(words * 32) - state.firstBit - (31 - lastBit);
  const long long width = usedBits / static_cast<long long>(state.bits);
  const int depth = state.bits == 2 ? 4 : static_cast<int>(state.bits);
  if (int code = CheckPictureSize(
          width, static_cast<long long>(std::min<std::uint64_t>(lines, 1ull << 40)), depth)) {
    return code;
  }
  state.rowBytes = static_cast<std::uint32_t>(words * 4);
  state.imageOffset = at + Le32(h + 32);
  // The palette: pairs of words 0xBBGGRR00 between the header and the image.
  DefaultPalette(state.bits, state.palette);
  const std::uint32_t imageAt = Le32(h + 32);
  const std::uint32_t entries = imageAt > kSpriteBytes ? (imageAt - kSpriteBytes) / 8 : 0;
  if (state.bits == 8 && entries != 0 && entries != 16 && entries != 64 && entries != 256) {
    return kBadPaletteEntries;
  }
  for (std::uint32_t i = 0; i < std::min<std::uint32_t>(entries, 1u << state.bits); ++i) {
    std::uint8_t pair[8];
    if (!ReadExact(file, pair, 8)) return kCodecCannotRead;
    state.palette[3 * i] = pair[1];
    state.palette[3 * i + 1] = pair[2];
    state.palette[3 * i + 2] = pair[3];
  }
  bitmap.width = static_cast<int>(width);
  bitmap.height = static_cast<int>(lines);
  bitmap.bitsPerPixel = depth;
  return kCodecOk;
}

int ReadPalette(std::FILE*, BitmapRecord& bitmap, std::uint8_t* palette) {
  std::memset(palette, 0, kPaletteBytes);
  const SpriteState& state = PrivateState<SpriteState>(bitmap);
  std::memcpy(palette, state.palette, 3u << state.bits);
  return kCodecOk;
}

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  const SpriteState& state = PrivateState<SpriteState>(bitmap);
  if (!SeekTo(file, state.imageOffset)) return kCodecCannotRead;
  std::vector<std::uint8_t> line(state.rowBytes);
  const std::size_t first = state.firstBit / state.bits;  // pixels skipped on the left
  const unsigned mask = (1u << state.bits) - 1;
  for (int y = bitmap.height - 1; y >= 0; --y) {
    if (!ReadExact(file, line.data(), line.size())) return kCodecCannotRead;
    std::uint8_t* row = DataRow(data, bitmap, y);
    for (std::size_t x = 0; x < static_cast<std::size_t>(bitmap.width); ++x) {
      const std::size_t bit = (first + x) * state.bits;
      SetIndexAt(row, bitmap.bitsPerPixel, x, (line[bit / 8] >> (bit % 8)) & mask);
    }
  }
  return kCodecOk;
}

int Write(const char*, std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t* palette,
          const std::uint8_t* data, const CodecOptions&) {
  const unsigned bits = static_cast<unsigned>(bitmap.bitsPerPixel);
  const std::uint64_t rowBits = static_cast<std::uint64_t>(bitmap.width) * bits;
  const std::uint32_t words = static_cast<std::uint32_t>((rowBits + 31) / 32);
  const std::uint32_t entries = 1u << bits;
  const std::uint32_t imageAt = static_cast<std::uint32_t>(kSpriteBytes + 8 * entries);
  const std::uint64_t spriteSize = imageAt + std::uint64_t{words} * 4 * bitmap.height;
  if (spriteSize > 0x7FFFFFFF) return kCodecBadSize;
  std::uint8_t area[kAreaBytes];
  PutLe32(area, 1);
  PutLe32(area + 4, 16);
  PutLe32(area + 8, static_cast<std::uint32_t>(16 + spriteSize));
  std::uint8_t h[kSpriteBytes] = {};
  PutLe32(h, static_cast<std::uint32_t>(spriteSize));
  std::memcpy(h + 4, "picture", 7);
  PutLe32(h + 16, words - 1);
  PutLe32(h + 20, static_cast<std::uint32_t>(bitmap.height - 1));
  PutLe32(h + 28, static_cast<std::uint32_t>((rowBits - 1) % 32));
  PutLe32(h + 32, imageAt);
  PutLe32(h + 36, imageAt);
  PutLe32(h + 40, bits == 1 ? 25u : bits == 4 ? 27u : (4u << 27) | (90u << 14) | (90u << 1) | 1u);
  if (!WriteExact(file, area, kAreaBytes) || !WriteExact(file, h, kSpriteBytes))
    return kCodecCannotWrite;
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::uint8_t* rgb = palette + 3 * i;
    const std::uint8_t pair[8] = {0, rgb[0], rgb[1], rgb[2], 0, rgb[0], rgb[1], rgb[2]};
    if (!WriteExact(file, pair, 8)) return kCodecCannotWrite;
  }
  std::vector<std::uint8_t> line(std::size_t{words} * 4);
  for (int y = bitmap.height - 1; y >= 0; --y) {
    const std::uint8_t* row = DataRow(data, bitmap, y);
    std::fill(line.begin(), line.end(), 0);
    for (std::size_t x = 0; x < static_cast<std::size_t>(bitmap.width); ++x) {
      const std::size_t bit = x * bits;
      line[bit / 8] = static_cast<std::uint8_t>(
          line[bit / 8] | (IndexAt(row, static_cast<int>(bits), x) << (bit % 8)));
    }
    if (!WriteExact(file, line.data(), line.size())) return kCodecCannotWrite;
  }
  return kCodecOk;
}

const char* ErrorText(int code) {
  return BlockText(code, 1400, kTexts);
}

}  // namespace

constinit const Codec kSpriteCodec = {
    {"Sprite", "Archimedes Sprite from RiscOS", "SPR SPRITE", 0xE7},
    &ReadHeader,
    &ReadPalette,
    &ReadData,
    &Write,
    &ErrorText,
};

}  // namespace quellor::codecs
