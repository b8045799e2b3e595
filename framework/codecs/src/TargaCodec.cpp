// Truevision Targa: colour-mapped (8-bit, 24-bit map entries), true colour
// (16, 24, 32-bit) and grey (8-bit) pictures, plain or run-length encoded,
// stored bottom-up or top-down. The system's skins and graticules are Targa
// files.
#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kBadDepth = 400;        // bits per pixel not 8, 16, 24 or 32
constexpr int kBadCompression = 401;  // image type unknown
constexpr int kBadMapEntry = 402;     // colour map entries not 24-bit

constexpr const char* kTexts[] = {
    "bits per pixel not 8, 16, 24 or 32",
    "unsupported compression type for bits per pixel",
    "color map entry size not 24 bits per pixel",
};

constexpr std::size_t kHeaderBytes = 18;
constexpr std::size_t kRunBufferBytes = 65536;  // below malloc's mmap threshold
constexpr std::uint8_t kTopDown = 0x20;         // descriptor bit 5

struct TargaHeader {
  std::uint8_t bytes[kHeaderBytes];

  unsigned IdLength() const { return bytes[0]; }
  bool HasMap() const { return bytes[1] != 0; }
  unsigned Type() const { return bytes[2]; }
  unsigned FirstEntry() const { return Le16(bytes + 3); }
  unsigned MapLength() const { return Le16(bytes + 5); }
  unsigned MapEntryBits() const { return bytes[7]; }
  unsigned Width() const { return Le16(bytes + 12); }
  unsigned Height() const { return Le16(bytes + 14); }
  unsigned Depth() const { return bytes[16]; }
  bool TopDown() const { return (bytes[17] & kTopDown) != 0; }
  bool RunLength() const { return Type() >= 9; }
};

int CheckHeader(const TargaHeader& header) {
  switch (header.Type()) {
    case 1:
    case 9:
      if (header.Depth() != 8) return kBadDepth;
      if (header.MapEntryBits() != 24) return kBadMapEntry;
      return kCodecOk;
    case 2:
    case 10:
      if (header.Depth() != 16 && header.Depth() != 24 && header.Depth() != 32) return kBadDepth;
      return kCodecOk;
    case 3:
    case 11:
      return header.Depth() == 8 ? kCodecOk : kBadDepth;
    default:
      return kBadCompression;
  }
}

int ReadHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions&) {
  TargaHeader& header = PrivateState<TargaHeader>(bitmap);
  if (!SeekTo(file, 0) || !ReadExact(file, header.bytes, kHeaderBytes)) return kCodecCannotRead;
  if (int code = CheckHeader(header)) return code;
  if (header.Width() == 0 || header.Height() == 0) return kCodecBadSize;
  bitmap.width = static_cast<int>(header.Width());
  bitmap.height = static_cast<int>(header.Height());
  // 16-bit pixels are delivered as 24-bit ones.
  bitmap.bitsPerPixel = header.Depth() == 16 ? 24 : static_cast<int>(header.Depth());
  return kCodecOk;
}

int ReadPalette(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* palette) {
  const TargaHeader& header = PrivateState<TargaHeader>(bitmap);
  const unsigned type = header.Type();
  if (type == 3 || type == 11) {
    for (unsigned i = 0; i < 256; ++i) {
      palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = static_cast<std::uint8_t>(i);
    }
    return kCodecOk;
  }
  if (type != 1 && type != 9) return kCodecOk;
  if (!SeekTo(file, kHeaderBytes + header.IdLength())) return kCodecCannotRead;
  std::memset(palette, 0, kPaletteBytes);
  // Entries are read one after the other; those the map places past entry
  // 255 have no place in the palette and are dropped.
  for (unsigned i = 0; i < header.MapLength(); ++i) {
    std::uint8_t bgr[3];
    if (!ReadExact(file, bgr, 3)) return kCodecCannotRead;
    const unsigned entry = header.FirstEntry() + i;
    if (entry > 255) continue;
    palette[3 * entry] = bgr[2];
    palette[3 * entry + 1] = bgr[1];
    palette[3 * entry + 2] = bgr[0];
  }
  return kCodecOk;
}

