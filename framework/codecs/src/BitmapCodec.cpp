// Windows 3.0 and OS/2 1.1, 1.2 and 2.0 bitmaps: 1, 4, 8 and 24 bits a pixel,
// uncompressed or run-length encoded (RLE8, RLE4), bottom-up or (Windows,
// negative height) top-down, alone or in an OS/2 bitmap array ("BA", option
// "index=N" picks the N-th bitmap, from 0; the offsets inside each bitmap
// count from that bitmap's own file header). Writes Windows 3.0 bitmaps, or
// OS/2 1.1 ones with the option "os2".
#include <algorithm>
#include <vector>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kBadPlanes = 300;
constexpr int kBadBitCount = 301;
constexpr int kBadHeaderSize = 302;  // "cbFix": the size of the information header
constexpr int kBadCompression = 303;
constexpr int kTooFewBitmaps = 304;

constexpr const char* kTexts[] = {
    "number of bitmap planes is not 1",
    "bit count not 1, 4, 8 or 24",
    "cbFix bad",
    "compression type not uncompressed, RLE4 or RLE8",
    "less bitmaps in file than index requested",
};

constexpr std::uint32_t kUncompressed = 0, kRle8 = 1, kRle4 = 2;
constexpr std::size_t kFileHeaderBytes = 14;

struct BitmapState {
  std::uint64_t dataOffset;
  std::uint64_t paletteOffset;
  std::uint32_t compression;
  std::uint32_t paletteEntries;     // entries in the file, at most 256 used
  std::uint32_t paletteEntryBytes;  // 3 (OS/2 1.x) or 4
  bool topDown;
};

// Follows an OS/2 bitmap array to its index-th bitmap; returns the offset of
// that bitmap's file header.
int FindBitmap(std::FILE* file, int index, std::uint64_t& offset) {
  offset = 0;
  for (int i = 0;; ++i) {
    std::uint8_t head[kFileHeaderBytes];
    if (!SeekTo(file, offset) || !ReadExact(file, head, sizeof head)) return kCodecCannotRead;
    if (head[0] != 'B' || head[1] != 'A') {
      if (i == 0 && index == 0) return kCodecOk;  // a plain bitmap file
      if (i == 0) return kTooFewBitmaps;
      return kCodecBadMagic;
    }
    if (i == index) {
      offset += kFileHeaderBytes;
      return kCodecOk;
    }
    const std::uint32_t next = Le32(head + 6);
    if (next == 0 || next <= offset) return kTooFewBitmaps;  // the last, or a loop
    offset = next;
  }
}

int ReadInfo(std::FILE* file, std::uint64_t start, BitmapRecord& bitmap) {
  BitmapState& state = PrivateState<BitmapState>(bitmap);
  std::uint8_t head[kFileHeaderBytes + 64] = {};
  if (!SeekTo(file, start) || !ReadExact(file, head, kFileHeaderBytes + 4)) return kCodecCannotRead;
  if (head[0] != 'B' || head[1] != 'M') return kCodecBadMagic;
  const std::uint32_t infoSize = Le32(head + kFileHeaderBytes);
  if (infoSize != 12 && (infoSize < 16 || infoSize > 64)) return kBadHeaderSize;
  if (!ReadExact(file, head + kFileHeaderBytes + 4, infoSize - 4)) return kCodecCannotRead;
  const std::uint8_t* info = head + kFileHeaderBytes;
  long long width = 0, height = 0;
  unsigned planes = 0, bits = 0;
  state.compression = kUncompressed;
  state.paletteEntries = 0;
  if (infoSize == 12) {  // OS/2 1.x core header
    width = Le16(info + 4);
    height = Le16(info + 6);
    planes = Le16(info + 8);
    bits = Le16(info + 10);
    state.paletteEntryBytes = 3;
  } else {
    width = static_cast<std::int32_t>(Le32(info + 4));
    height = static_cast<std::int32_t>(Le32(info + 8));
    planes = Le16(info + 12);
    bits = Le16(info + 14);
    if (infoSize >= 20) state.compression = Le32(info + 16);
    if (infoSize >= 36) state.paletteEntries = Le32(info + 32);
    state.paletteEntryBytes = 4;
  }
  if (planes != 1) return kBadPlanes;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return kBadBitCount;
  const bool rleFits =
      (state.compression == kRle8 && bits == 8) || (state.compression == kRle4 && bits == 4);
  if (state.compression != kUncompressed && !rleFits) return kBadCompression;
  state.topDown = height < 0;
  if (state.topDown) {
    if (state.compression != kUncompressed) return kBadCompression;  // RLE is bottom-up only
    height = -height;
  }
  if (bits <= 8 && (state.paletteEntries == 0 || state.paletteEntries > 256)) {
    state.paletteEntries = 1u << bits;
  }
  state.paletteOffset = start + kFileHeaderBytes + infoSize;
  state.dataOffset = start + Le32(head + 10);
  bitmap.width = static_cast<int>(std::min<long long>(width, 0x7FFFFFFF));
  bitmap.height = static_cast<int>(std::min<long long>(height, 0x7FFFFFFF));
  bitmap.bitsPerPixel = static_cast<int>(bits);
  return CheckPictureSize(width, height, static_cast<int>(bits));
}

int ReadHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions& options) {
  std::optional<int> index = options.Number("index=", 0);
  if (!index) return kCodecBadOptions;
  std::uint64_t start = 0;
  if (int code = FindBitmap(file, *index, start)) return code;
  return ReadInfo(file, start, bitmap);
}

