// The window framework's hot paths against their plain references, measured
// in the same run:
// - an alpha blit of a 720 x 480 BGRA picture onto a window's device context
//   against a memcpy of the picture's bytes;
// - one window message turned into a virtual call and a named notice with one
//   listener against a plain SendMessageA to a window procedure that does
//   nothing.
// BM_Ratio_* time each pair in alternating batches of thread CPU time and
// report the ratio of one run.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BatchTiming.h"

#include <qlxrapi/BaseWindowClass.h>
#include <qlxrapi/DynamicListener.h>
#include <qlxrapi/WindowBitmap.h>

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 480;

// A shown kWidth x kHeight popup for the blits to land on.
HWND OpenShownWindow() {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                         nullptr, nullptr, nullptr);
}

// Colours and alpha that change from pixel to pixel, so no blend is uniform.
void FillWithAlphaRamps(WindowBitmap& picture) {
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      *picture.GetPixel(x, y) =
          WindowPixel{std::uint8_t(x), std::uint8_t(y), 90, std::uint8_t(x + y)};
}

void BM_MemcpyPicture(benchmark::State& state) {
  std::vector<unsigned char> source(std::size_t{kWidth} * kHeight * 4, 7), target(source.size());
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), source.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<long>(source.size()));
}
BENCHMARK(BM_MemcpyPicture);

void BM_AlphaBlitOntoWindow(benchmark::State& state) {
  HWND window = OpenShownWindow();
  WindowBitmap picture(kWidth, kHeight);
  FillWithAlphaRamps(picture);
  HDC dc = GetDC(window);
  for (auto _ : state) benchmark::DoNotOptimize(picture.AlphaBitBlit(dc, 0, 0));
  ReleaseDC(window, dc);
  DestroyWindow(window);
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_AlphaBlitOntoWindow);

LRESULT CALLBACK NothingProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_USER) return 1;
  return DefWindowProcA(window, message, w, l);
}

void BM_PlainSendMessage(benchmark::State& state) {
  HWND window =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NothingProcedure));
  for (auto _ : state) benchmark::DoNotOptimize(SendMessageA(window, WM_USER, 0, 0));
  DestroyWindow(window);
}
BENCHMARK(BM_PlainSendMessage);

class Clicked : public BaseWindowClass {
 public:
  void MouseLButtonClick(long, long x, long) override { benchmark::DoNotOptimize(m_sum += x); }

 private:
  long m_sum = 0;
};

class Listener : public DynamicListener {
 public:
  void DynamicCallback(long id, const char*, void*) override {
    benchmark::DoNotOptimize(m_sum += id);
  }

 private:
  long m_sum = 0;
};

void BM_FrameworkDispatch(benchmark::State& state) {
  Listener listener;
  auto* window = new Clicked;
  window->OpenWindow(nullptr, 0, 0, 10, 10, const_cast<char*>(""), WS_POPUP, 0);
  window->AddDependant(&listener, 1);
  HWND handle = window->GetWindowHandle();
  SendMessageA(handle, WM_NULL, 0, 0);  // the first message opens it
  for (auto _ : state)
    benchmark::DoNotOptimize(SendMessageA(handle, WM_LBUTTONDOWN, 0, 0x00050005));
  DestroyWindow(handle);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
  }
}
BENCHMARK(BM_FrameworkDispatch);

}  // namespace

namespace {

using quellor::bench::AlternatingRatio;

// The alpha blit of a 720 x 480 picture onto a window against a memcpy of
// the picture's bytes ("x_memcpy").
void BM_Ratio_AlphaBlit(benchmark::State& state) {
  HWND window = OpenShownWindow();
  WindowBitmap picture(kWidth, kHeight);
  FillWithAlphaRamps(picture);
  std::vector<unsigned char> target(std::size_t{kWidth} * kHeight * 4);
  HDC dc = GetDC(window);
  bool ok = true;
  AlternatingRatio(
      state, "x_memcpy", "work", 20, [&] { ok = picture.AlphaBitBlit(dc, 0, 0) && ok; },
      [&] {
        std::memcpy(target.data(), picture.GetPixels(), target.size());
        benchmark::ClobberMemory();
      });
  if (!ok) state.SkipWithError("blit failed");
  ReleaseDC(window, dc);
  DestroyWindow(window);
}
BENCHMARK(BM_Ratio_AlphaBlit)->Iterations(30)->Unit(benchmark::kMillisecond);

// One mouse click turned into a virtual call and a named notice heard by one
// listener, against a plain SendMessageA to a procedure that does nothing
// ("x_sendmessage").
void BM_Ratio_Dispatch(benchmark::State& state) {
  Listener listener;
  auto* window = new Clicked;
  window->OpenWindow(nullptr, 0, 0, 10, 10, const_cast<char*>(""), WS_POPUP, 0);
  window->AddDependant(&listener, 1);
  HWND handle = window->GetWindowHandle();
  SendMessageA(handle, WM_NULL, 0, 0);  // the first message opens it
  HWND plain =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  SetWindowLongPtrA(plain, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NothingProcedure));
  AlternatingRatio(
      state, "x_sendmessage", "work", 20000,
      [&] { benchmark::DoNotOptimize(SendMessageA(handle, WM_LBUTTONDOWN, 0, 0x00050005)); },
      [&] { benchmark::DoNotOptimize(SendMessageA(plain, WM_USER, 0, 0)); });
  DestroyWindow(plain);
  DestroyWindow(handle);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
  }
}
BENCHMARK(BM_Ratio_Dispatch)->Iterations(30)->Unit(benchmark::kMillisecond);

// The parts of the alpha blit: one device-context copy, and the blend alone.
void BM_BitBltFromWindow(benchmark::State& state) {
  HWND window = OpenShownWindow();
  WindowBitmap picture(kWidth, kHeight);
  HDC dc = GetDC(window);
  for (auto _ : state)
    benchmark::DoNotOptimize(BitBlt(picture.GetHDC(), 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY));
  ReleaseDC(window, dc);
  DestroyWindow(window);
}
BENCHMARK(BM_BitBltFromWindow);

}  // namespace
