// BGRA to 4:2:2 and back for one 720 x 480 frame, SIMD and plain rows,
// against memcpy of the same bytes; and the encode rows against each other
// in alternating batches: "x_libyuv" is the one-pass AVX2 row over libyuv's
// two passes, "x_streaming" the streaming AVX2 row over the normal one.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <emmintrin.h>
#include <vector>

#include "BatchTiming.h"
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

// One frame encoded by each row, into 32-byte aligned 4:2:2 memory.
void BM_Ratio_EncodeRows(benchmark::State& state) {
  if (!quellor::board::ColourAVX2Available()) {
    state.SkipWithError("no AVX2");
    return;
  }
  const std::vector<std::uint8_t> bgra = Picture();
  std::vector<std::uint8_t> ycbcr(kPixels * 2 + 32);
  std::uint8_t* out = ycbcr.data() + (32 - reinterpret_cast<std::uintptr_t>(ycbcr.data()) % 32);
  auto encode = [&](auto row) { return [&bgra, out, row] { row(bgra.data(), out, kPixels); }; };
  using quellor::bench::BatchSeconds;
  quellor::bench::BatchSeries avx2, libyuv, streaming;
  for (auto _ : state) {
    avx2.Add(BatchSeconds(20, encode(quellor::board::BGRAToUYVYRow_AVX2)));
    libyuv.Add(BatchSeconds(20, encode(quellor::board::BGRAToUYVYRow_Fast)));
    streaming.Add(BatchSeconds(20, [&] {
      quellor::board::BGRAToUYVYRowStreaming_AVX2(bgra.data(), out, kPixels);
      _mm_sfence();
    }));
  }
  quellor::bench::ReportRatio(state, "x_libyuv", "avx2", avx2, libyuv);
  state.counters["x_streaming"] = streaming.best / avx2.best;
}
BENCHMARK(BM_Ratio_EncodeRows)->Iterations(30);

}  // namespace
