// Dragging over a layout of 1000 items: one mouse move taken from the queue
// by the drag-and-drop context, which finds the target under the cursor,
// places the dragged item by the layout's drop rule and applies the layout
// (the live feedback), against the same mouse move dispatched to the same
// windows with no drag under way, in the same run.
#include <benchmark/benchmark.h>

#include "BatchTiming.h"

#include <algorithm>

#include <qlxrapi/DragNDropContext.h>
#include <qlxrapi/LayoutRules.h>
#include <qlxrapi/MessageQueue.h>
#include <qlxrapi/UtilLib_FreeFormLayout.h>
#include <qlxrapi/UtilLib_SimpleGrid.h>
#include <qlxrapi/WindowLayout.h>
#include <win32/automation/Desktop.h>

namespace {

namespace desktop = quellor::desktop;

constexpr int kItems = 1000;
constexpr int kItemSize = 20;
constexpr int kLayoutWidth = 800;  // 40 items a line, 25 lines

class Item : public BaseWindowClass, public Control_DragNDrop {
 public:
  bool DragNDrop_ShouldIDragAndDrop(HWND) override { return true; }
};

// A top-level window holding one layout of kItems items and one more item
// (the one dragged) in a small grid beside it.
template <typename Layout>
struct Scene {
  Scene() {
    top = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_NOTIFY, 0, 0, 1200, 700,
                          nullptr, nullptr, nullptr, nullptr);
    layout = new Layout;
    layout->OpenWindow(top, 0, 0, kLayoutWidth, 600, const_cast<char*>(""),
                       WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0);
    source = new UtilLib_SimpleGrid;
    source->OpenWindow(top, 900, 0, 200, 200, const_cast<char*>(""),
                       WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0);
    layout->MultipleLayouts_Start();
    for (int i = 0; i < kItems; ++i) {
      auto* child = new Item;
      child->OpenWindow(layout->GetWindowHandle(), (i % 40) * kItemSize, (i / 40) * kItemSize,
                        kItemSize, kItemSize, const_cast<char*>(""),
                        WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0);
    }
    layout->MultipleLayouts_Finished(true);
    auto* dragged = new Item;
    dragged->OpenWindow(source->GetWindowHandle(), 0, 0, kItemSize, kItemSize,
                        const_cast<char*>(""), WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0);
    item = dragged->GetWindowHandle();
    FlushMessageQueue();
  }
  ~Scene() {
    desktop::ReleaseButton(desktop::Button::Left, 1150, 650);
    FlushMessageQueue();
    DestroyWindow(top);
    FlushMessageQueue();
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  // Presses on the item and drags it into the layout.
  void StartDrag() {
    desktop::PressButton(desktop::Button::Left, 910, 10);
    desktop::MoveMouse(300, 300);
    FlushMessageQueue();
  }
  HWND top = nullptr;
  HWND item = nullptr;
  Layout* layout = nullptr;
  UtilLib_SimpleGrid* source = nullptr;
};

// Moves to and fro inside the layout, one move per iteration: by `step`
// pixels each way. Small moves keep the drop in one place (only the dragged
// item follows in a free-form layout; nothing moves in a grid); a move of
// two item widths makes a grid shift every item after the drop place.
//
// Besides the mean, the counter "best_ms" is the thread CPU time of a move in
// the least disturbed batch of 50: on a shared machine the other programs
// make the mean swing far more than the work does.
using quellor::bench::ThreadSeconds;

void MoveBackAndForth(benchmark::State& state, int step) {
  constexpr int kBatch = 50;
  int n = 0;
  double batchStart = ThreadSeconds(), best = 1e9;
  for (auto _ : state) {
    ++n;
    desktop::MoveMouse(300 + (n & 1) * step, 300);
    FlushMessageQueue();
    if (n % kBatch == 0) {
      const double now = ThreadSeconds();
      best = std::min(best, (now - batchStart) / kBatch);
      batchStart = now;
    }
  }
  if (best < 1e9) state.counters["best_ms"] = best * 1e3;
}

void BM_MouseMoveWithoutDrag(benchmark::State& state) {
  Scene<UtilLib_SimpleGrid> scene;
  DragNDropContext context;
  MoveBackAndForth(state, 3);
}
BENCHMARK(BM_MouseMoveWithoutDrag)->Unit(benchmark::kMicrosecond);

template <typename Layout>
void BM_DragMoveOver1000Items(benchmark::State& state) {
  const int step = static_cast<int>(state.range(0));
  Scene<Layout> scene;
  DragNDropContext context;
  scene.StartDrag();
  if (!context.IsDragging() || GetParent(scene.item) != scene.layout->GetWindowHandle()) {
    state.SkipWithError("the drag did not reach the layout");
    return;
  }
  MoveBackAndForth(state, step);
}
BENCHMARK_TEMPLATE(BM_DragMoveOver1000Items, UtilLib_SimpleGrid)
    ->Arg(3)
    ->Arg(40)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_DragMoveOver1000Items, UtilLib_FreeFormLayout)
    ->Arg(3)
    ->Unit(benchmark::kMicrosecond);

// The placement rules alone, on lists of 1000 items taken from the pool:
// the part of a drag move that is the framework's own arithmetic.
WindowLayout_Item* GridOf1000() {
  WindowLayout_Item* head = nullptr;
  for (int i = kItems; i-- > 0;) {
    WindowLayout_Item* item = WindowLayout::NewChild();
    item->x = (i % 40) * kItemSize;
    item->y = (i / 40) * kItemSize;
    item->width = item->height = kItemSize;
    item->next = head;
    head = item;
  }
  return head;
}

WindowLayout_Item* OneDropped() {
  WindowLayout_Item* item = WindowLayout::NewChild();
  item->x = 303;
  item->y = 297;
  item->width = item->height = kItemSize;
  return item;
}

void BM_GridDropRule1000(benchmark::State& state) {
  for (auto _ : state) {
    WindowLayout_Item* list =
        quellor::win::GridDropPlacement(kLayoutWidth, 303, 297, GridOf1000(), OneDropped(), 0, 0);
    benchmark::DoNotOptimize(list);
    WindowLayout::FreeLayout(list);
  }
}
BENCHMARK(BM_GridDropRule1000)->Unit(benchmark::kMicrosecond);

int NoStretch(HWND) {
  return 0;
}

void BM_FreeFormDropRule1000(benchmark::State& state) {
  for (auto _ : state) {
    WindowLayout_Item* list = quellor::win::FreeFormDropPlacement(
        kLayoutWidth, 600, GridOf1000(), OneDropped(), false, 7, &NoStretch);
    benchmark::DoNotOptimize(list);
    WindowLayout::FreeLayout(list);
  }
}
BENCHMARK(BM_FreeFormDropRule1000)->Unit(benchmark::kMicrosecond);

}  // namespace
