// The first byte of an image_codec_fuzzer input: the format (modulo the
// table's size) and, above it, one of a few option texts, so that the read
// paths behind options (another image of a file, another raw width, records
// with padding) are reached too. Seeds written by the codec tests and by
// image_codec_seeds use the same bytes.
#pragma once

#include <qlxrapi/codecs/ImageCodecs.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace quellor::codecs::fuzzing {

inline constexpr const char* kOptionTexts[] = {"",         "index=1",  "index=2", "fixrec",
                                               "width=11", "width=12", "index=z"};
inline constexpr int kOptionCount = sizeof(kOptionTexts) / sizeof(kOptionTexts[0]);

inline int FormatOf(std::uint8_t selector) {
  return selector % kFormatCount;
}

inline const char* OptionsOf(std::uint8_t selector) {
  return kOptionTexts[(selector / kFormatCount) % kOptionCount];
}

// The byte for format with options; -1 when the options are not in the table.
inline int SelectorFor(int format, const char* options) {
  for (int i = 0; i < kOptionCount; ++i)
    if (std::strcmp(options ? options : "", kOptionTexts[i]) == 0) return format + kFormatCount * i;
  return -1;
}

// The name reads are made under: a file in the temporary folder whose KIPS
// complementary palette (".PAL" beside it) exists, so that KIPS pictures get
// past their header too.
inline const char* FuzzFileName() {
  static const std::string name = [] {
    const std::filesystem::path base = std::filesystem::temp_directory_path() / "image_codec_fuzz";
    if (std::FILE* palette = std::fopen((base.string() + ".PAL").c_str(), "wb")) {
      for (int i = 0; i < 768; ++i) std::fputc(i * 7 & 0xFF, palette);
      std::fclose(palette);
    }
    return base.string() + ".kps";
  }();
  return name.c_str();
}

}  // namespace quellor::codecs::fuzzing
