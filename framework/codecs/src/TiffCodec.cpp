// Tagged Image File Format through libtiff: bilevel and grey (1, 4, 8 bits),
// palette (1, 4, 8 bits) and RGB pictures, uncompressed, PackBits, LZW and the
// other schemes the library is built with; "index=N" picks the N-th image
// (from 0). Tiled, planar and other colour spaces (CMYK, YCbCr) are read as
// 24-bit pictures through the library's RGBA reader. Writes palette pictures
// of 1, 4 and 8 bits and 24-bit RGB, uncompressed or with the option "lzw" or
// "packbits".
#include <tiffio.h>

#include <vector>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kBadVersion = 800;
constexpr int kTagMissing = 804;
constexpr int kGreySamples = 805;
constexpr int kGreyBits = 806;
constexpr int kRgbSamples = 807;
constexpr int kRgbBits = 808;
constexpr int kPaletteSamples = 809;
constexpr int kPaletteBits = 810;
constexpr int kCmykSamples = 811;
constexpr int kCmykBits = 812;
constexpr int kCcittHuffman = 813;
constexpr int kCcittFax3 = 814;
constexpr int kCcittFax4 = 815;
constexpr int kBadCompression = 816;
constexpr int kColourMapMissing = 817;
constexpr int kCorrupt = 818;

constexpr const char* kTexts[] = {
    "version number not 42",
    "too many tags in file",
    "bad tag type",
    "corrupt header",
    "ImageWidth, ImageLength or StripOffsets tag missing",
    "SamplesPerPixel tag must be 1 for bitmap or greyscale file",
    "BitsPerSample tag must be 1,4 or 8 for bitmap or greyscale file",
    "SamplesPerPixel tag must be 3 or more for RGB file",
    "BitsPerSample tag must be 8 for RGB file",
    "SamplesPerPixel tag must be 1 for palettised file",
    "BitsPerSample tag must be 1,4 or 8 for paletteised file",
    "SamplesPerPixel tag must be 4 for CMYK file",
    "BitsPerSample tag must be 8 for CMYK file",
    "Compression tag is CCITT 1D Modified Huffman, not supported",
    "Compression tag is CCITT T.4 G3 Facsimile, not supported",
    "Compression tag is CCITT T.6 G4 Facsimile, not supported",
    "Compression tag not uncompressed, PackBits or LZW, not supported",
    "ColorMap tag missing",
    "encoded data is corrupt",
    "Predictor tag bad",
};

struct TiffState {
  int directory;
  bool rgba;  // read through the RGBA reader as 24 bits
  std::uint8_t palette[kPaletteBytes];
};

std::FILE* FileOf(thandle_t handle) {
  return static_cast<std::FILE*>(handle);
}
tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
  return static_cast<tmsize_t>(
      std::fread(buffer, 1, static_cast<std::size_t>(size), FileOf(handle)));
}
tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size) {
  return static_cast<tmsize_t>(
      std::fwrite(buffer, 1, static_cast<std::size_t>(size), FileOf(handle)));
}
toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  if (offset > 0x7FFFFFFFFFFFull) return static_cast<toff_t>(-1);
  if (std::fseek(FileOf(handle), static_cast<long>(offset), whence) != 0) {
    return static_cast<toff_t>(-1);
  }
  return static_cast<toff_t>(std::ftell(FileOf(handle)));
}
int CloseProc(thandle_t) {
  return 0;  // the caller closes the file
}
toff_t SizeProc(thandle_t handle) {
  std::FILE* file = FileOf(handle);
  const long at = std::ftell(file);
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fseek(file, at, SEEK_SET);
  return size < 0 ? 0 : static_cast<toff_t>(size);
}
int MapProc(thandle_t, void**, toff_t*) {
  return 0;
}
void UnmapProc(thandle_t, void*, toff_t) {}

// The library's messages are not shown: every failure is a code.
int Quiet(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}

// A libtiff handle on file, closed when it goes.
class TiffFile {
 public:
  TiffFile(std::FILE* file, const char* mode) {
    if (!SeekTo(file, 0)) return;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) return;
    TIFFOpenOptionsSetErrorHandlerExtR(options, &Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, &Quiet, nullptr);
    tiff_ = TIFFClientOpenExt("picture", mode, file, &ReadProc, &WriteProc, &SeekProc, &CloseProc,
                              &SizeProc, &MapProc, &UnmapProc, options);
    TIFFOpenOptionsFree(options);
  }
  ~TiffFile() {
    if (tiff_ != nullptr) TIFFClose(tiff_);
  }
  TiffFile(const TiffFile&) = delete;
  TiffFile& operator=(const TiffFile&) = delete;
  TIFF* get() const { return tiff_; }

 private:
  TIFF* tiff_ = nullptr;
};

