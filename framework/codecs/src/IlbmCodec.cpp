// Amiga IFF interleaved bitmaps: a "FORM" of type "ILBM" with a BMHD header,
// a CMAP palette and a BODY of bit planes interleaved row by row,
// uncompressed or ByteRun1. 1 to 8 planes are read as 1, 4 or 8-bit indices
// (a mask plane is skipped), 24 planes as 24-bit colour (red planes first).
// Writes 1, 4, 8 or 24 planes, ByteRun1 unless the option "uncompressed".
#include <vector>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kNoForm = 900;
constexpr int kNoIlbm = 901;
constexpr int kManyHeaders = 902;
constexpr int kNoHeader = 903;
constexpr int kBadHeaderSize = 904;
constexpr int kBadDepth = 905;
constexpr int kBadMapSize = 906;
constexpr int kBadCompression = 907;
constexpr int kBadCamgSize = 908;
constexpr int kBadShamVersion = 909;

constexpr const char* kTexts[] = {
    "no FORM signiture",
    "no ILBM signiture",
    "multiple BMHD bitmap headers",
    "no BMHD bitmap header",
    "bad size of BMHD bitmap header",
    "unsupported/bad bits per pixel",
    "CMAP colour map is the wrong size",
    "compression type not uncompressed nor RLE",
    "CAMG chunk is the wrong size",
    "Unsupported version of SHAM (not 0)",
};

constexpr unsigned kHasMask = 1;

struct IlbmState {
  std::uint64_t bodyOffset;
  std::uint64_t bodySize;
  unsigned planes;
  bool mask;
  bool compressed;
  std::uint8_t palette[kPaletteBytes];
};

int DepthOf(unsigned planes) {
  if (planes == 1) return 1;
  if (planes >= 2 && planes <= 4) return 4;
  if (planes >= 5 && planes <= 8) return 8;
  return planes == 24 ? 24 : 0;
}

int ReadHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions&) {
  const long long length = FileLength(file);
  if (length < 0) return kCodecCannotRead;
  std::uint8_t form[12];
  if (!ReadExact(file, form, sizeof form)) return kCodecCannotRead;
  if (std::memcmp(form, "FORM", 4) != 0) return kNoForm;
  if (std::memcmp(form + 8, "ILBM", 4) != 0) return kNoIlbm;
  IlbmState& state = PrivateState<IlbmState>(bitmap);
  std::memset(state.palette, 0, sizeof state.palette);
  bool header = false;
  std::uint64_t at = 12;
  const std::uint64_t end =
      std::min<std::uint64_t>(static_cast<std::uint64_t>(length), 8ull + Be32(form + 4));
  while (at + 8 <= end) {
    std::uint8_t chunk[8];
    if (!SeekTo(file, at) || !ReadExact(file, chunk, 8)) return kCodecCannotRead;
    const std::uint64_t size = Be32(chunk + 4);
    const std::uint64_t data = at + 8;
    if (std::memcmp(chunk, "BMHD", 4) == 0) {
      if (header) return kManyHeaders;
      if (size != 20) return kBadHeaderSize;
      std::uint8_t h[20];
      if (!ReadExact(file, h, sizeof h)) return kCodecCannotRead;
      header = true;
      bitmap.width = Be16(h);
      bitmap.height = Be16(h + 2);
      state.planes = h[8];
      state.mask = h[9] == kHasMask;
      if (h[10] > 1) return kBadCompression;
      state.compressed = h[10] == 1;
      bitmap.bitsPerPixel = DepthOf(state.planes);
      if (bitmap.bitsPerPixel == 0) return kBadDepth;
    } else if (std::memcmp(chunk, "CMAP", 4) == 0) {
      if (size % 3 != 0 || size > kPaletteBytes) return kBadMapSize;
      if (!ReadExact(file, state.palette, static_cast<std::size_t>(size))) return kCodecCannotRead;
    } else if (std::memcmp(chunk, "CAMG", 4) == 0) {
      if (size != 4) return kBadCamgSize;
    } else if (std::memcmp(chunk, "SHAM", 4) == 0) {
      std::uint8_t version[2];
      if (size < 2 || !ReadExact(file, version, 2)) return kCodecCannotRead;
      if (Be16(version) != 0) return kBadShamVersion;
    } else if (std::memcmp(chunk, "BODY", 4) == 0) {
      if (!header) return kNoHeader;
      state.bodyOffset = data;
      state.bodySize = std::min(size, end - std::min(end, data));
      return CheckPictureSize(bitmap.width, bitmap.height, bitmap.bitsPerPixel);
    }
    at = data + size + (size & 1);
  }
  return header ? kCodecCannotRead : kNoHeader;  // no BODY
}

