#include "CodecTestFiles.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "FuzzSelector.h"

namespace quellor::codecs::testing {
namespace {

unsigned Mix(unsigned x) {
  x ^= x >> 16;
  x *= 0x7feb352du;
  x ^= x >> 15;
  x *= 0x846ca68bu;
  return x ^ (x >> 16);
}

void FillPalette(Picture& picture, PaletteKind kind, unsigned seed) {
  for (unsigned i = 0; i < 256; ++i) {
    std::uint8_t* rgb = &picture.palette[3 * i];
    if (kind == PaletteKind::Grey) {
      rgb[0] = rgb[1] = rgb[2] = static_cast<std::uint8_t>(i);
    } else if (kind == PaletteKind::BlackWhite) {
      rgb[0] = rgb[1] = rgb[2] = i == 0 ? 255 : 0;  // 0 paper, 1 ink
    } else {
      // Distinct entries: red is the index, the rest vary.
      unsigned m = Mix(i + seed * 977);
      rgb[0] = static_cast<std::uint8_t>(i);
      rgb[1] = static_cast<std::uint8_t>(m);
      rgb[2] = static_cast<std::uint8_t>(m >> 8);
    }
  }
}

}  // namespace

Picture MakePicture(int width, int height, int bits, PaletteKind kind, unsigned seed) {
  Picture picture;
  picture.record.width = width;
  picture.record.height = height;
  picture.record.bitsPerPixel = bits;
  picture.data.assign(ImageDataSize(picture.record), 0);
  const std::size_t stride = static_cast<std::size_t>(RowStride(width, bits));
  if (bits <= 8) FillPalette(picture, kind, seed);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = picture.data.data() + stride * y;
    for (int x = 0; x < width; ++x) {
      // Runs of equal pixels beside noise, so run-length coders see both.
      unsigned value = (x / 3 + y) % 5 == 0 ? 7u * y : Mix(seed + x * 131 + y * 7919);
      if (bits == 1) {
        row[x / 8] |= static_cast<std::uint8_t>((value & 1) << (7 - x % 8));
      } else if (bits == 4) {
        row[x / 2] |= static_cast<std::uint8_t>((value & 15) << (x % 2 ? 0 : 4));
      } else if (bits == 8) {
        row[x] = static_cast<std::uint8_t>(value);
      } else {
        const int bytes = bits / 8;
        for (int b = 0; b < bytes; ++b)
          row[x * bytes + b] = static_cast<std::uint8_t>(value >> (8 * b));
      }
    }
  }
  return picture;
}

MemoryFile::MemoryFile() : file_(std::tmpfile()) {}

MemoryFile::MemoryFile(const std::vector<std::uint8_t>& bytes) : file_(std::tmpfile()) {
  if (file_ != nullptr && !bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file_);
  if (file_ != nullptr) std::rewind(file_);
}

MemoryFile::~MemoryFile() {
  if (file_ != nullptr) std::fclose(file_);
}

std::vector<std::uint8_t> MemoryFile::Bytes() const {
  std::vector<std::uint8_t> bytes;
  if (file_ == nullptr) return bytes;
  std::fflush(file_);
  std::fseek(file_, 0, SEEK_END);
  bytes.resize(static_cast<std::size_t>(std::ftell(file_)));
  std::rewind(file_);
  if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    bytes.clear();
  }
  return bytes;
}

namespace {

// With QUELLOR_CODEC_SEEDS set to a folder, every file a test reads is kept
// there as a seed of image_codec_fuzzer (its selector byte first): the hand
// made run-length data, arrays, records and hostile headers reach the read
// paths the writers never produce. Small files only, a few per format.
void KeepAsSeed(const std::vector<std::uint8_t>& bytes, int format, const char* options) {
  static const char* folder = std::getenv("QUELLOR_CODEC_SEEDS");
  static std::map<int, int> kept;
  constexpr int kPerFormat = 48;
  const int selector = fuzzing::SelectorFor(format, options);
  if (folder == nullptr || selector < 0 || bytes.size() > 8192 || kept[format] >= kPerFormat)
    return;
  std::uint32_t hash = 2166136261u;
  for (std::uint8_t b : bytes) hash = (hash ^ b) * 16777619u;
  FormatInfo info{};
  ImageCodecQuery(format, &info);
  char name[64];
  std::snprintf(name, sizeof name, "%s_test_%08x", info.shortName, hash ^ unsigned(selector));
  const std::string path = std::string(folder) + "/" + name;
  if (std::filesystem::exists(path)) return;
  if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
    const std::uint8_t first = static_cast<std::uint8_t>(selector);
    std::fwrite(&first, 1, 1, out);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    ++kept[format];
  }
}

}  // namespace

int ReadPicture(const std::vector<std::uint8_t>& bytes, int format, Picture& picture,
                const char* options, const char* fileName) {
  KeepAsSeed(bytes, format, options);
  MemoryFile file(bytes);
  if (int code = ImageCodecReadHeader(fileName, file.get(), format, &picture.record, options)) {
    return code;
  }
  if (int code =
          ImageCodecReadPalette(file.get(), format, &picture.record, picture.palette.data())) {
    return code;
  }
  picture.data.assign(ImageDataSize(picture.record), 0);
  return ImageCodecReadData(file.get(), format, &picture.record, picture.data.data());
}

int WritePicture(const Picture& picture, int format, std::vector<std::uint8_t>& bytes,
                 const char* options, const char* fileName) {
  MemoryFile file;
  int code = ImageCodecWrite(fileName, file.get(), format, &picture.record, picture.palette.data(),
                             picture.data.data(), options);
  bytes = file.Bytes();
  return code;
}

std::string ScratchPath(const std::string& name) {
  const char* root = std::getenv("QUELLOR_TEST_TMP");
  std::filesystem::path folder = std::filesystem::path(root != nullptr ? root : ".") / "codecs";
  std::filesystem::create_directories(folder);
  return (folder / name).string();
}

std::uint32_t ColourAt(const Picture& picture, int x, int y) {
  const BitmapRecord& record = picture.record;
  const std::size_t stride = static_cast<std::size_t>(RowStride(record.width, record.bitsPerPixel));
  const std::uint8_t* row = picture.data.data() + stride * y;
  switch (record.bitsPerPixel) {
    case 1:
    case 4:
    case 8: {
      unsigned index = record.bitsPerPixel == 8   ? row[x]
                       : record.bitsPerPixel == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 15
                                                  : (row[x / 8] >> (7 - x % 8)) & 1;
      const std::uint8_t* rgb = &picture.palette[3 * index];
      return rgb[2] | (rgb[1] << 8) | (rgb[0] << 16) | 0xFF000000u;
    }
    case 24:
      return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16) | 0xFF000000u;
    default:
      return row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) |
             (std::uint32_t{row[4 * x + 3]} << 24);
  }
}

std::string CompareColours(const Picture& expected, const Picture& actual) {
  if (expected.record.width != actual.record.width ||
      expected.record.height != actual.record.height) {
    return "size " + std::to_string(actual.record.width) + "x" +
           std::to_string(actual.record.height);
  }
  for (int y = 0; y < expected.record.height; ++y) {
    for (int x = 0; x < expected.record.width; ++x) {
      if (ColourAt(expected, x, y) != ColourAt(actual, x, y)) {
        char text[96];
        std::snprintf(text, sizeof text, "pixel %d,%d: %08x expected, %08x read", x, y,
                      ColourAt(expected, x, y), ColourAt(actual, x, y));
        return text;
      }
    }
  }
  return "";
}

}  // namespace quellor::codecs::testing
