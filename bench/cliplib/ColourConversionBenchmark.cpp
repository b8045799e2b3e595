// BGRA to 4:2:2 and back for one 720 x 480 frame, SIMD and plain rows,
// against memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "ColourRows.h"
#include "board/ColourConversion.h"

namespace {

constexpr int kPixels = 720 * 480;

std::vector<std::uint8_t> Picture() {
  std::vector<std::uint8_t> bgra(kPixels * 4);
  for (std::size_t i = 0; i < bgra.size(); ++i)
    bgra[i] = static_cast<std::uint8_t>(i * 13 + i / 4096);
  return bgra;
}

void BM_EncodeThenDecodeFrame(benchmark::State& state) {
  const std::vector<std::uint8_t> bgra = Picture();
  std::vector<std::uint8_t> ycbcr(kPixels * 2), back(kPixels * 4);
  for (auto _ : state) {
    encode_bgra_ycbcr8(ycbcr.data(), bgra.data(), kPixels);
    decode_ycbcr8_bgra(back.data(), ycbcr.data(), kPixels);
    benchmark::DoNotOptimize(back.data());
    benchmark::ClobberMemory();
  }
  // Bytes read and written by both conversions.
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kPixels *
                          (4 + 2 + 2 + 4));
}
BENCHMARK(BM_EncodeThenDecodeFrame);

// The plain C rows, for comparison with the SIMD rows chosen above.
void BM_EncodeThenDecodeFramePlainRows(benchmark::State& state) {
  const std::vector<std::uint8_t> bgra = Picture();
  std::vector<std::uint8_t> ycbcr(kPixels * 2), back(kPixels * 4);
  for (auto _ : state) {
    quellor::board::BGRAToUYVYRow_C(bgra.data(), ycbcr.data(), kPixels);
    quellor::board::UYVYToBGRARow_C(ycbcr.data(), back.data(), kPixels);
    benchmark::DoNotOptimize(back.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kPixels *
                          (4 + 2 + 2 + 4));
}
BENCHMARK(BM_EncodeThenDecodeFramePlainRows);

// The same bytes moved with memcpy: BGRA into a 4:2:2-sized and back.
void BM_MemcpySameBytes(benchmark::State& state) {
  const std::vector<std::uint8_t> bgra = Picture();
  std::vector<std::uint8_t> ycbcr(kPixels * 4), back(kPixels * 4);
  for (auto _ : state) {
    std::memcpy(ycbcr.data(), bgra.data(), kPixels * 2);
    std::memcpy(back.data(), ycbcr.data(), kPixels * 4);
    benchmark::DoNotOptimize(back.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kPixels *
                          (4 + 2 + 2 + 4));
}
BENCHMARK(BM_MemcpySameBytes);

}  // namespace