int CheckMagic(std::FILE* file) {
  std::uint8_t head[4];
  if (!SeekTo(file, 0) || !ReadExact(file, head, 4)) return kCodecCannotRead;
  const bool little = head[0] == 'I' && head[1] == 'I';
  if (!little && !(head[0] == 'M' && head[1] == 'M')) return kCodecBadMagic;
  const unsigned version = little ? Le16(head + 2) : Be16(head + 2);
  return version == 42 || version == 43 ? kCodecOk : kBadVersion;
}

int CheckCompression(TIFF* tiff) {
  std::uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
  if (compression == COMPRESSION_CCITTRLE) return kCcittHuffman;
  if (compression == COMPRESSION_CCITTFAX3) return kCcittFax3;
  if (compression == COMPRESSION_CCITTFAX4) return kCcittFax4;
  return TIFFIsCODECConfigured(compression) ? kCodecOk : kBadCompression;
}

void GreyPalette(std::uint8_t* palette, unsigned bits, bool whiteIsZero) {
  const unsigned levels = 1u << bits;
  for (unsigned i = 0; i < levels; ++i) {
    unsigned level = i * 255 / (levels - 1);
    if (whiteIsZero) level = 255 - level;
    palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = static_cast<std::uint8_t>(level);
  }
}

// Decides how the picture is read and its depth.
int Classify(TIFF* tiff, BitmapRecord& bitmap, TiffState& state) {
  std::uint16_t photometric = 0, samples = 1, bits = 1, planar = PLANARCONFIG_CONTIG;
  if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric)) photometric = PHOTOMETRIC_MINISWHITE;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
  const bool indexedBits = bits == 1 || bits == 4 || bits == 8;
  const bool strips = !TIFFIsTiled(tiff);
  std::memset(state.palette, 0, sizeof state.palette);
  state.rgba = true;
  bitmap.bitsPerPixel = 24;
  switch (photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
      if (samples != 1) return kGreySamples;
      if (!indexedBits) return kGreyBits;
      GreyPalette(state.palette, bits, photometric == PHOTOMETRIC_MINISWHITE);
      break;
    case PHOTOMETRIC_PALETTE: {
      if (samples != 1) return kPaletteSamples;
      if (!indexedBits) return kPaletteBits;
      std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
      if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue)) return kColourMapMissing;
      for (unsigned i = 0; i < (1u << bits); ++i) {
        state.palette[3 * i] = static_cast<std::uint8_t>(red[i] >> 8);
        state.palette[3 * i + 1] = static_cast<std::uint8_t>(green[i] >> 8);
        state.palette[3 * i + 2] = static_cast<std::uint8_t>(blue[i] >> 8);
      }
      break;
    }
    case PHOTOMETRIC_RGB:
      if (samples < 3) return kRgbSamples;
      if (bits != 8) return kRgbBits;
      return kCodecOk;
    case PHOTOMETRIC_SEPARATED:
      if (samples != 4) return kCmykSamples;
      if (bits != 8) return kCmykBits;
      return kCodecOk;
    default:
      return kCodecOk;  // left to the RGBA reader, which refuses what it cannot read
  }
  if (strips) {
    state.rgba = false;
    bitmap.bitsPerPixel = bits;
  }
  (void)planar;  // one sample a pixel: planar makes no difference
  return kCodecOk;
}

int OpenAt(TiffFile& tiff, int directory) {
  if (tiff.get() == nullptr) return kCorrupt;
  if (!TIFFSetDirectory(tiff.get(), static_cast<tdir_t>(directory))) return kCodecNotFound;
  return kCodecOk;
}

int ReadHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions& options) {
  std::optional<int> directory = options.Number("index=", 0);
  if (!directory || *directory > 0xFFFF) return kCodecBadOptions;
  if (int code = CheckMagic(file)) return code;
  TiffFile tiff(file, "rm");
  if (int code = OpenAt(tiff, *directory)) return code;
  std::uint32_t width = 0, height = 0;
  if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
      !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height)) {
    return kTagMissing;
  }
  if (int code = CheckCompression(tiff.get())) return code;
  TiffState& state = PrivateState<TiffState>(bitmap);
  state.directory = *directory;
  if (int code = Classify(tiff.get(), bitmap, state)) return code;
  if (int code = CheckPictureSize(width, height, bitmap.bitsPerPixel)) return code;
  bitmap.width = static_cast<int>(width);
  bitmap.height = static_cast<int>(height);
  return kCodecOk;
}

int ReadPalette(std::FILE*, BitmapRecord& bitmap, std::uint8_t* palette) {
  if (bitmap.bitsPerPixel <= 8)
    std::memcpy(palette, PrivateState<TiffState>(bitmap).palette, kPaletteBytes);
  return kCodecOk;
}

