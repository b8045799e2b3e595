// Feeds arbitrary bytes to the image codecs' read path: the first byte picks
// the format and the options (FuzzSelector.h), the rest is the file. Header, palette
// and data must end in a code or succeed without touching memory they do not
// own. Seeds: fuzz/corpus/image_codec_fuzzer/, made by image_codec_seeds.
#include <qlxrapi/codecs/ImageCodecs.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FuzzSelector.h"

namespace {

// Pictures larger than this are not read: their headers are checked, but a
// run should not spend its memory on one input.
constexpr std::size_t kLargestData = 16u << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quellor::codecs;
  if (size < 2) return 0;
  // IMAGE_CODEC_FUZZ_FORMAT=<index> holds a run to one codec, so that its
  // coverage can be reported on its own.
  static const int only = [] {
    const char* text = std::getenv("IMAGE_CODEC_FUZZ_FORMAT");
    return text != nullptr ? std::atoi(text) % kFormatCount : -1;
  }();
  const int format = only >= 0 ? only : fuzzing::FormatOf(data[0]);
  const char* options = fuzzing::OptionsOf(data[0]);
  std::vector<std::uint8_t> bytes(data + 1, data + size);
  std::FILE* file = ::fmemopen(bytes.data(), bytes.size(), "rb");
  if (file == nullptr) return 0;
  BitmapRecord bitmap;
  if (ImageCodecReadHeader(fuzzing::FuzzFileName(), file, format, &bitmap, options) == 0) {
    std::vector<std::uint8_t> palette(kPaletteBytes);
    ImageCodecReadPalette(file, format, &bitmap, palette.data());
    const std::size_t dataSize = ImageDataSize(bitmap);
    if (dataSize > 0 && dataSize <= kLargestData) {
      std::vector<std::uint8_t> pixels(dataSize);
      ImageCodecReadData(file, format, &bitmap, pixels.data());
    }
  }
  std::fclose(file);
  return 0;
}
