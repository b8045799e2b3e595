// The nodes' pixel work over one NTSC field (720 x 240, 345600 bytes), each
// against its reference in the same run: the keys and the luma effect's
// merge against a memcpy of the field, the gradient against a memset. The
// BM_Ratio_* benchmarks time the node and its reference in alternating
// batches on the same thread, so both see the same machine; their counter
// "x_reference" is the node's best batch over the reference's best batch
// (thread CPU time; the best batch is the one least disturbed by the other
// programs of a shared machine), "x_reference_mean" the same over all batches.
#include <benchmark/benchmark.h>

#include "BatchTiming.h"

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <functional>
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

// A keyed title over video, the soft keys' everyday work: video of middle
// brightness (fully kept by both luma keys) with some grain, and a black
// band across the lower third holding white letters; the band and the
// letters have soft edges a few pixels wide. Most of the field is one
// key's fully kept area, the band is mixed for the dark key and the
// letters for the light key.
std::vector<std::uint8_t> TitlePicture() {
  std::vector<std::uint8_t> bytes(kFieldBytes);
  std::mt19937 random(2);
  auto ramp = [](int from, int to, int distance, int width) {
    return distance >= width ? to : from + (to - from) * distance / width;
  };
  for (int row = 0; row < 240; ++row) {
    for (int x = 0; x < 720; x += 2) {
      int y = 95 + (x / 4 + row) % 64 + static_cast<int>(random() % 16);
      int u = 110 + (x / 16 + row / 8) % 24, v = 140 - (x / 32 + row / 4) % 20;
      if (row >= 160 && row < 216) {  // the band, its edges 6 rows soft
        y = ramp(y, 16, std::min(row - 160, 215 - row), 6);
        u = ramp(u, 128, std::min(row - 160, 215 - row), 6);
        v = ramp(v, 128, std::min(row - 160, 215 - row), 6);
        const int column = x % 28;  // strokes 14 pixels wide, 3 soft each side
        if (row >= 172 && row < 204 && column >= 7 && column < 21) {
          y = ramp(16, 235, std::min(column - 7, 20 - column) + 1, 4);
        }
      }
      std::uint8_t* pair = &bytes[static_cast<std::size_t>(row * 720 + x) * 2];
      pair[0] = static_cast<std::uint8_t>(u);
      pair[1] = static_cast<std::uint8_t>(y);
      pair[2] = static_cast<std::uint8_t>(v);
      pair[3] = static_cast<std::uint8_t>(std::min(255, y + static_cast<int>(random() % 4)));
    }
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

// Reads one byte of every cache line, so that a field just restored from
// its original is the freshest data in the caches again (the copy also
// brought the original in), as it is when keyed round after round.
void TouchEveryLine(const std::vector<std::uint8_t>& bytes) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 64) sum += bytes[i];
  benchmark::DoNotOptimize(sum);
}

