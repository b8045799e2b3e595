// The display path's picture work against references in the same run:
// stretching a 1920 x 1080 BGRA picture to a 720 x 480 frame against
// libyuv's bilinear ARGBScale, and the 3 x 3 Gaussian over a 720 x 480 BGRA
// frame against memcpy of that frame. The "...VsReference" benchmarks run
// both alternately and report the counter "ratio" (ours over the
// reference's time); the targets are at most 1.5 and at most 3.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include <libyuv.h>

#include "imaging/ImageLibrary.h"

namespace {

struct Picture {
  IplImage* header = nullptr;
  Picture(int width, int height) {
    header =
        iplCreateImageHeader(4, 0, IPL_DEPTH_8U, "RGB", "BGRA", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_TL,
                             IPL_ALIGN_QWORD, width, height, nullptr, nullptr, nullptr, nullptr);
    iplAllocateImage(header, 0, 0);
    for (int i = 0; i < header->imageSize; ++i) {
      header->imageData[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
  }
  ~Picture() { iplDeallocate(header, IPL_IMAGE_ALL); }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  std::uint8_t* Bytes() const { return reinterpret_cast<std::uint8_t*>(header->imageData); }
};

constexpr int kSourceWidth = 1920, kSourceHeight = 1080;
constexpr int kFrameWidth = 720, kFrameHeight = 480;

void Resize(const Picture& source, const Picture& frame) {
  iplResize(source.header, frame.header, kFrameWidth, kSourceWidth, kFrameHeight, kSourceHeight,
            IPL_INTER_LINEAR);
}

void LibyuvScale(const Picture& source, const Picture& frame) {
  libyuv::ARGBScale(source.Bytes(), source.header->widthStep, kSourceWidth, kSourceHeight,
                    frame.Bytes(), frame.header->widthStep, kFrameWidth, kFrameHeight,
                    libyuv::kFilterBilinear);
}

void Gaussian(const Picture& source, const Picture& frame) {
  iplFixedFilter(source.header, frame.header, IPL_GAUSSIAN_3x3);
}

void Copy(const Picture& source, const Picture& frame) {
  std::memcpy(frame.Bytes(), source.Bytes(), static_cast<std::size_t>(source.header->imageSize));
}

using Work = void (*)(const Picture&, const Picture&);

// Runs ours and the reference alternately; "ratio" is ours over reference.
void Compare(benchmark::State& state, const Picture& source, const Picture& frame, Work ours,
             Work reference) {
  using Clock = std::chrono::steady_clock;
  Clock::duration oursTime{}, referenceTime{};
  for (auto _ : state) {
    const auto start = Clock::now();
    ours(source, frame);
    benchmark::ClobberMemory();
    const auto middle = Clock::now();
    reference(source, frame);
    benchmark::ClobberMemory();
    oursTime += middle - start;
    referenceTime += Clock::now() - middle;
  }
  state.counters["ratio"] = std::chrono::duration<double>(oursTime).count() /
                            std::chrono::duration<double>(referenceTime).count();
  state.counters["ours_us"] =
      std::chrono::duration<double, std::micro>(oursTime).count() / state.iterations();
  state.counters["reference_us"] =
      std::chrono::duration<double, std::micro>(referenceTime).count() / state.iterations();
}

void BM_ResizeVsLibyuvARGBScale(benchmark::State& state) {
  const Picture source(kSourceWidth, kSourceHeight), frame(kFrameWidth, kFrameHeight);
  Compare(state, source, frame, Resize, LibyuvScale);
}
BENCHMARK(BM_ResizeVsLibyuvARGBScale)->Unit(benchmark::kMicrosecond);

void BM_GaussianVsMemcpy(benchmark::State& state) {
  const Picture source(kFrameWidth, kFrameHeight), frame(kFrameWidth, kFrameHeight);
  Compare(state, source, frame, Gaussian, Copy);
}
BENCHMARK(BM_GaussianVsMemcpy)->Unit(benchmark::kMicrosecond);

// The same operations alone, for their own times.
void BM_Resize(benchmark::State& state) {
  const Picture source(kSourceWidth, kSourceHeight), frame(kFrameWidth, kFrameHeight);
  for (auto _ : state) Resize(source, frame);
}
BENCHMARK(BM_Resize)->Unit(benchmark::kMicrosecond);

void BM_LibyuvARGBScale(benchmark::State& state) {
  const Picture source(kSourceWidth, kSourceHeight), frame(kFrameWidth, kFrameHeight);
  for (auto _ : state) LibyuvScale(source, frame);
}
BENCHMARK(BM_LibyuvARGBScale)->Unit(benchmark::kMicrosecond);

void BM_Gaussian(benchmark::State& state) {
  const Picture source(kFrameWidth, kFrameHeight), frame(kFrameWidth, kFrameHeight);
  for (auto _ : state) Gaussian(source, frame);
}
BENCHMARK(BM_Gaussian)->Unit(benchmark::kMicrosecond);

void BM_Memcpy(benchmark::State& state) {
  const Picture source(kFrameWidth, kFrameHeight), frame(kFrameWidth, kFrameHeight);
  for (auto _ : state) Copy(source, frame);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);

}  // namespace
