// A whole graph played out of the board on its manual clock: clip input ->
// chroma key -> luma effect (its luma from a gradient) -> board output, NTSC
// and PAL. Each round hands the board one frame (two fields) once the output
// has handed the previous one over. The counters: "x_realtime", the frame
// rate reached over the standard's (wall clock), "x_realtime_cpu", the same
// over the process's CPU time (the machine is shared), and "allocs_per_frame", the process's
// allocations (operator new and malloc) per frame after the warm-up, on every
// thread but the one driving the board's clock.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <windows.h>

#include <board/testing/BoardClock.h>
#include <cliplib/clip/ClipWriter.h>

#include <time.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "AllocationCounter.h"
#include "videoproc/ChromaKey.h"
#include "videoproc/LumaEffect.h"
#include "videoproc/RTVFileInput.h"
#include "videoproc/VideoGradient.h"
#include "videoproc/VideoQuellorOutput.h"

namespace {

const std::string& Folder() {
  static const std::string folder = "/tmp/quellor-bench-videoproc-" + std::to_string(getpid());
  return folder;
}

void PrepareBoard() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  std::filesystem::create_directories(Folder());
  setenv("QUELLOR_BOARD_DIR", (Folder() + "/board").c_str(), 1);
  std::atexit([] { std::filesystem::remove_all(Folder()); });
  quellor::board::testing::UseManualClock(0);
}

// 30 frames of a mid-grey picture with a keyed-colour stripe.
std::string MakeClip(unsigned lines) {
  const std::string path = Folder() + "/clip" + std::to_string(lines) + ".rtv";
  quellor::clip::ClipWriter::Create(path.c_str(), 2, 0, 720, lines,
                                    lines == 240 ? 29.97002997f : 25.0f);
  const std::size_t words = std::size_t{720} * lines;
  std::unique_ptr<std::uint32_t, decltype(&std::free)> frame(
      static_cast<std::uint32_t*>(std::aligned_alloc(4096, (words * 4 + 4095) / 4096 * 4096)),
      &std::free);
  for (std::size_t i = 0; i < words; ++i) {
    frame.get()[i] =
        (i % 360) < 120 ? VideoUYVY_Word(101, 120, 94, 120) : VideoUYVY_Word(128, 128, 128, 128);
  }
  for (int f = 0; f < 30; ++f) quellor::clip::ClipWriter::WriteFrame(path.c_str(), frame.get());
  quellor::clip::ClipWriter::Close(path.c_str());
  return path;
}

// CPU time of all the process's threads: what the graph would take on one
// core of its own, whatever else the machine runs.
double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

// Polls every 50 us (a spin would count as the graph's CPU time).
bool WaitForShown(VideoQuellorOutput& out, std::uint64_t count) {
  for (int polls = 0; polls < 100000; ++polls) {
    if (out.GetCounters().shown >= count) return true;
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  return false;
}

void PlayGraph(benchmark::State& state, bool ntsc) {
  PrepareBoard();
  const std::string clip = MakeClip(ntsc ? 240 : 288);
  RTVFileInput input;
  input.FileSelect_Set(0, clip.c_str());
  ChromaKey key;
  key.SetConnection_In(&input, 0);
  VideoGradient gradient;
  LumaEffect effect;
  effect.SetConnection_In(&gradient, 0);
  effect.SetConnection_In(&key, 1);
  VideoQuellorOutput out;
  out.SetStandardFlag(ntsc ? 1 : 0);
  out.SetConnection_In(&effect, 0);
  out.GetLoopingMode()->Set(1);
  out.GetFrameIncrement()->Set(1.0);

  std::uint64_t frames = 0;
  auto round = [&] {
    if (!WaitForShown(out, frames + 1)) state.SkipWithError("the output stalled");
    ++frames;
    // The board's hand clock allocates as it delivers; the graph must not.
    quellor::bench::UncountedScope boardClock;
    quellor::board::testing::AdvanceFields(2);
  };
  for (int i = 0; i < 60; ++i) round();  // warm-up: pools, lists, the clip table
  const std::uint64_t allocationsBefore = quellor::bench::AllocationCount();
  const std::uint64_t framesBefore = frames;
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = ProcessCpuSeconds();
  for (auto _ : state) round();
  // Read before the counters below are stored (their map allocates).
  const std::uint64_t allocations = quellor::bench::AllocationCount() - allocationsBefore;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpuSeconds = ProcessCpuSeconds() - cpuStart;
  const double played = static_cast<double>(frames - framesBefore);
  state.counters["x_realtime"] = played / seconds / out.GetFrameRate();
  state.counters["x_realtime_cpu"] = played / cpuSeconds / out.GetFrameRate();
  state.counters["allocs_per_frame"] = static_cast<double>(allocations) / played;
  state.counters["allocations"] = static_cast<double>(allocations);
  out.GetFrameIncrement()->Set(kVideoOutputStopped);
}

void BM_GraphNtsc(benchmark::State& state) {
  PlayGraph(state, true);
}
BENCHMARK(BM_GraphNtsc)->Iterations(600)->UseRealTime();

void BM_GraphPal(benchmark::State& state) {
  PlayGraph(state, false);
}
BENCHMARK(BM_GraphPal)->Iterations(500)->UseRealTime();

}  // namespace
