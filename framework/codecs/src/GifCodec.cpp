// CompuServe GIF through giflib: reads the image picked by "index=N" (from 0)
// at its own size, de-interlaced, as 1, 4 or 8-bit indices with its local or
// the global colour map; writes one image with a global colour map of 2, 16
// or 256 entries.
#include <gif_lib.h>

#include <vector>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kBadBits = 1100;
constexpr int kNoSuchImage = 1101;  // terminator before the requested image
constexpr int kCorrupt = 1103;

constexpr const char* kTexts[] = {
    "bad bits per pixel",
    "terminator found before requested image descriptor",
    "code size not in range 2 to 9",
    "encoded data is corrupt",
};

struct GifState {
  int index;  // the image wanted
  bool interlaced;
  std::uint16_t colours;  // entries of its colour map
  std::uint8_t palette[kPaletteBytes];
};

int ReadFromFile(GifFileType* gif, GifByteType* buffer, int size) {
  return static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(size),
                                     static_cast<std::FILE*>(gif->UserData)));
}

int WriteToFile(GifFileType* gif, const GifByteType* buffer, int size) {
  return static_cast<int>(std::fwrite(buffer, 1, static_cast<std::size_t>(size),
                                      static_cast<std::FILE*>(gif->UserData)));
}

int CodeOf(int gifError) {
  switch (gifError) {
    case D_GIF_ERR_NOT_GIF_FILE:
      return kCodecBadMagic;
    case D_GIF_ERR_READ_FAILED:
    case D_GIF_ERR_EOF_TOO_SOON:
    case D_GIF_ERR_NOT_READABLE:
      return kCodecCannotRead;
    case D_GIF_ERR_NOT_ENOUGH_MEM:
      return kCodecOutOfMemory;
    default:
      return kCorrupt;
  }
}

// A decoder of file closed when it goes.
class Decoder {
 public:
  explicit Decoder(std::FILE* file) {
    int error = 0;
    if (SeekTo(file, 0)) gif_ = DGifOpen(file, &ReadFromFile, &error);
    code_ = gif_ != nullptr ? kCodecOk : (error != 0 ? CodeOf(error) : kCodecCannotRead);
  }
  ~Decoder() {
    int error = 0;
    if (gif_ != nullptr) DGifCloseFile(gif_, &error);
  }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  int Code() const { return code_; }
  GifFileType* get() const { return gif_; }
  int Fail() const { return CodeOf(gif_->Error); }

  // Reads up to the descriptor of image index, skipping the others.
  int SeekImage(int index) {
    for (int seen = 0;;) {
      GifRecordType type = UNDEFINED_RECORD_TYPE;
      if (DGifGetRecordType(gif_, &type) == GIF_ERROR) return Fail();
      if (type == TERMINATE_RECORD_TYPE) return kNoSuchImage;
      if (type == EXTENSION_RECORD_TYPE) {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif_, &code, &block) == GIF_ERROR) return Fail();
        while (block != nullptr) {
          if (DGifGetExtensionNext(gif_, &block) == GIF_ERROR) return Fail();
        }
        continue;
      }
      if (type != IMAGE_DESC_RECORD_TYPE) return kCorrupt;
      if (DGifGetImageDesc(gif_) == GIF_ERROR) return Fail();
      if (seen++ == index) return kCodecOk;
      int codeSize = 0;
      GifByteType* block = nullptr;
      if (DGifGetCode(gif_, &codeSize, &block) == GIF_ERROR) return Fail();
      while (block != nullptr) {
        if (DGifGetCodeNext(gif_, &block) == GIF_ERROR) return Fail();
      }
    }
  }

 private:
  GifFileType* gif_ = nullptr;
  int code_ = kCodecOk;
};

int ReadHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions& options) {
  std::optional<int> index = options.Number("index=", 0);
  if (!index) return kCodecBadOptions;
  Decoder decoder(file);
  if (decoder.Code() != kCodecOk) return decoder.Code();
  if (int code = decoder.SeekImage(*index)) return code;
  GifFileType* gif = decoder.get();
  const ColorMapObject* map = gif->Image.ColorMap != nullptr ? gif->Image.ColorMap : gif->SColorMap;
  GifState& state = PrivateState<GifState>(bitmap);
  state.index = *index;
  state.interlaced = gif->Image.Interlace;
  std::memset(state.palette, 0, sizeof state.palette);
  state.colours = 256;
  if (map != nullptr) {
    if (map->ColorCount < 1 || map->ColorCount > 256) return kBadBits;
    state.colours = static_cast<std::uint16_t>(map->ColorCount);
    for (int i = 0; i < map->ColorCount; ++i) {
      state.palette[3 * i] = map->Colors[i].Red;
      state.palette[3 * i + 1] = map->Colors[i].Green;
      state.palette[3 * i + 2] = map->Colors[i].Blue;
    }
  }
  bitmap.width = gif->Image.Width;
  bitmap.height = gif->Image.Height;
  bitmap.bitsPerPixel = state.colours <= 2 ? 1 : state.colours <= 16 ? 4 : 8;
  return CheckPictureSize(bitmap.width, bitmap.height, bitmap.bitsPerPixel);
}

int ReadPalette(std::FILE*, BitmapRecord& bitmap, std::uint8_t* palette) {
  std::memcpy(palette, PrivateState<GifState>(bitmap).palette, kPaletteBytes);
  return kCodecOk;
}

// The picture line that the pass-th line of the file fills.
std::vector<int> LineOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = starts[pass]; y < height; y += steps[pass]) order.push_back(y);
  }
  return order;
}

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  const GifState& state = PrivateState<GifState>(bitmap);
  Decoder decoder(file);
  if (decoder.Code() != kCodecOk) return decoder.Code();
  if (int code = decoder.SeekImage(state.index)) return code;
  std::vector<GifPixelType> line(static_cast<std::size_t>(bitmap.width));
  for (int y : LineOrder(bitmap.height, state.interlaced)) {
    if (DGifGetLine(decoder.get(), line.data(), bitmap.width) == GIF_ERROR) return decoder.Fail();
    std::uint8_t* row = DataRow(data, bitmap, bitmap.height - 1 - y);
    for (std::size_t x = 0; x < line.size(); ++x) SetIndexAt(row, bitmap.bitsPerPixel, x, line[x]);
  }
  return kCodecOk;
}

int Write(const char*, std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t* palette,
          const std::uint8_t* data, const CodecOptions&) {
  if (bitmap.width > 0xFFFF || bitmap.height > 0xFFFF) return kCodecBadSize;
  const int bits = bitmap.bitsPerPixel;
  const int colours = 1 << bits;
  ColorMapObject* map = GifMakeMapObject(colours, nullptr);
  if (map == nullptr) return kCodecOutOfMemory;
  for (int i = 0; i < colours; ++i) {
    map->Colors[i] = {palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]};
  }
  int error = 0;
  GifFileType* gif = EGifOpen(file, &WriteToFile, &error);
  if (gif == nullptr) {
    GifFreeMapObject(map);
    return kCodecCannotWrite;
  }
  int code = kCodecOk;
  if (EGifPutScreenDesc(gif, bitmap.width, bitmap.height, bits, 0, map) == GIF_ERROR ||
      EGifPutImageDesc(gif, 0, 0, bitmap.width, bitmap.height, false, nullptr) == GIF_ERROR) {
    code = kCodecCannotWrite;
  }
  std::vector<GifPixelType> line(static_cast<std::size_t>(bitmap.width));
  for (int y = bitmap.height - 1; code == kCodecOk && y >= 0; --y) {
    const std::uint8_t* row = DataRow(data, bitmap, y);
    for (std::size_t x = 0; x < line.size(); ++x) {
      line[x] = static_cast<GifPixelType>(IndexAt(row, bits, x));
    }
    if (EGifPutLine(gif, line.data(), bitmap.width) == GIF_ERROR) code = kCodecCannotWrite;
  }
  if (EGifCloseFile(gif, &error) == GIF_ERROR && code == kCodecOk) code = kCodecCannotWrite;
  GifFreeMapObject(map);
  return code;
}

const char* ErrorText(int code) {
  return BlockText(code, 1100, kTexts);
}

}  // namespace

constinit const Codec kGifCodec = {
    {"GIF", "CompuServe Graphics Interchange Format", "GIF", 0xE7},
    &ReadHeader,
    &ReadPalette,
    &ReadData,
    &Write,
    &ErrorText,
};

}  // namespace quellor::codecs
