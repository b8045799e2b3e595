// A full repaint of a 720 x 480 panel of 40 controls: skinned framework
// controls (buttons, toggle buttons, sliders on a canvas with the library's
// default looks) against the same panel of the window system's own controls
// (push buttons, check boxes and trackbars on a static window), measured in
// the same run. The skinned panel is measured with and without the canvas's
// background cache. The BM_Ratio_* benchmarks repaint both panels in
// alternating batches on one thread, so both see the same machine; their
// counter "x_plain" is the skinned panel's best batch over the plain panel's
// best batch (thread CPU time), "x_plain_mean" the same over all batches.
#include <benchmark/benchmark.h>

#include "BatchTiming.h"

#include <algorithm>

#include <qlxrapi/DefaultResources.h>
#include <qlxrapi/PluginClass.h>
#include <qlxrapi/UtilLib_Canvas.h>
#include <win32/controls.h>

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 480;
constexpr int kColumns = 4;
constexpr int kRows = 10;

// Cell (column, row) of the panel's grid.
RECT Cell(int index) {
  const int column = index % kColumns, row = index / kColumns;
  const int x = 10 + column * (kWidth / kColumns), y = 8 + row * (kHeight / kRows);
  return RECT{x, y, x + 160, y + 24};
}

void RunQueue() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void Repaint(benchmark::State& state, HWND panel) {
  RunQueue();
  for (auto _ : state)
    RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  state.SetItemsProcessed(state.iterations() * kColumns * kRows);
}

// The panels without the benchmark loop around them.
HWND MakePlainPanel() {
  HWND panel = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                               nullptr, nullptr, nullptr, nullptr);
  for (int i = 0; i < kColumns * kRows; ++i) {
    const RECT r = Cell(i);
    const char* kind = i % 3 == 2 ? "msctls_trackbar32" : "BUTTON";
    const DWORD style = WS_CHILD | WS_VISIBLE | (i % 3 == 1 ? BS_AUTOCHECKBOX : 0);
    CreateWindowExA(0, kind, "Control", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    panel, nullptr, nullptr, nullptr);
  }
  return panel;
}

HWND MakeSkinnedPanel(bool cached) {
  auto* panel = new UtilLib_Canvas;
  panel->OpenWindow(nullptr, 0, 0, kWidth, kHeight, const_cast<char*>(""), WS_POPUP | WS_VISIBLE,
                    0);
  panel->Canvas_SetResource(quellor::win::DefaultCanvasBackground());
  panel->Canvas_SetCaching(cached);
  const char* kinds[] = {"UtilLib_Button", "UtilLib_ToggleButton", "UtilLib_Slider"};
  for (int i = 0; i < kColumns * kRows; ++i) {
    const RECT r = Cell(i);
    Orvane_New(const_cast<char*>(kinds[i % 3]), panel->GetWindowHandle(), r.left, r.top,
               r.right - r.left, r.bottom - r.top, const_cast<char*>(""), WS_CHILD | WS_VISIBLE, 0);
  }
  return panel->GetWindowHandle();
}

void BM_PlainPanelRepaint(benchmark::State& state) {
  HWND panel = MakePlainPanel();
  Repaint(state, panel);
  DestroyWindow(panel);
  RunQueue();
}
BENCHMARK(BM_PlainPanelRepaint);

void SkinnedPanelRepaint(benchmark::State& state, bool cached) {
  HWND window = MakeSkinnedPanel(cached);
  Repaint(state, window);
  DestroyWindow(window);
  RunQueue();
}

void BM_SkinnedPanelRepaint(benchmark::State& state) {
  SkinnedPanelRepaint(state, false);
}
BENCHMARK(BM_SkinnedPanelRepaint);

void BM_SkinnedPanelRepaintCached(benchmark::State& state) {
  SkinnedPanelRepaint(state, true);
}
BENCHMARK(BM_SkinnedPanelRepaintCached);

// The skinned panel's repaint against the plain panel's in alternating
// batches of 20 ("x_plain").
void RatioToPlain(benchmark::State& state, bool cached) {
  HWND plain = MakePlainPanel(), skinned = MakeSkinnedPanel(cached);
  RunQueue();
  auto repaint = [](HWND panel) {
    return [panel] {
      RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
  };
  quellor::bench::AlternatingRatio(state, "x_plain", "skinned", 20, repaint(skinned),
                                   repaint(plain));
  DestroyWindow(skinned);
  DestroyWindow(plain);
  RunQueue();
}

void BM_Ratio_SkinnedPanelRepaint(benchmark::State& state) {
  RatioToPlain(state, false);
}
BENCHMARK(BM_Ratio_SkinnedPanelRepaint)->Iterations(15)->Unit(benchmark::kMillisecond);

void BM_Ratio_SkinnedPanelRepaintCached(benchmark::State& state) {
  RatioToPlain(state, true);
}
BENCHMARK(BM_Ratio_SkinnedPanelRepaintCached)->Iterations(15)->Unit(benchmark::kMillisecond);

}  // namespace
