// Reading a 720x576 32-bit Targa skin, plain and run-length encoded, against
// the least any reader must do: read the file's bytes and copy its pixels
// once. Ratio/* reports Targa/Reference of one run (counter "x_reference");
// Ratio_Png and Ratio_Jpeg the same for the picture through libpng and
// libjpeg, for comparison.
#include <benchmark/benchmark.h>

#include "BatchTiming.h"

#include <qlxrapi/codecs/ImageCodecs.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

// After <cstdio>, which they need.
#include <jpeglib.h>
#include <png.h>

namespace {

using namespace quellor::codecs;

constexpr int kWidth = 720;
constexpr int kHeight = 576;

// A skin-like picture: flat areas, gradients and a noisy band, 32-bit BGRA.
std::vector<std::uint8_t> SkinPixels() {
  std::vector<std::uint8_t> pixels(std::size_t{kWidth} * kHeight * 4);
  std::uint32_t noise = 12345;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      std::uint8_t* p = &pixels[(std::size_t{static_cast<unsigned>(y)} * kWidth + x) * 4];
      noise = noise * 1664525u + 1013904223u;
      const bool band = y > 200 && y < 260;
      p[0] = band ? static_cast<std::uint8_t>(noise >> 24) : static_cast<std::uint8_t>(x / 8);
      p[1] = static_cast<std::uint8_t>(y / 4);
      p[2] = x < 360 ? 40 : 200;
      p[3] = x < 16 || y < 16 ? 0 : 255;
    }
  }
  return pixels;
}

std::vector<std::uint8_t> Header(bool runLength) {
  return {0,
          0,
          static_cast<std::uint8_t>(runLength ? 10 : 2),
          0,
          0,
          0,
          0,
          0,
          0,
          0,
          0,
          0,
          kWidth & 0xFF,
          kWidth >> 8,
          kHeight & 0xFF,
          kHeight >> 8,
          32,
          8};
}

// Run-length packets of the pixels, row after row.
void AppendRunLength(std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& pixels) {
  const std::size_t count = pixels.size() / 4;
  auto same = [&](std::size_t a, std::size_t b) {
    return std::memcmp(&pixels[a * 4], &pixels[b * 4], 4) == 0;
  };
  std::size_t i = 0;
  while (i < count) {
    std::size_t run = 1;
    while (i + run < count && run < 128 && same(i, i + run)) ++run;
    if (run > 1) {
      file.push_back(static_cast<std::uint8_t>(127 + run));
      file.insert(file.end(), &pixels[i * 4], &pixels[i * 4] + 4);
      i += run;
      continue;
    }
    std::size_t literal = 1;
    while (i + literal < count && literal < 128 &&
           !(i + literal + 1 < count && same(i + literal, i + literal + 1))) {
      ++literal;
    }
    file.push_back(static_cast<std::uint8_t>(literal - 1));
    file.insert(file.end(), &pixels[i * 4], &pixels[(i + literal) * 4]);
    i += literal;
  }
}

std::string WriteSkin(bool runLength) {
  const std::vector<std::uint8_t> pixels = SkinPixels();
  std::vector<std::uint8_t> file = Header(runLength);
  if (runLength) {
    AppendRunLength(file, pixels);
  } else {
    file.insert(file.end(), pixels.begin(), pixels.end());
  }
  const std::string path =
      (std::filesystem::temp_directory_path() /
       (std::string("qlxrapi_bench_skin_") + (runLength ? "rle" : "plain") + ".tga"))
          .string();
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out != nullptr) {
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
  }
  return path;
}

const std::string& SkinPath(bool runLength) {
  static const std::string plain = WriteSkin(false);
  static const std::string rle = WriteSkin(true);
  return runLength ? rle : plain;
}

// One read of the Targa file through the codec library; false on a failure.
bool ReadTarga(const std::string& path, std::vector<std::uint8_t>& data,
               std::vector<std::uint8_t>& palette) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  BitmapRecord bitmap;
  int code = ImageCodecReadHeader(path.c_str(), file, kFormatTarga, &bitmap, "");
  if (code == 0) code = ImageCodecReadPalette(file, kFormatTarga, &bitmap, palette.data());
  if (code == 0) code = ImageCodecReadData(file, kFormatTarga, &bitmap, data.data());
  std::fclose(file);
  benchmark::DoNotOptimize(data.data());
  return code == 0;
}

// The reference: the file's bytes read whole, then the picture's pixels copied
// once (for the run-length file, from a buffer of the decoded size).
struct Reference {
  explicit Reference(const std::string& filePath)
      : path(filePath),
        file(std::filesystem::file_size(filePath)),
        data(std::size_t{kWidth} * kHeight * 4),
        decoded(data.size(), 1) {}

  void Read() {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    const std::size_t got = in != nullptr ? std::fread(file.data(), 1, file.size(), in) : 0;
    if (in != nullptr) std::fclose(in);
    const std::uint8_t* source = got == data.size() + 18 ? file.data() + 18 : decoded.data();
    std::memcpy(data.data(), source, data.size());
    benchmark::DoNotOptimize(data.data());
  }

  std::string path;
  std::vector<std::uint8_t> file, data, decoded;
};