// Expands width 16-bit words at row + width into width 24-bit pixels at row.
// Left to right in place: pixel i's bytes end before word i + 1 begins.
void Expand16To24(std::uint8_t* row, std::size_t width) {
  const std::uint8_t* words = row + width;
  for (std::size_t i = 0; i < width; ++i) {
    const unsigned w = Le16(words + 2 * i);
    row[3 * i] = static_cast<std::uint8_t>((w & 31) * 8);
    row[3 * i + 1] = static_cast<std::uint8_t>(((w >> 5) & 31) * 8);
    row[3 * i + 2] = static_cast<std::uint8_t>(((w >> 10) & 31) * 8);
  }
}

// Where the file's rows go: file row r to data row r, or from the top down.
struct RowPlacement {
  std::uint8_t* data;
  std::size_t stride;
  int height;
  bool topDown;

  std::uint8_t* Row(int fileRow) const {
    const int y = topDown ? height - 1 - fileRow : fileRow;
    return data + stride * static_cast<std::size_t>(y);
  }
};

// The file's bytes of one row go here: 16-bit rows at byte offset width, to be
// expanded in place.
std::uint8_t* RowTarget(std::uint8_t* row, unsigned depth, std::size_t width) {
  return depth == 16 ? row + width : row;
}

int ReadPlainRows(std::FILE* file, const TargaHeader& header, const RowPlacement& rows) {
  const std::size_t width = header.Width();
  const std::size_t rowBytes = width * (header.Depth() / 8);
  if (header.Depth() != 16 && rowBytes == rows.stride) {
    // Rows without padding lie in the file as in the data: one read, then a
    // top-down picture's rows swapped top for bottom.
    if (!ReadExact(file, rows.data, rowBytes * rows.height)) return kCodecCannotRead;
    if (rows.topDown) {
      std::unique_ptr<std::uint8_t[]> swap(new (std::nothrow) std::uint8_t[rowBytes]);
      if (!swap) return kCodecOutOfMemory;
      for (int top = 0, bottom = rows.height - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* a = rows.data + rowBytes * top;
        std::uint8_t* b = rows.data + rowBytes * bottom;
        std::memcpy(swap.get(), a, rowBytes);
        std::memcpy(a, b, rowBytes);
        std::memcpy(b, swap.get(), rowBytes);
      }
    }
    return kCodecOk;
  }
  for (int r = 0; r < rows.height; ++r) {
    std::uint8_t* row = rows.Row(r);
    if (!ReadExact(file, RowTarget(row, header.Depth(), width), rowBytes)) {
      return kCodecCannotRead;
    }
    if (header.Depth() == 16) Expand16To24(row, width);
  }
  return kCodecOk;
}

// The file read through a fixed buffer.
class RunReader {
 public:
  explicit RunReader(std::FILE* file) : file_(file) {}
  bool Ok() const { return buffer_ != nullptr; }
  // False at the end of the file.
  bool Next(std::uint8_t& byte) {
    if (at_ == filled_ && !Refill()) return false;
    byte = buffer_[at_++];
    return true;
  }
  // The buffered bytes not yet taken, for decoding in place.
  const std::uint8_t* Data() const { return buffer_.get() + at_; }
  std::size_t Available() const { return filled_ - at_; }
  void Skip(std::size_t size) { at_ += size; }
  // Copies size bytes to out; false when the file ends first.
  bool Take(std::uint8_t* out, std::size_t size) {
    if (filled_ - at_ >= size) {  // the common case: all in the buffer
      std::memcpy(out, buffer_.get() + at_, size);
      at_ += size;
      return true;
    }
    while (size > 0) {
      if (at_ == filled_ && !Refill()) return false;
      const std::size_t part = std::min(size, filled_ - at_);
      std::memcpy(out, buffer_.get() + at_, part);
      at_ += part;
      out += part;
      size -= part;
    }
    return true;
  }