int ReadPalette(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* palette) {
  const BitmapState& state = PrivateState<BitmapState>(bitmap);
  if (bitmap.bitsPerPixel > 8) return kCodecOk;
  std::memset(palette, 0, kPaletteBytes);
  if (!SeekTo(file, state.paletteOffset)) return kCodecCannotRead;
  std::uint8_t entry[4];
  for (std::uint32_t i = 0; i < state.paletteEntries; ++i) {
    if (!ReadExact(file, entry, state.paletteEntryBytes)) return kCodecCannotRead;
    palette[3 * i] = entry[2];
    palette[3 * i + 1] = entry[1];
    palette[3 * i + 2] = entry[0];
  }
  return kCodecOk;
}

// Run-length data: runs and literal strings of pixels, end-of-line,
// end-of-bitmap and delta escapes. Pixels that fall outside the picture are
// dropped; the data ends at the end-of-bitmap escape or the last row.
int DecodeRunLength(std::FILE* file, const BitmapRecord& bitmap, bool fourBit, std::uint8_t* data) {
  const int width = bitmap.width, height = bitmap.height;
  const int bits = bitmap.bitsPerPixel;
  long long x = 0;
  int y = 0;
  auto put = [&](unsigned value) {
    if (x < width && y < height) SetIndexAt(DataRow(data, bitmap, y), bits, x, value);
    ++x;
  };
  auto next = [&](std::uint8_t& byte) { return ReadExact(file, &byte, 1); };
  while (y < height) {
    std::uint8_t count = 0, value = 0;
    if (!next(count) || !next(value)) return kCodecCannotRead;
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i) {
        put(fourBit ? ((i & 1) ? value & 0x0F : value >> 4) : value);
      }
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return kCodecOk;
    } else if (value == 2) {  // delta
      std::uint8_t dx = 0, dy = 0;
      if (!next(dx) || !next(dy)) return kCodecCannotRead;
      x += dx;
      y += dy;
    } else {  // literal pixels, padded to a 16-bit boundary
      const unsigned bytes = fourBit ? (value + 1u) / 2 : value;
      std::uint8_t literal[256];
      if (!ReadExact(file, literal, bytes + (bytes & 1))) return kCodecCannotRead;
      for (unsigned i = 0; i < value; ++i) {
        put(fourBit ? ((i & 1) ? literal[i / 2] & 0x0F : literal[i / 2] >> 4) : literal[i]);
      }
    }
  }
  return kCodecOk;
}

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  const BitmapState& state = PrivateState<BitmapState>(bitmap);
  if (!SeekTo(file, state.dataOffset)) return kCodecCannotRead;
  if (state.compression != kUncompressed) {
    std::memset(data, 0, ImageDataSize(bitmap));
    return DecodeRunLength(file, bitmap, state.compression == kRle4, data);
  }
  const std::size_t stride = static_cast<std::size_t>(RowStride(bitmap.width, bitmap.bitsPerPixel));
  for (int i = 0; i < bitmap.height; ++i) {
    const int y = state.topDown ? bitmap.height - 1 - i : i;
    if (!ReadExact(file, DataRow(data, bitmap, y), stride)) return kCodecCannotRead;
  }
  return kCodecOk;
}

int Write(const char*, std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t* palette,
          const std::uint8_t* data, const CodecOptions& options) {
  const bool os2 = options.Has("os2");
  if (os2 && (bitmap.width > 0xFFFF || bitmap.height > 0xFFFF)) return kCodecBadSize;
  const unsigned bits = static_cast<unsigned>(bitmap.bitsPerPixel);
  const std::uint32_t entries = bits <= 8 ? 1u << bits : 0;
  const std::uint32_t infoSize = os2 ? 12 : 40;
  const std::uint32_t entryBytes = os2 ? 3 : 4;
  const std::uint32_t dataOffset = kFileHeaderBytes + infoSize + entries * entryBytes;
  const std::uint64_t dataBytes = ImageDataSize(bitmap);
  std::uint8_t head[kFileHeaderBytes + 40] = {'B', 'M'};
  PutLe32(head + 2, static_cast<std::uint32_t>(dataOffset + dataBytes));
  PutLe32(head + 10, dataOffset);
  std::uint8_t* info = head + kFileHeaderBytes;
  PutLe32(info, infoSize);
  if (os2) {
    PutLe16(info + 4, static_cast<unsigned>(bitmap.width));
    PutLe16(info + 6, static_cast<unsigned>(bitmap.height));
    PutLe16(info + 8, 1);
    PutLe16(info + 10, bits);
  } else {
    PutLe32(info + 4, static_cast<std::uint32_t>(bitmap.width));
    PutLe32(info + 8, static_cast<std::uint32_t>(bitmap.height));
    PutLe16(info + 12, 1);
    PutLe16(info + 14, bits);
    PutLe32(info + 20, static_cast<std::uint32_t>(dataBytes));
    PutLe32(info + 32, entries);
  }
  if (!WriteExact(file, head, kFileHeaderBytes + infoSize)) return kCodecCannotWrite;
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::uint8_t entry[4] = {palette[3 * i + 2], palette[3 * i + 1], palette[3 * i], 0};
    if (!WriteExact(file, entry, entryBytes)) return kCodecCannotWrite;
  }
  return WriteExact(file, data, dataBytes) ? kCodecOk : kCodecCannotWrite;
}

const char* ErrorText(int code) {
  return BlockText(code, 300, kTexts);
}

}  // namespace

constinit const Codec kBitmapCodec = {
    {"Bitmap", "OS/2 1.1, 1.2, 2.0 / Windows 3.0 bitmap", "BMP VGA BGA RLE DIB RL4 RL8", 0x1EF},
    &ReadHeader,
    &ReadPalette,
    &ReadData,
    &Write,
    &ErrorText,
};

}  // namespace quellor::codecs
