// Reading a 720x576 32-bit Targa skin, plain and run-length encoded, against
// the least any reader must do: read the file's bytes and copy its pixels
// once. Ratio/* reports Targa/Reference of one run (counter "x_reference").
#include <benchmark/benchmark.h>

#include <qlxrapi/codecs/ImageCodecs.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <time.h>

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

double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Thread CPU seconds of one call of read, over a batch of them.
template <typename Read>
double Batch(Read read) {
  constexpr int kBatch = 50;
  const double start = ThreadSeconds();
  for (int i = 0; i < kBatch; ++i) read();
  return (ThreadSeconds() - start) / kBatch;
}

// The codec and the reference in alternating batches on one thread, so both
// see the same machine: "x_reference" is the codec's best batch over the
// reference's best batch, "x_reference_mean" the same over all batches.
void Ratio(benchmark::State& state) {
  const std::string& path = SkinPath(state.range(0) != 0);
  std::vector<std::uint8_t> data(std::size_t{kWidth} * kHeight * 4);
  std::vector<std::uint8_t> palette(kPaletteBytes);
  Reference reference(path);
  bool ok = true;
  auto targa = [&] { ok = ReadTarga(path, data, palette) && ok; };
  auto plain = [&] { reference.Read(); };
  Batch(targa), Batch(plain);  // warm both first
  double bestTarga = 1e9, bestReference = 1e9, sumTarga = 0, sumReference = 0;
  for (auto _ : state) {
    const double t = Batch(targa), r = Batch(plain);
    bestTarga = std::min(bestTarga, t), bestReference = std::min(bestReference, r);
    sumTarga += t, sumReference += r;
  }
  if (!ok) state.SkipWithError("read failed");
  state.counters["x_reference"] = bestTarga / bestReference;
  state.counters["x_reference_mean"] = sumTarga / sumReference;
  state.counters["targa_us"] = bestTarga * 1e6;
  state.counters["reference_us"] = bestReference * 1e6;
}

BENCHMARK(TargaRead)->ArgName("rle")->Arg(0)->Arg(1);
BENCHMARK(ReferenceReadAndCopy)->ArgName("rle")->Arg(0)->Arg(1);
BENCHMARK(Ratio)->ArgName("rle")->Arg(0)->Arg(1)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