 private:
  bool Refill() {
    filled_ = std::fread(buffer_.get(), 1, kRunBufferBytes, file_);
    at_ = 0;
    return filled_ > 0;
  }
  std::FILE* file_;
  std::unique_ptr<std::uint8_t[]> buffer_{new (std::nothrow) std::uint8_t[kRunBufferBytes]};
  std::size_t filled_ = 0;
  std::size_t at_ = 0;
};

// count copies of a pixel of size bytes; fixed sizes let the copies inline.
template <std::size_t Size>
void FillFixed(std::uint8_t* out, const std::uint8_t* pixel, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) std::memcpy(out + i * Size, pixel, Size);
}

// 4-byte pixels, four at a time (the skins' runs).
template <>
inline void FillFixed<4>(std::uint8_t* out, const std::uint8_t* pixel, std::size_t count) {
  std::uint32_t word;
  std::memcpy(&word, pixel, 4);
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i four = _mm_set1_epi32(static_cast<int>(word));
  for (; i + 4 <= count; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4), four);
#endif
  for (; i < count; ++i) std::memcpy(out + i * 4, &word, 4);
}

void FillPixels(std::uint8_t* out, const std::uint8_t* pixel, std::size_t size, std::size_t count) {
  switch (size) {
    case 1:
      std::memset(out, pixel[0], count);
      break;
    case 2:
      FillFixed<2>(out, pixel, count);
      break;
    case 3:
      FillFixed<3>(out, pixel, count);
      break;
    default:
      FillFixed<4>(out, pixel, count);
      break;
  }
}

// Run packets of 4-byte pixels, one after another, while the buffer holds a
// whole packet and the row has room for eight pixels: the skins' common case,
// with its bounds checked once per packet. A run of at most eight is written
// as eight without a loop (the extra ones lie inside the row and are
// overwritten by the packets that follow). Stops at the first literal packet
// and at a run longer than the row's left pixels. Returns the bytes used;
// adds the pixels written to done. Kept out of line: inlined into the row
// loop it measured about 7% slower (registers spilled around the loop).
__attribute__((noinline)) std::size_t DecodeRunsOf4(const std::uint8_t* in, std::size_t size,
                                                    std::uint8_t* out, std::size_t left,
                                                    std::size_t& doneOut) {
  std::size_t used = 0;
#if defined(__SSE2__)
  // A local count: the stores below may alias anything, so a count kept
  // behind a reference would be reloaded after every one of them.
  std::size_t done = doneOut;
  constexpr std::size_t kPacket = 5;
  constexpr std::size_t kShort = 8;
  while (size - used >= kPacket && left - done >= kShort && (in[used] & 0x80) != 0) {
    const std::size_t count = in[used] - 127u;
    std::uint8_t* at = out + done * 4;
    std::uint32_t word;
    std::memcpy(&word, in + used + 1, 4);
    const __m128i four = _mm_set1_epi32(static_cast<int>(word));
    if (count > kShort) {
      if (count > left - done) break;
      FillFixed<4>(at, in + used + 1, count);
    } else {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(at), four);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(at + 16), four);
      // Ask for the lines a few packets ahead for writing: a skin is larger
      // than the core's own cache, and without this every new line stalls
      // the stores while it is fetched. (A prefetch past the end is harmless.)
      __builtin_prefetch(at + 1024, 1);
    }
    used += kPacket;
    done += count;
  }
  doneOut = done;
#else
  (void)in, (void)size, (void)out, (void)left, (void)doneOut;
#endif
  return used;
}

