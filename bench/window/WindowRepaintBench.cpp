// A full repaint of a 720 x 480 window (fill, blit of a picture of the same
// size, one line of text) against memcpy of the same surface: the window
// system must never be what makes a program miss a video frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "win32/automation/Desktop.h"
#include "windows.h"

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 480;

struct Scene {
  HDC memory = nullptr;
  HBITMAP picture = nullptr;
  HFONT font = nullptr;
  HBRUSH background = nullptr;
  HWND window = nullptr;
};
Scene gScene;

LRESULT CALLBACK RepaintProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wParam, lParam);
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT all{0, 0, kWidth, kHeight};
  FillRect(hdc, &all, gScene.background);
  BitBlt(hdc, 0, 0, kWidth, kHeight, gScene.memory, 0, 0, SRCCOPY);
  HGDIOBJ old = SelectObject(hdc, gScene.font);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, RGB(255, 255, 255));
  DrawTextA(hdc, "00:01:02:03  Video Quellor", -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(hdc, old);
  EndPaint(hwnd, &ps);
  return 0;
}

void SetUpScene() {
  if (gScene.window) return;
  BITMAPINFO bmi{};
  bmi.bmiHeader =
      BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  uint32_t* bits = nullptr;
  gScene.memory = CreateCompatibleDC(nullptr);
  gScene.picture = CreateDIBSection(gScene.memory, &bmi, DIB_RGB_COLORS,
                                    reinterpret_cast<void**>(&bits), nullptr, 0);
  for (int i = 0; i < kWidth * kHeight; ++i) bits[i] = uint32_t(i * 2654435761u);
  SelectObject(gScene.memory, gScene.picture);
  gScene.font =
      CreateFontA(-24, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, ANTIALIASED_QUALITY, 0, "Arial");
  gScene.background = CreateSolidBrush(RGB(16, 16, 16));
  WNDCLASSA wc{};
  wc.lpfnWndProc = RepaintProc;
  wc.lpszClassName = "RepaintBench";
  RegisterClassA(&wc);
  gScene.window = CreateWindowExA(0, "RepaintBench", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth,
                                  kHeight, nullptr, nullptr, nullptr, nullptr);
  quellor::desktop::RunUntilIdle();
}

void BM_WindowRepaint(benchmark::State& state) {
  SetUpScene();
  for (auto _ : state) {
    InvalidateRect(gScene.window, nullptr, FALSE);
    UpdateWindow(gScene.window);
  }
  state.SetItemsProcessed(state.iterations());  // frames
  state.SetBytesProcessed(state.iterations() * int64_t(kWidth) * kHeight * 4);
}
BENCHMARK(BM_WindowRepaint)->Unit(benchmark::kMicrosecond);

void BM_MemcpySurface(benchmark::State& state) {
  std::vector<uint32_t> a(size_t(kWidth) * kHeight, 1), b(size_t(kWidth) * kHeight);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * int64_t(kWidth) * kHeight * 4);
}
BENCHMARK(BM_MemcpySurface)->Unit(benchmark::kMicrosecond);

}  // namespace