int ReadPalette(std::FILE*, BitmapRecord& bitmap, std::uint8_t* palette) {
  if (bitmap.bitsPerPixel <= 8)
    std::memcpy(palette, PrivateState<IlbmState>(bitmap).palette, kPaletteBytes);
  return kCodecOk;
}

// ByteRun1 or plain rows out of the BODY, bounded by its size.
class BodyReader {
 public:
  BodyReader(std::FILE* file, std::uint64_t size, bool compressed)
      : file_(file), left_(size), compressed_(compressed) {}
  bool Row(std::uint8_t* out, std::size_t size) {
    if (!compressed_) return Take(out, size);
    std::size_t at = 0;
    while (at < size) {
      std::uint8_t n = 0;
      if (!Take(&n, 1)) return false;
      const int count = static_cast<std::int8_t>(n);
      if (count >= 0) {
        // Literal bytes; those past the row are read and dropped.
        for (int i = 0; i <= count; ++i) {
          std::uint8_t byte = 0;
          if (!Take(&byte, 1)) return false;
          if (at < size) out[at++] = byte;
        }
      } else if (count != -128) {
        std::uint8_t byte = 0;
        if (!Take(&byte, 1)) return false;
        for (int i = 0; i <= -count && at < size; ++i) out[at++] = byte;
      }
    }
    return true;
  }

 private:
  bool Take(std::uint8_t* out, std::size_t size) {
    if (size > left_) return false;
    left_ -= size;
    return ReadExact(file_, out, size);
  }
  std::FILE* file_;
  std::uint64_t left_;
  bool compressed_;
};

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  const IlbmState& state = PrivateState<IlbmState>(bitmap);
  if (!SeekTo(file, state.bodyOffset)) return kCodecCannotRead;
  BodyReader body(file, state.bodySize, state.compressed);
  const std::size_t width = static_cast<std::size_t>(bitmap.width);
  const std::size_t planeBytes = (width + 15) / 16 * 2;
  const unsigned planes = state.planes + (state.mask ? 1 : 0);
  std::vector<std::uint8_t> rows(planeBytes * planes);
  for (int y = bitmap.height - 1; y >= 0; --y) {
    for (unsigned p = 0; p < planes; ++p) {
      if (!body.Row(&rows[p * planeBytes], planeBytes)) return kCodecCannotRead;
    }
    std::uint8_t* row = DataRow(data, bitmap, y);
    for (std::size_t x = 0; x < width; ++x) {
      std::uint32_t value = 0;
      for (unsigned p = 0; p < state.planes; ++p)
        value |= IndexAt(&rows[p * planeBytes], 1, x) << p;
      if (bitmap.bitsPerPixel == 24) {
        row[3 * x + 2] = static_cast<std::uint8_t>(value);
        row[3 * x + 1] = static_cast<std::uint8_t>(value >> 8);
        row[3 * x] = static_cast<std::uint8_t>(value >> 16);
      } else {
        SetIndexAt(row, bitmap.bitsPerPixel, x, value);
      }
    }
  }
  return kCodecOk;
}