// Decodes whole packets from in (size bytes) into out while each lies in the
// buffer and ends within the row's left pixels: the common case, without the
// checks of a packet split across a row or a refill. Returns the bytes used;
// done counts the pixels written.
template <std::size_t PixelBytes>
std::size_t DecodeWithinRow(const std::uint8_t* in, std::size_t size, std::uint8_t* out,
                            std::size_t left, std::size_t& doneOut) {
  std::size_t used = 0;
  std::size_t done = 0;  // local, as in DecodeRunsOf4
  while (used < size) {
    if constexpr (PixelBytes == 4) {
      used += DecodeRunsOf4(in + used, size - used, out, left, done);
      if (used == size) break;
    }
    const std::uint8_t packet = in[used];
    std::uint8_t* at = out + done * PixelBytes;
    if (packet & 0x80) {
      const std::size_t count = packet - 127u;
      if (1 + PixelBytes > size - used || count > left - done) break;
      FillFixed<PixelBytes>(at, in + used + 1, count);
      used += 1 + PixelBytes;
      done += count;
    } else {
      const std::size_t count = packet + 1u;
      if (count > left - done || 1 + count * PixelBytes > size - used) break;
      std::memcpy(at, in + used + 1, count * PixelBytes);
      used += 1 + count * PixelBytes;
      done += count;
    }
  }
  doneOut = done;
  return used;
}

std::size_t DecodeWithinRow(const std::uint8_t* in, std::size_t size, std::uint8_t* out,
                            std::size_t left, std::size_t pixelBytes, std::size_t& done) {
  switch (pixelBytes) {
    case 1:
      return DecodeWithinRow<1>(in, size, out, left, done);
    case 2:
      return DecodeWithinRow<2>(in, size, out, left, done);
    case 3:
      return DecodeWithinRow<3>(in, size, out, left, done);
    default:
      return DecodeWithinRow<4>(in, size, out, left, done);
  }
}

// Packets run on across rows; a packet that runs past the last row is cut
// there.
int ReadRunLengthRows(std::FILE* file, const TargaHeader& header, const RowPlacement& rows) {
  RunReader reader(file);
  if (!reader.Ok()) return kCodecOutOfMemory;
  const std::size_t width = header.Width();
  const std::size_t pixelBytes = header.Depth() / 8;
  int r = 0;
  std::size_t x = 0;
  std::uint8_t* target = RowTarget(rows.Row(0), header.Depth(), width);
  // Ends a full row; true when the picture is complete.
  auto finishRow = [&]() {
    if (header.Depth() == 16) Expand16To24(rows.Row(r), width);
    x = 0;
    if (++r == rows.height) return true;
    target = RowTarget(rows.Row(r), header.Depth(), width);
    return false;
  };
  std::uint8_t pixel[4];
  while (r < rows.height) {
    std::size_t done = 0;
    reader.Skip(DecodeWithinRow(reader.Data(), reader.Available(), target + x * pixelBytes,
                                width - x, pixelBytes, done));
    x += done;
    if (x == width) {
      if (finishRow()) return kCodecOk;
      continue;
    }
    std::uint8_t packet = 0;
    if (!reader.Next(packet)) return kCodecCannotRead;
    const bool repeat = (packet & 0x80) != 0;
    std::size_t count = repeat ? packet - 127u : packet + 1u;
    if (repeat && !reader.Take(pixel, pixelBytes)) return kCodecCannotRead;
    while (count > 0) {
      const std::size_t part = std::min(count, width - x);
      std::uint8_t* out = target + x * pixelBytes;
      if (!repeat) {
        if (!reader.Take(out, part * pixelBytes)) return kCodecCannotRead;
      } else {
        FillPixels(out, pixel, pixelBytes, part);
      }
      x += part;
      count -= part;
      if (x == width && finishRow()) return kCodecOk;
    }
  }
  return kCodecOk;
}

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  const TargaHeader& header = PrivateState<TargaHeader>(bitmap);
  std::uint64_t offset = kHeaderBytes + header.IdLength();
  if (header.HasMap()) {
    const std::uint64_t entryBits = header.MapEntryBits() == 15 ? 16 : header.MapEntryBits();
    offset += entryBits * header.MapLength() / 8;
  }
  if (!SeekTo(file, offset)) return kCodecCannotRead;
  const RowPlacement rows{data,
                          static_cast<std::size_t>(RowStride(bitmap.width, bitmap.bitsPerPixel)),
                          bitmap.height, header.TopDown()};
  return header.RunLength() ? ReadRunLengthRows(file, header, rows)
                            : ReadPlainRows(file, header, rows);
}

