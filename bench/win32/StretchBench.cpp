// StretchBlt of a full 720 x 480 destination (a stretched window background)
// against copying the same destination once with memcpy, measured in the same
// run: HALFTONE enlarging and shrinking, the nearest-pixel mode, and the
// halftone stretch on the plain C rows (what processors without the fast
// rows get).
#include <windows.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "Stretch.h"

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 480;

// A memory DC holding a top-down 32-bit DIB section of noise.
class Surface {
 public:
  Surface(int width, int height) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<uint32_t*>(bits);
    std::mt19937 random(unsigned(width * 31 + height));
    for (int i = 0; i < width * height; ++i) bits_[i] = random();
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  uint32_t* bits() const { return bits_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint32_t* bits_;
};

void BM_CopyDestination(benchmark::State& state) {
  std::vector<uint32_t> from(size_t(kWidth) * kHeight, 1), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(from.size() * 4));
}
BENCHMARK(BM_CopyDestination);

// Argument 0: source width; the source keeps the destination's aspect.
void Stretch(benchmark::State& state, int mode) {
  const int sw = int(state.range(0)), sh = sw * kHeight / kWidth;
  Surface src(sw, sh), dst(kWidth, kHeight);
  SetStretchBltMode(dst.dc(), mode);
  for (auto _ : state) {
    StretchBlt(dst.dc(), 0, 0, kWidth, kHeight, src.dc(), 0, 0, sw, sh, SRCCOPY);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * 4);
}

void BM_HalftoneStretch(benchmark::State& state) {
  Stretch(state, HALFTONE);
}
BENCHMARK(BM_HalftoneStretch)->Arg(64)->Arg(240)->Arg(1440);

void BM_NearestStretch(benchmark::State& state) {
  Stretch(state, COLORONCOLOR);
}
BENCHMARK(BM_NearestStretch)->Arg(240);

void BM_HalftoneStretchPlainRows(benchmark::State& state) {
  const int sw = int(state.range(0)), sh = sw * kHeight / kWidth;
  std::vector<uint32_t> src(size_t(sw) * sh, 0x00808080), dst(size_t(kWidth) * kHeight);
  quellor::win32::StretchJob job{sw, sh, kWidth, kHeight, true, 0, 0, kWidth, kHeight};
  for (auto _ : state) {
    quellor::win32::Stretch(
        job,
        [&](int y, int x, int count, uint32_t* out) {
          std::memcpy(out, &src[size_t(y) * sw + x], size_t(count) * 4);
        },
        [&](int y, const uint32_t* pixels) {
          std::memcpy(&dst[size_t(y) * kWidth], pixels, kWidth * 4);
        },
        quellor::win32::PlainStretchRows());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * 4);
}
BENCHMARK(BM_HalftoneStretchPlainRows)->Arg(64)->Arg(240)->Arg(1440);

}  // namespace
