// Writes the seed corpus of image_codec_fuzzer: a small picture of every
// format and depth the codecs write, with each writer option that changes the
// file, each prefixed with its selector byte (FuzzSelector.h), plus a few
// run-length and top-down Targa files the writer does not make. The codec
// tests add their hand-made files (QUELLOR_CODEC_SEEDS).
// Usage: image_codec_seeds <folder>
//        image_codec_seeds --check <folder>: fails unless every format has a
//        seed whose header, palette and data all read.
#include <qlxrapi/codecs/ImageCodecs.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzSelector.h"

namespace {

using namespace quellor::codecs;

void Save(const std::string& folder, const std::string& name, int format,
          const std::vector<std::uint8_t>& file, const char* readOptions = "") {
  const int chosen = fuzzing::SelectorFor(format, readOptions);
  if (file.empty() || chosen < 0) return;
  std::FILE* out = std::fopen((folder + "/" + name).c_str(), "wb");
  if (out == nullptr) return;
  const std::uint8_t selector = static_cast<std::uint8_t>(chosen);
  std::fwrite(&selector, 1, 1, out);
  std::fwrite(file.data(), 1, file.size(), out);
  std::fclose(out);
}

std::vector<std::uint8_t> Written(int format, int bits, const char* options, int width = 11) {
  BitmapRecord bitmap;
  bitmap.width = width;
  bitmap.height = 5;
  bitmap.bitsPerPixel = bits;
  std::vector<std::uint8_t> data(ImageDataSize(bitmap));
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 37 / 5);
  std::vector<std::uint8_t> palette(kPaletteBytes);
  for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<std::uint8_t>(i / 3);
  std::vector<std::uint8_t> bytes;
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return bytes;
  // KIPS writes its palette beside the named file: keep it out of the way.
  const std::string name = (std::filesystem::temp_directory_path() / "image_codec_seed").string();
  if (ImageCodecWrite(name.c_str(), file, format, &bitmap, palette.data(), data.data(), options) ==
      0) {
    // The file's end, not the stream's position: libtiff writes through the
    // descriptor.
    std::fflush(file);
    std::fseek(file, 0, SEEK_END);
    bytes.resize(static_cast<std::size_t>(std::ftell(file)));
    std::rewind(file);
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
  }
  std::fclose(file);
  return bytes;
}

}  // namespace

// True when the file (selector byte first) reads through header, palette and
// data without an error.
bool ReadsWhole(const std::vector<std::uint8_t>& seed) {
  if (seed.size() < 2) return false;
  std::vector<std::uint8_t> bytes(seed.begin() + 1, seed.end());
  std::FILE* file = ::fmemopen(bytes.data(), bytes.size(), "rb");
  if (file == nullptr) return false;
  const int format = fuzzing::FormatOf(seed[0]);
  BitmapRecord bitmap;
  bool whole = false;
  if (ImageCodecReadHeader(fuzzing::FuzzFileName(), file, format, &bitmap,
                           fuzzing::OptionsOf(seed[0])) == 0) {
    std::vector<std::uint8_t> palette(kPaletteBytes);
    std::vector<std::uint8_t> pixels(ImageDataSize(bitmap));
    whole = ImageCodecReadPalette(file, format, &bitmap, palette.data()) == 0 &&
            ImageCodecReadData(file, format, &bitmap, pixels.data()) == 0;
  }
  std::fclose(file);
  return whole;
}

int Check(const std::string& folder) {
  int whole[kFormatCount] = {};
  int seeds = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::FILE* in = std::fopen(entry.path().c_str(), "rb");
    if (in == nullptr) continue;
    std::vector<std::uint8_t> seed(static_cast<std::size_t>(entry.file_size()));
    const bool read = std::fread(seed.data(), 1, seed.size(), in) == seed.size();
    std::fclose(in);
    ++seeds;
    if (read && ReadsWhole(seed)) ++whole[fuzzing::FormatOf(seed[0])];
  }
  int missing = 0;
  for (int format = 0; format < kFormatCount; ++format) {
    FormatInfo info{};
    ImageCodecQuery(format, &info);
    std::printf("%-8s %3d seeds read whole\n", info.shortName, whole[format]);
    missing += whole[format] == 0;
  }
  std::printf("%d seeds, %d formats without a whole read\n", seeds, missing);
  return missing == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--check") return Check(argv[2]);
  if (argc != 2) return 2;
  const std::string folder = argv[1];
  for (int format = 0; format < kFormatCount; ++format) {
    FormatInfo info{};
    ImageCodecQuery(format, &info);
    for (int bits : {1, 4, 8, 24}) {
      const unsigned flag = bits == 1   ? kWrites1
                            : bits == 4 ? kWrites4
                            : bits == 8 ? kWrites8
                                        : kWrites24;
      if ((info.flags & flag) == 0) continue;
      std::vector<std::uint8_t> file = Written(format, bits, "");
      if (!file.empty()) {
        Save(folder, std::string(info.shortName) + "_" + std::to_string(bits), format, file);
      }
    }
  }
  // Writer options that change the file's layout.
  for (int bits : {1, 4, 8, 24}) {
    const std::string b = std::to_string(bits);
    Save(folder, "Bitmap_os2_" + b, kFormatBitmap, Written(kFormatBitmap, bits, "os2"));
    Save(folder, "TIFF_lzw_" + b, kFormatTiff, Written(kFormatTiff, bits, "lzw"));
    Save(folder, "TIFF_packbits_" + b, kFormatTiff, Written(kFormatTiff, bits, "packbits"));
    Save(folder, "ILBM_uncompressed_" + b, kFormatIlbm, Written(kFormatIlbm, bits, "uncompressed"));
  }
  // Widths the raw formats need: groups of four, and a width given as an
  // option.
  Save(folder, "YUV12C_24", kFormatYuv12c, Written(kFormatYuv12c, 24, "", 12));
  Save(folder, "IAX_8_width11", kFormatIax, Written(kFormatIax, 8, ""), "width=11");
  Save(folder, "IAX_8_width12", kFormatIax, Written(kFormatIax, 8, "", 12), "width=12");
  Save(folder, "Targa_16", kFormatTarga, Written(kFormatTarga, 24, "16"));
  Save(folder, "Targa_32_ydown", kFormatTarga, Written(kFormatTarga, 24, "32 ydown"));
  // Run-length files: grey, colour-mapped and 32-bit, packets across rows.
  const std::vector<std::uint8_t> grey = {0, 0, 11, 0, 0, 0,  0,    0, 0,    0, 0, 0,
                                          3, 0, 2,  0, 8, 32, 0x83, 9, 0x01, 5, 6};
  Save(folder, "Targa_rle_grey", kFormatTarga, grey);
  std::vector<std::uint8_t> mapped = {0, 1, 9, 254, 0, 4, 0, 24, 0, 0, 0, 0, 2, 0, 2, 0, 8, 0};
  for (int i = 0; i < 12; ++i) mapped.push_back(static_cast<std::uint8_t>(i));
  mapped.insert(mapped.end(), {0x82, 254, 0x00, 255});
  Save(folder, "Targa_rle_mapped", kFormatTarga, mapped);
  const std::vector<std::uint8_t> colour = {0, 0,    10, 0, 0, 0,  0, 0,    0,  0, 0,
                                            0, 2,    0,  2, 0, 32, 0, 0x81, 1,  2, 3,
                                            4, 0x01, 5,  6, 7, 8,  9, 10,   11, 12};
  Save(folder, "Targa_rle_32", kFormatTarga, colour);
  return 0;
}
