// The nodes' pixel work over one NTSC field (720 x 240, 345600 bytes), each
// against its reference in the same run: the keys and the luma effect's
// merge against a memcpy of the field, the gradient against a memset. The
// counter "x_reference" is the node's time over the reference's.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "../../videoproc/src/VideoRows.h"
#include "videoproc/ChromaKey.h"
#include "videoproc/DataStream.h"
#include "videoproc/LumaEffect.h"
#include "videoproc/VideoGradient.h"
#include "videoproc/VideoStream_Header.h"

namespace {

constexpr std::size_t kFieldBytes = VideoUYVY_BlockBytes(720, 240);

// A field with a mix of key colour, near misses and other colours, so the
// key takes every branch of its curve.
std::vector<std::uint8_t> Picture() {
  std::vector<std::uint8_t> bytes(kFieldBytes);
  std::mt19937 random(1);
  for (std::size_t i = 0; i < bytes.size(); i += 4) {
    const int near = static_cast<int>(random() % 120);
    bytes[i] = static_cast<std::uint8_t>(60 + near);
    bytes[i + 1] = static_cast<std::uint8_t>(random());
    bytes[i + 2] = static_cast<std::uint8_t>(200 - near);
    bytes[i + 3] = static_cast<std::uint8_t>(random());
  }
  return bytes;
}

void BM_MemcpyField(benchmark::State& state) {
  const auto source = Picture();
  std::vector<std::uint8_t> target(kFieldBytes);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), kFieldBytes);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kFieldBytes);
}
BENCHMARK(BM_MemcpyField);

void BM_MemsetField(benchmark::State& state) {
  std::vector<std::uint8_t> target(kFieldBytes);
  for (auto _ : state) {
    std::memset(target.data(), 0x10, kFieldBytes);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kFieldBytes);
}
BENCHMARK(BM_MemsetField);

// The key works in place, round after round on the same field: the rows have
// no data-dependent branches, so keyed pixels cost what fresh ones do.
void KeyField(benchmark::State& state, ChromaKeyMode mode) {
  auto field = Picture();
  ChromaKeyImplementation key;
  key.SetKeyMode(mode);
  key.SetColors_YUV(120, 110, 150);
  for (auto _ : state) {
    key.ApplyKey(field.data(), nullptr, 720 * 240);
    benchmark::DoNotOptimize(field.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kFieldBytes);
}

void BM_ChromaKeyField(benchmark::State& state) {
  KeyField(state, ChromaKeyMode_Chroma);
}
BENCHMARK(BM_ChromaKeyField);

void BM_LumaKeyHardField(benchmark::State& state) {
  KeyField(state, ChromaKeyMode_Dark);
}
BENCHMARK(BM_LumaKeyHardField);

void BM_LumaKeySoftField(benchmark::State& state) {
  KeyField(state, ChromaKeyMode_LinearDark);
}
BENCHMARK(BM_LumaKeySoftField);

// The luma effect's own work on a field: the masked word operation that
// takes U and V from the chroma picture (reads two fields, writes one).
void BM_LumaEffectMerge(benchmark::State& state) {
  const auto chroma = Picture();
  auto luma = Picture();
  const auto& merge = quellor::videoproc::VideoRows().mergeChroma;
  for (auto _ : state) {
    merge(reinterpret_cast<std::uint32_t*>(luma.data()),
          reinterpret_cast<const std::uint32_t*>(chroma.data()), kFieldBytes / 4);
    benchmark::DoNotOptimize(luma.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kFieldBytes);
}
BENCHMARK(BM_LumaEffectMerge);

// The luma effect's whole render of one field: two flat sources (a fill
// each) and the merge, against the reference memcpy.
void BM_LumaEffectField(benchmark::State& state) {
  VideoGradient luma, chroma;
  luma.SetFlatColour(100, 128, 128);
  chroma.SetFlatColour(50, 90, 240);
  LumaEffect effect;
  effect.SetConnection_In(&luma, 0);
  effect.SetConnection_In(&chroma, 1);
  std::vector<std::uint8_t> pixels(kFieldBytes);
  VideoStream_Header header{720, 240, 0, kVideoAspectRatio, 0.0, 0.0};
  DataStream_Data item;
  item.SetName(kVideoStreamName);
  item.SetNonLocalHeader(&header);
  item.SetHeaderSize(sizeof header);
  item.SetNonLocalData(pixels.data());
  item.SetDataSize(kFieldBytes);
  DataStream stream;
  stream.AddStream(&item);
  bool abort = false;
  for (auto _ : state) {
    effect.Render(&stream, nullptr, &abort);
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kFieldBytes);
}
BENCHMARK(BM_LumaEffectField);

void GradientField(benchmark::State& state, bool flat) {
  VideoGradient gradient;
  if (flat) gradient.SetFlatColour(16, 128, 128);
  std::vector<std::uint8_t> pixels(kFieldBytes);
  VideoStream_Header header{720, 240, 0, kVideoAspectRatio, 0.0, 0.0};
  DataStream_Data item;
  item.SetName(kVideoStreamName);
  item.SetNonLocalHeader(&header);
  item.SetHeaderSize(sizeof header);
  item.SetNonLocalData(pixels.data());
  item.SetDataSize(kFieldBytes);
  DataStream stream;
  stream.AddStream(&item);
  bool abort = false;
  for (auto _ : state) {
    gradient.Render(&stream, nullptr, &abort);
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kFieldBytes);
}

void BM_GradientField(benchmark::State& state) {
  GradientField(state, false);
}
BENCHMARK(BM_GradientField);

void BM_GradientFlatField(benchmark::State& state) {
  GradientField(state, true);
}
BENCHMARK(BM_GradientFlatField);

}  // namespace