// The key works in place; each round starts again from the original picture
// (untimed), see KeyRatio below.
void KeyField(benchmark::State& state, ChromaKeyMode mode) {
  const auto original = Picture();
  auto field = original;
  ChromaKeyImplementation key;
  key.SetKeyMode(mode);
  key.SetColors_YUV(120, 110, 150);
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(field.data(), original.data(), kFieldBytes);
    TouchEveryLine(field);
    state.ResumeTiming();
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

// ---- Ratios against the reference, measured side by side ----

using quellor::bench::ThreadSeconds;

// What reading the thread's clock twice costs (about a microsecond on a
// virtual machine, where it is a system call): taken off every timed span.
double ClockCost() {
  double best = 1.0;
  for (int i = 0; i < 200; ++i) {
    const double start = ThreadSeconds();
    best = std::min(best, ThreadSeconds() - start);
  }
  return best;
}

// Each benchmark iteration runs one batch of the reference and one of the
// node; each works on buffers of its own, warmed by the first batch. With a
// `prepare` step the node's calls are timed one by one and prepare() runs
// untimed before each: the keys work in place and restore their picture so.
void CompareWithReference(benchmark::State& state, const std::function<void()>& reference,
                          const std::function<void()>& node,
                          const std::function<void()>& prepare = nullptr) {
  constexpr int kBatch = 4;
  const double clockCost = ClockCost();
  auto timed = [clockCost](const std::function<void()>& work, int times) {
    const double start = ThreadSeconds();
    for (int i = 0; i < times; ++i) {
      work();
      benchmark::ClobberMemory();
    }
    return std::max(0.0, ThreadSeconds() - start - clockCost);
  };
  auto batch = [&](const std::function<void()>& work) { return timed(work, kBatch) / kBatch; };
  auto nodeBatch = [&] {
    if (!prepare) return batch(node);
    double seconds = 0;
    for (int i = 0; i < kBatch; ++i) {
      prepare();
      benchmark::ClobberMemory();
      seconds += timed(node, 1);
    }
    return seconds / kBatch;
  };
  batch(reference);
  nodeBatch();
  quellor::bench::BatchSeries referenced, measured;
  for (auto _ : state) {
    referenced.Add(batch(reference));
    measured.Add(nodeBatch());
  }
  quellor::bench::ReportRatio(state, "x_reference", "node", measured, referenced);
}

struct Copy {
  std::vector<std::uint8_t> source = Picture(), target = std::vector<std::uint8_t>(kFieldBytes);
  void operator()() {
    std::memcpy(target.data(), source.data(), kFieldBytes);
    benchmark::DoNotOptimize(target.data());
  }
};

struct Set {
  std::vector<std::uint8_t> target = std::vector<std::uint8_t>(kFieldBytes);
  void operator()() {
    std::memset(target.data(), 0x10, kFieldBytes);
    benchmark::DoNotOptimize(target.data());
  }
};

// One field item over pixels of the caller's.
struct FieldStream {
  VideoStream_Header header{720, 240, 0, kVideoAspectRatio, 0.0, 0.0};
  DataStream_Data item;
  DataStream stream;
  explicit FieldStream(std::vector<std::uint8_t>& pixels) {
    item.SetName(kVideoStreamName);
    item.SetNonLocalHeader(&header);
    item.SetHeaderSize(sizeof header);
    item.SetNonLocalData(pixels.data());
    item.SetDataSize(static_cast<std::uint32_t>(pixels.size()));
    stream.AddStream(&item);
  }
};

// The key works in place, so each call gets the original picture back
// first (untimed): keyed again and again, a picture drifts far from the
// one meant here (the light key turns it black within a few rounds), and
// a key that treated some pictures faster than others would show it.
void KeyRatio(benchmark::State& state, ChromaKeyMode mode,
              const std::vector<std::uint8_t>& original = Picture()) {
  Copy copy;
  auto field = original;
  ChromaKeyImplementation key;
  key.SetKeyMode(mode);
  key.SetColors_YUV(120, 110, 150);
  CompareWithReference(
      state, std::ref(copy),
      [&] {
        key.ApplyKey(field.data(), nullptr, 720 * 240);
        benchmark::DoNotOptimize(field.data());
      },
      [&] {
        std::memcpy(field.data(), original.data(), kFieldBytes);
        TouchEveryLine(field);
      });
}

void BM_Ratio_ChromaKey(benchmark::State& state) {
  KeyRatio(state, ChromaKeyMode_Chroma);
}
BENCHMARK(BM_Ratio_ChromaKey)->Iterations(400);

void BM_Ratio_LumaKeyHard(benchmark::State& state) {
  KeyRatio(state, ChromaKeyMode_Dark);
}
BENCHMARK(BM_Ratio_LumaKeyHard)->Iterations(400);

void BM_Ratio_LumaKeySoft(benchmark::State& state) {
  KeyRatio(state, ChromaKeyMode_LinearDark);
}
BENCHMARK(BM_Ratio_LumaKeySoft)->Iterations(400);

void BM_Ratio_LumaKeySoftLight(benchmark::State& state) {
  KeyRatio(state, ChromaKeyMode_LinearLight);
}
BENCHMARK(BM_Ratio_LumaKeySoftLight)->Iterations(400);

// The soft luma keys over a keyed title (TitlePicture) instead of noise.
void BM_Ratio_LumaKeySoftTitle(benchmark::State& state) {
  KeyRatio(state, ChromaKeyMode_LinearDark, TitlePicture());
}
BENCHMARK(BM_Ratio_LumaKeySoftTitle)->Iterations(400);

void BM_Ratio_LumaKeySoftLightTitle(benchmark::State& state) {
  KeyRatio(state, ChromaKeyMode_LinearLight, TitlePicture());
}
BENCHMARK(BM_Ratio_LumaKeySoftLightTitle)->Iterations(400);

// A node that leaves the stream's pixels as they are: the luma effect's
// inputs, so that only the effect's own work is timed.
class Untouched : public DataStream_Processor {
 public:
  const char* DataStream_StreamsIn(unsigned long) override { return nullptr; }
  const char* DataStream_StreamsOut() override { return "Output"; }
  DataStream_Processor* GetConnection_In(unsigned long) override { return nullptr; }
  bool SetConnection_In(DataStream_Processor*, unsigned long) override { return false; }
  bool Render(DataStream*, DataStream_Processor*, bool*) override { return true; }
  double GetPreferredLength() override { return -1.0; }
};

// The luma effect's render of a field: its chroma picture taken from the
// pool and merged into the caller's (reads two fields, writes one).
void BM_Ratio_LumaEffect(benchmark::State& state) {
  Copy copy;
  Untouched luma, chroma;
  LumaEffect effect;
  effect.SetConnection_In(&luma, 0);
  effect.SetConnection_In(&chroma, 1);
  auto pixels = Picture();
  FieldStream field(pixels);
  bool abort = false;
  CompareWithReference(state, std::ref(copy), [&] {
    effect.Render(&field.stream, nullptr, &abort);
    benchmark::DoNotOptimize(pixels.data());
  });
}
BENCHMARK(BM_Ratio_LumaEffect)->Iterations(400);

void GradientRatio(benchmark::State& state, bool colours) {
  Set set;
  VideoGradient gradient;  // the default corners: a luma ramp
  if (colours) {
    gradient.SetCorner(VideoGradient_TopLeft, 16, 16, 240);
    gradient.SetCorner(VideoGradient_TopRight, 235, 240, 16);
    gradient.SetCorner(VideoGradient_BottomLeft, 128, 128, 128);
    gradient.SetCorner(VideoGradient_BottomRight, 60, 200, 90);
  }
  std::vector<std::uint8_t> pixels(kFieldBytes);
  FieldStream field(pixels);
  bool abort = false;
  CompareWithReference(state, std::ref(set), [&] {
    gradient.Render(&field.stream, nullptr, &abort);
    benchmark::DoNotOptimize(pixels.data());
  });
}

void BM_Ratio_Gradient(benchmark::State& state) {
  GradientRatio(state, false);
}
BENCHMARK(BM_Ratio_Gradient)->Iterations(400);

void BM_Ratio_GradientFourColours(benchmark::State& state) {
  GradientRatio(state, true);
}
BENCHMARK(BM_Ratio_GradientFourColours)->Iterations(400);

}  // namespace
