// Presenting a 720x480 window to X against the subset's own repaint of it.
// The reference is the repaint a preview makes every field (StretchDIBits of
// a 720x480 picture into the window and the paint cycle around it); the
// measured one is the presenter's share: copy what was drawn out of the
// surface and put it to the server (MIT-SHM, or plain XPutImage with
// QUELLOR_X_NO_SHM=1). BM_PresentToX lets the server draw while the next
// picture is painted, as the presenter does; BM_PresentToXAndWait also
// waits until the server has drawn it. Needs DISPLAY (run under xvfb-run);
// skipped otherwise. Compare CPU times on a busy machine: the server is
// another process.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "XPresenter.h"
#include "win32/automation/Desktop.h"
#include "windows.h"

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 480;
std::vector<uint32_t> g_picture(size_t(kWidth) * kHeight);
int g_frame = 0;

LRESULT CALLBACK PreviewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcA(hwnd, message, wParam, lParam);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  StretchDIBits(dc, 0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight, g_picture.data(), &info,
                DIB_RGB_COLORS, SRCCOPY);
  EndPaint(hwnd, &ps);
  return 0;
}

HWND PreviewWindow() {
  static HWND hwnd = [] {
    setenv("QUELLOR_HEADLESS", "1", 1);  // the benchmark drives its own presenter
    WNDCLASSA wc{};
    wc.lpfnWndProc = PreviewProc;
    wc.lpszClassName = "PresentBench";
    RegisterClassA(&wc);
    for (size_t i = 0; i < g_picture.size(); ++i) g_picture[i] = uint32_t(i * 2654435761u);
    return CreateWindowExA(0, "PresentBench", "present", WS_POPUP | WS_VISIBLE, 0, 0, kWidth,
                           kHeight, nullptr, nullptr, nullptr, nullptr);
  }();
  return hwnd;
}

void Repaint(HWND hwnd) {
  g_picture[size_t(g_frame++ % kWidth)] ^= 0xFFFFFF;  // a new picture each time
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
}

void BM_SubsetRepaint(benchmark::State& state) {
  HWND hwnd = PreviewWindow();
  for (auto _ : state) Repaint(hwnd);
}
BENCHMARK(BM_SubsetRepaint)->Unit(benchmark::kMicrosecond);

quellor::display::XPresenter* Presenter(benchmark::State& state) {
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("DISPLAY is not set (run under xvfb-run)");
    return nullptr;
  }
  static auto presenter = std::make_unique<quellor::display::XPresenter>(nullptr);
  if (!presenter->Connected()) {
    state.SkipWithError(presenter->Error().c_str());
    return nullptr;
  }
  state.SetLabel(presenter->UsesShm() ? "MIT-SHM" : "XPutImage");
  return presenter.get();
}

void PresentLoop(benchmark::State& state, bool wait) {
  HWND hwnd = PreviewWindow();
  quellor::display::XPresenter* presenter = Presenter(state);
  if (!presenter) return;
  presenter->Sync(true);
  for (auto _ : state) {
    state.PauseTiming();
    Repaint(hwnd);
    state.ResumeTiming();
    presenter->Sync();
    if (wait) presenter->WaitForPuts();
  }
}

void BM_PresentToX(benchmark::State& state) {
  PresentLoop(state, false);
}
BENCHMARK(BM_PresentToX)->Unit(benchmark::kMicrosecond);

void BM_PresentToXAndWait(benchmark::State& state) {
  PresentLoop(state, true);
}
BENCHMARK(BM_PresentToXAndWait)->Unit(benchmark::kMicrosecond);

}  // namespace