void PackRow(const std::uint8_t* row, std::size_t size, std::vector<std::uint8_t>& out) {
  std::size_t i = 0;
  while (i < size) {
    std::size_t run = 1;
    while (i + run < size && run < 128 && row[i + run] == row[i]) ++run;
    if (run >= 2) {
      out.push_back(static_cast<std::uint8_t>(257 - run));
      out.push_back(row[i]);
      i += run;
      continue;
    }
    std::size_t literal = 1;
    while (i + literal < size && literal < 128 &&
           !(i + literal + 1 < size && row[i + literal] == row[i + literal + 1])) {
      ++literal;
    }
    out.push_back(static_cast<std::uint8_t>(literal - 1));
    out.insert(out.end(), row + i, row + i + literal);
    i += literal;
  }
}

void PutChunk(std::vector<std::uint8_t>& out, const char* id,
              const std::vector<std::uint8_t>& data) {
  out.insert(out.end(), id, id + 4);
  std::uint8_t size[4];
  PutBe32(size, static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), size, size + 4);
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() & 1) out.push_back(0);
}

int Write(const char*, std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t* palette,
          const std::uint8_t* data, const CodecOptions& options) {
  if (bitmap.width > 0xFFFF || bitmap.height > 0xFFFF) return kCodecBadSize;
  const bool compressed = !options.Has("uncompressed");
  const unsigned planes = static_cast<unsigned>(bitmap.bitsPerPixel);
  const std::size_t width = static_cast<std::size_t>(bitmap.width);
  const std::size_t planeBytes = (width + 15) / 16 * 2;
  std::vector<std::uint8_t> header(20, 0);
  PutBe16(&header[0], static_cast<unsigned>(bitmap.width));
  PutBe16(&header[2], static_cast<unsigned>(bitmap.height));
  header[8] = static_cast<std::uint8_t>(planes);
  header[10] = compressed ? 1 : 0;
  header[14] = header[15] = 1;
  PutBe16(&header[16], static_cast<unsigned>(bitmap.width));
  PutBe16(&header[18], static_cast<unsigned>(bitmap.height));
  std::vector<std::uint8_t> body, planeRow(planeBytes);
  for (int y = bitmap.height - 1; y >= 0; --y) {
    const std::uint8_t* row = DataRow(data, bitmap, y);
    for (unsigned p = 0; p < planes; ++p) {
      std::fill(planeRow.begin(), planeRow.end(), 0);
      for (std::size_t x = 0; x < width; ++x) {
        std::uint32_t value = 0;
        if (planes == 24) {
          value = row[3 * x + 2] | (row[3 * x + 1] << 8) | (row[3 * x] << 16);
        } else {
          value = IndexAt(row, bitmap.bitsPerPixel, x);
        }
        SetIndexAt(planeRow.data(), 1, x, (value >> p) & 1);
      }
      if (compressed) {
        PackRow(planeRow.data(), planeBytes, body);
      } else {
        body.insert(body.end(), planeRow.begin(), planeRow.end());
      }
    }
  }
  std::vector<std::uint8_t> out = {'F', 'O', 'R', 'M', 0, 0, 0, 0, 'I', 'L', 'B', 'M'};
  PutChunk(out, "BMHD", header);
  if (planes <= 8)
    PutChunk(out, "CMAP", std::vector<std::uint8_t>(palette, palette + (3u << planes)));
  PutChunk(out, "BODY", body);
  if (out.size() - 8 > 0xFFFFFFFFu) return kCodecBadSize;
  PutBe32(&out[4], static_cast<std::uint32_t>(out.size() - 8));
  return WriteExact(file, out.data(), out.size()) ? kCodecOk : kCodecCannotWrite;
}

const char* ErrorText(int code) {
  return BlockText(code, 900, kTexts);
}

}  // namespace

constinit const Codec kIlbmCodec = {
    {"ILBM", "Amiga IFF / ILBM Interleaved bitmap", "IFF LBM", 0x1EF},
    &ReadHeader,
    &ReadPalette,
    &ReadData,
    &Write,
    &ErrorText,
};

}  // namespace quellor::codecs
