// The whole path of one clipboard change, as the viewer runs it: the
// notification reaches the main window, the display routine reads a 1920 x
// 1080 bitmap from the clipboard, stretches it to 720 x 480, de-interlaces it
// and submits it; the hub's thread converts it to YCbCr 4:2:2 and queues its
// two fields on the producer. Timed until both fields are queued. The board's
// field clock is manual, so showing the fields (which lets the next frame
// go) is done between timings.
//
// Reference in the same run: one memcpy of the 1920 x 1080 BGRA picture.
// Counters: "cpu_ms" the CPU time of the whole process (main and hub threads)
// per change, "hub_allocs_per_frame" the heap allocations of the hub's thread
// per frame outside the support library (it must be 0), and
// "board_allocs_per_frame" those inside the virtual board's queueing call.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AllocationCounter.h"
#include "app/ClipViewer.h"
#include "app/Pause.h"
#include "board/testing/BoardClock.h"
#include "hub/HubBoardCalls.h"
#include "win32/automation/Answers.h"
#include "win32/automation/Desktop.h"
#include "win32/clipboard.h"

namespace {

using quellor::clipviewer::ClipViewer;

constexpr int kBitmapWidth = 1920;
constexpr int kBitmapHeight = 1080;

double ProcessCpuMs() {
  timespec now = {};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// Allocations made inside the support library's queueing call are the
// board's, not the hub's: counted apart.
thread_local bool tInBoard = false;
std::uint64_t gBoardAllocations = 0;
BOOL CountedQueueField(DWORD producer, const RTME_FieldDescriptor* field, void* context) {
  const std::uint64_t before = quellor::bench::OtherThreadAllocations();
  tInBoard = true;
  const BOOL queued = Harmonex_QueueField(producer, field, context);
  tInBoard = false;
  gBoardAllocations += quellor::bench::OtherThreadAllocations() - before;
  return queued;
}

// A viewer on a private board, started, with a 1920 x 1080 bitmap on the
// clipboard.
class RunningViewer {
 public:
  RunningViewer() {
    quellor::bench::MarkBenchmarkThread();
    const auto folder =
        std::filesystem::temp_directory_path() / ("clipviewer-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder / "board");
    std::filesystem::create_directories(folder / "windows");
    folder_ = folder.string();
    setenv("QUELLOR_BOARD_DIR", (folder / "board").c_str(), 1);
    setenv("QUELLOR_WINDIR", (folder / "windows").c_str(), 1);
    quellor::board::testing::ResetBoard();
    quellor::board::testing::UseManualClock(0);
    quellor::clipviewer::SetPauseFunction([](DWORD) {});
    quellor::clipviewer::HubBoard().queueField = CountedQueueField;
    quellor::desktop::SetAnswerHook([](const quellor::desktop::Question&) {
      return std::optional<quellor::desktop::Answer>(quellor::desktop::Answer{IDOK, {}, 0});
    });
    viewer_ = std::make_unique<ClipViewer>();
    viewer_->InitialiseStatics();
    viewer_->State().deInterlace = true;
    viewer_->State().resizeMode = quellor::clipviewer::ResizeMode::StretchToFit;
    viewer_->StartUp("");
    quellor::desktop::RunUntilIdle();
    PutBitmap();
  }
  ~RunningViewer() {
    viewer_.reset();
    quellor::board::testing::ResetBoard();
    std::filesystem::remove_all(folder_);
  }

  // One clipboard change, timed until the hub has queued its frame.
  void Change() {
    const unsigned before = viewer_->Hub()->FramesQueued();
    SendMessageA(viewer_->MainWindow(), WM_DRAWCLIPBOARD, 0, 0);
    while (viewer_->Hub()->FramesQueued() == before) std::this_thread::yield();
  }
  // The board shows the queued frame (its completion lets the next one go).
  static void ShowQueuedFrame() { quellor::board::testing::AdvanceFields(4); }

 private:
  void PutBitmap() {
    BITMAPINFO info = {};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), kBitmapWidth, -kBitmapHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < kBitmapHeight; ++y)
      for (int x = 0; x < kBitmapWidth; ++x)
        pixels[y * kBitmapWidth + x] = static_cast<std::uint32_t>(x * 7 + y * 13) * 0x010203u;
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
    quellor::desktop::RunUntilIdle();
    ShowQueuedFrame();
  }

  std::string folder_;
  std::unique_ptr<ClipViewer> viewer_;
};

void BM_ClipboardChangeToQueuedFields(benchmark::State& state) {
  RunningViewer viewer;
  for (int warm = 0; warm < 3; ++warm) {
    viewer.Change();
    RunningViewer::ShowQueuedFrame();
  }
  const std::uint64_t allocationsBefore = quellor::bench::OtherThreadAllocations();
  const std::uint64_t boardBefore = gBoardAllocations;
  std::int64_t frames = 0;
  double cpuMs = 0;
  for (auto _ : state) {
    const double cpuStart = ProcessCpuMs();
    viewer.Change();
    cpuMs += ProcessCpuMs() - cpuStart;
    state.PauseTiming();
    RunningViewer::ShowQueuedFrame();
    ++frames;
    state.ResumeTiming();
  }
  const double board = static_cast<double>(gBoardAllocations - boardBefore);
  const double all =
      static_cast<double>(quellor::bench::OtherThreadAllocations() - allocationsBefore);
  const double perFrame = frames ? 1.0 / static_cast<double>(frames) : 0;
  state.counters["hub_allocs_per_frame"] = (all - board) * perFrame;
  state.counters["board_allocs_per_frame"] = board * perFrame;
  state.counters["cpu_ms"] = cpuMs * perFrame;
}
BENCHMARK(BM_ClipboardChangeToQueuedFields)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reference: copying the clipboard's 1920 x 1080 BGRA picture once.
void BM_ReferenceCopyOf1080Picture(benchmark::State& state) {
  std::vector<std::uint32_t> from(kBitmapWidth * kBitmapHeight, 0x00808080u);
  std::vector<std::uint32_t> to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ReferenceCopyOf1080Picture)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
