// Writes the seed corpus of image_codec_fuzzer: a small picture of every
// format and depth the codecs write, each prefixed with its format byte, plus
// a few run-length and top-down Targa files the writer does not make.
// Usage: image_codec_seeds <folder>
#include <qlxrapi/codecs/ImageCodecs.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace quellor::codecs;

void Save(const std::string& folder, const std::string& name, int format,
          const std::vector<std::uint8_t>& file) {
  std::FILE* out = std::fopen((folder + "/" + name).c_str(), "wb");
  if (out == nullptr) return;
  const std::uint8_t selector = static_cast<std::uint8_t>(format);
  std::fwrite(&selector, 1, 1, out);
  std::fwrite(file.data(), 1, file.size(), out);
  std::fclose(out);
}

std::vector<std::uint8_t> Written(int format, int bits, const char* options) {
  BitmapRecord bitmap;
  bitmap.width = 11;
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
    bytes.resize(static_cast<std::size_t>(std::ftell(file)));
    std::rewind(file);
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
  }
  std::fclose(file);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
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