// Options "16", "24", "32" choose the file's depth for a 24-bit picture;
// "yup" and "ydown" its row order. 0 for the depth when none is given.
int WriteDepth(const BitmapRecord& bitmap, const CodecOptions& options, int& depth) {
  const bool d16 = options.Has("16"), d24 = options.Has("24"), d32 = options.Has("32");
  if (options.Has("yup") && options.Has("ydown")) return kCodecBadOptions;
  if (bitmap.bitsPerPixel == 8) {
    if (d16 || d24 || d32) return kCodecBadOptions;
    depth = 8;
    return kCodecOk;
  }
  if ((d16 && (d24 || d32)) || (d24 && d32)) return kCodecBadOptions;
  depth = d16 ? 16 : d32 ? 32 : 24;
  return kCodecOk;
}

// One 24-bit row in the file's form at depth.
void ConvertRow(const std::uint8_t* row, std::size_t width, int depth, std::uint8_t* out) {
  for (std::size_t i = 0; i < width; ++i) {
    const std::uint8_t b = row[3 * i], g = row[3 * i + 1], r = row[3 * i + 2];
    if (depth == 16) {
      PutLe16(out + 2 * i, (b >> 3) | ((g & 248u) << 2) | ((r & 248u) << 7));
    } else {
      out[4 * i] = b;
      out[4 * i + 1] = g;
      out[4 * i + 2] = r;
      out[4 * i + 3] = 255;  // opaque: the reader takes the fourth byte as alpha
    }
  }
}

int Write(const char*, std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t* palette,
          const std::uint8_t* data, const CodecOptions& options) {
  int depth = 0;
  if (int code = WriteDepth(bitmap, options, depth)) return code;
  const bool ydown = options.Has("ydown");
  const bool mapped = depth == 8;
  std::uint8_t header[kHeaderBytes] = {};
  header[1] = mapped ? 1 : 0;
  header[2] = mapped ? 1 : 2;
  PutLe16(header + 5, mapped ? 256 : 0);
  header[7] = mapped ? 24 : 0;
  PutLe16(header + 12, static_cast<unsigned>(bitmap.width));
  PutLe16(header + 14, static_cast<unsigned>(bitmap.height));
  header[16] = static_cast<std::uint8_t>(depth);
  header[17] = ydown ? kTopDown : 0;
  if (bitmap.width > 0xFFFF || bitmap.height > 0xFFFF) return kCodecBadSize;
  if (!WriteExact(file, header, kHeaderBytes)) return kCodecCannotWrite;
  if (mapped) {
    std::uint8_t map[kPaletteBytes];
    for (unsigned i = 0; i < 256; ++i) {
      map[3 * i] = palette[3 * i + 2];
      map[3 * i + 1] = palette[3 * i + 1];
      map[3 * i + 2] = palette[3 * i];
    }
    if (!WriteExact(file, map, kPaletteBytes)) return kCodecCannotWrite;
  }
  const std::size_t width = static_cast<std::size_t>(bitmap.width);
  const std::size_t fileRowBytes = width * static_cast<std::size_t>(depth / 8);
  std::unique_ptr<std::uint8_t[]> converted;
  if (depth == 16 || depth == 32) {
    converted.reset(new (std::nothrow) std::uint8_t[fileRowBytes]);
    if (!converted) return kCodecOutOfMemory;
  }
  for (int i = 0; i < bitmap.height; ++i) {
    const int y = ydown ? bitmap.height - 1 - i : i;
    const std::uint8_t* row = DataRow(data, bitmap, y);
    if (converted) {
      ConvertRow(row, width, depth, converted.get());
      row = converted.get();
    }
    if (!WriteExact(file, row, fileRowBytes)) return kCodecCannotWrite;
  }
  return kCodecOk;
}

const char* ErrorText(int code) {
  return BlockText(code, 400, kTexts);
}

}  // namespace

constinit const Codec kTargaCodec = {
    {"Targa", "Truevision Targa/Vista bitmap", "TGA VST AFI", 0x19C},
    &ReadHeader,
    &ReadPalette,
    &ReadData,
    &Write,
    &ErrorText,
};

}  // namespace quellor::codecs