void TargaRead(benchmark::State& state) {
  const std::string& path = SkinPath(state.range(0) != 0);
  std::vector<std::uint8_t> data(std::size_t{kWidth} * kHeight * 4);
  std::vector<std::uint8_t> palette(kPaletteBytes);
  for (auto _ : state) {
    if (!ReadTarga(path, data, palette)) state.SkipWithError("read failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.size()));
}

void ReferenceReadAndCopy(benchmark::State& state) {
  Reference reference(SkinPath(state.range(0) != 0));
  for (auto _ : state) reference.Read();
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(reference.data.size()));
}

// A reader and the reference in alternating batches: "x_reference" is the
// reader's best batch over the reference's best batch.
template <typename Read>
void RatioOf(benchmark::State& state, const std::string& path, Read read) {
  Reference reference(path);
  quellor::bench::AlternatingRatio(state, "x_reference", "read", 50, read,
                                   [&] { reference.Read(); });
}

void Ratio(benchmark::State& state) {
  const std::string& path = SkinPath(state.range(0) != 0);
  std::vector<std::uint8_t> data(std::size_t{kWidth} * kHeight * 4);
  std::vector<std::uint8_t> palette(kPaletteBytes);
  bool ok = true;
  RatioOf(state, path, [&] { ok = ReadTarga(path, data, palette) && ok; });
  if (!ok) state.SkipWithError("read failed");
}

// The same picture through the dedicated libraries, for comparison: PNG
// (lossless, BGRA) and JPEG (quality 90), each decoded to BGRA pixels.
const std::string& PngPath() {
  static const std::string path = [] {
    const std::string file =
        (std::filesystem::temp_directory_path() / "qlxrapi_bench_skin.png").string();
    std::vector<std::uint8_t> pixels = SkinPixels();
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kWidth;
    image.height = kHeight;
    image.format = PNG_FORMAT_BGRA;
    png_image_write_to_file(&image, file.c_str(), 0, pixels.data(), 0, nullptr);
    return file;
  }();
  return path;
}

bool ReadPng(const std::string& path, std::vector<std::uint8_t>& data) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_BGRA;
  const bool done = PNG_IMAGE_SIZE(image) == data.size() &&
                    png_image_finish_read(&image, nullptr, data.data(), 0, nullptr) != 0;
  png_image_free(&image);
  benchmark::DoNotOptimize(data.data());
  return done;
}

const std::string& JpegPath() {
  static const std::string path = [] {
    const std::string file =
        (std::filesystem::temp_directory_path() / "qlxrapi_bench_skin.jpg").string();
    std::vector<std::uint8_t> pixels = SkinPixels();
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) return file;
    jpeg_compress_struct encoder{};
    jpeg_error_mgr errors{};
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    jpeg_stdio_dest(&encoder, out);
    encoder.image_width = kWidth;
    encoder.image_height = kHeight;
    encoder.input_components = 4;
    encoder.in_color_space = JCS_EXT_BGRA;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, 90, TRUE);
    jpeg_start_compress(&encoder, TRUE);
    while (encoder.next_scanline < encoder.image_height) {
      JSAMPROW row = &pixels[std::size_t{encoder.next_scanline} * kWidth * 4];
      jpeg_write_scanlines(&encoder, &row, 1);
    }
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    std::fclose(out);
    return file;
  }();
  return path;
}

bool ReadJpeg(const std::string& path, std::vector<std::uint8_t>& data) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return false;
  jpeg_decompress_struct decoder{};
  jpeg_error_mgr errors{};
  decoder.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&decoder);
  jpeg_stdio_src(&decoder, in);
  jpeg_read_header(&decoder, TRUE);
  decoder.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&decoder);
  const bool fits = decoder.output_width == kWidth && decoder.output_height == kHeight;
  while (fits && decoder.output_scanline < decoder.output_height) {
    JSAMPROW row = &data[std::size_t{decoder.output_scanline} * kWidth * 4];
    jpeg_read_scanlines(&decoder, &row, 1);
  }
  if (fits) jpeg_finish_decompress(&decoder);
  jpeg_destroy_decompress(&decoder);
  std::fclose(in);
  benchmark::DoNotOptimize(data.data());
  return fits;
}

void Ratio_Png(benchmark::State& state) {
  std::vector<std::uint8_t> data(std::size_t{kWidth} * kHeight * 4);
  bool ok = true;
  RatioOf(state, PngPath(), [&] { ok = ReadPng(PngPath(), data) && ok; });
  if (!ok) state.SkipWithError("read failed");
}

void Ratio_Jpeg(benchmark::State& state) {
  std::vector<std::uint8_t> data(std::size_t{kWidth} * kHeight * 4);
  bool ok = true;
  RatioOf(state, JpegPath(), [&] { ok = ReadJpeg(JpegPath(), data) && ok; });
  if (!ok) state.SkipWithError("read failed");
}

BENCHMARK(TargaRead)->ArgName("rle")->Arg(0)->Arg(1);
BENCHMARK(ReferenceReadAndCopy)->ArgName("rle")->Arg(0)->Arg(1);
BENCHMARK(Ratio)->ArgName("rle")->Arg(0)->Arg(1)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(Ratio_Png)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(Ratio_Jpeg)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