int ReadRgba(TIFF* tiff, BitmapRecord& bitmap, std::uint8_t* data) {
  const std::size_t pixels = static_cast<std::size_t>(bitmap.width) * bitmap.height;
  std::vector<std::uint32_t> raster;
  try {
    raster.resize(pixels);
  } catch (const std::bad_alloc&) {
    return kCodecOutOfMemory;
  }
  // Stops at the first strip or tile that cannot be read: going on would
  // hand back a picture with those rows missing as though it were whole.
  constexpr int kStopOnError = 1;
  if (!TIFFReadRGBAImageOriented(tiff, static_cast<std::uint32_t>(bitmap.width),
                                 static_cast<std::uint32_t>(bitmap.height), raster.data(),
                                 ORIENTATION_BOTLEFT, kStopOnError)) {
    return kCorrupt;
  }
  for (int y = 0; y < bitmap.height; ++y) {
    std::uint8_t* row = DataRow(data, bitmap, y);
    const std::uint32_t* in = raster.data() + static_cast<std::size_t>(y) * bitmap.width;
    for (int x = 0; x < bitmap.width; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(TIFFGetB(in[x]));
      row[3 * x + 1] = static_cast<std::uint8_t>(TIFFGetG(in[x]));
      row[3 * x + 2] = static_cast<std::uint8_t>(TIFFGetR(in[x]));
    }
  }
  return kCodecOk;
}

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  const TiffState& state = PrivateState<TiffState>(bitmap);
  TiffFile tiff(file, "rm");
  if (int code = OpenAt(tiff, state.directory)) return code;
  if (state.rgba) return ReadRgba(tiff.get(), bitmap, data);
  const tmsize_t lineSize = TIFFScanlineSize(tiff.get());
  if (lineSize <= 0) return kCorrupt;
  std::vector<std::uint8_t> line(static_cast<std::size_t>(lineSize));
  const std::size_t rowBytes =
      (static_cast<std::size_t>(bitmap.width) * bitmap.bitsPerPixel + 7) / 8;
  for (int y = 0; y < bitmap.height; ++y) {
    if (TIFFReadScanline(tiff.get(), line.data(), static_cast<std::uint32_t>(y), 0) < 0) {
      return kCorrupt;
    }
    std::memcpy(DataRow(data, bitmap, bitmap.height - 1 - y), line.data(),
                std::min(rowBytes, line.size()));
  }
  return kCodecOk;
}

int Write(const char*, std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t* palette,
          const std::uint8_t* data, const CodecOptions& options) {
  std::uint16_t compression = COMPRESSION_NONE;
  if (options.Has("lzw")) compression = COMPRESSION_LZW;
  if (options.Has("packbits")) {
    if (compression != COMPRESSION_NONE) return kCodecBadOptions;
    compression = COMPRESSION_PACKBITS;
  }
  TiffFile tiff(file, "w");
  TIFF* t = tiff.get();
  if (t == nullptr) return kCodecCannotWrite;
  const int bits = bitmap.bitsPerPixel;
  const bool rgb = bits == 24;
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(bitmap.width));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(bitmap.height));
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, rgb ? 3 : 1);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, rgb ? 8 : bits);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, rgb ? PHOTOMETRIC_RGB : PHOTOMETRIC_PALETTE);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
  std::vector<std::uint16_t> map(3 * 256, 0);
  if (!rgb) {
    for (unsigned i = 0; i < (1u << bits); ++i) {
      for (int c = 0; c < 3; ++c)
        map[c * 256 + i] = static_cast<std::uint16_t>(palette[3 * i + c] * 257);
    }
    TIFFSetField(t, TIFFTAG_COLORMAP, map.data(), map.data() + 256, map.data() + 512);
  }
  const std::size_t rowBytes = rgb ? static_cast<std::size_t>(bitmap.width) * 3
                                   : (static_cast<std::size_t>(bitmap.width) * bits + 7) / 8;
  std::vector<std::uint8_t> line(rowBytes);
  for (int y = 0; y < bitmap.height; ++y) {
    const std::uint8_t* row = DataRow(data, bitmap, bitmap.height - 1 - y);
    std::memcpy(line.data(), row, rowBytes);
    if (rgb) {
      for (std::size_t x = 0; x < rowBytes; x += 3) std::swap(line[x], line[x + 2]);
    }
    if (TIFFWriteScanline(t, line.data(), static_cast<std::uint32_t>(y), 0) < 0) {
      return kCodecCannotWrite;
    }
  }
  return TIFFWriteDirectory(t) ? kCodecOk : kCodecCannotWrite;
}

const char* ErrorText(int code) {
  return BlockText(code, 800, kTexts);
}

}  // namespace

constinit const Codec kTiffCodec = {
    {"TIFF", "Tagged Image File Format support (almost TIFF 6.0 Baseline)", "TIF TIFF", 0x1EF},
    &ReadHeader,
    &ReadPalette,
    &ReadData,
    &Write,
    &ErrorText,
};

}  // namespace quellor::codecs
