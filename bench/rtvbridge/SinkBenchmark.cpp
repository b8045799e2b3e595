// Playing through the sink, in one run:
//
// - Frame copy cost: the output device's conversion of one NTSC frame into
//   the board's layout (BM_SinkConvert422, ...444, ...Rgba) against memcpy of
//   the same board frame (BM_MemcpyFrame); compare bytes_per_second. The
//   4:2:2 path is a straight copy and should match memcpy.
// - Pacing on the board's manual clock (BM_SinkPlayManualClock): frames
//   borrowed, filled, added with presentation times one frame apart; the
//   device clock set to each time and the field clock run two fields a
//   frame. The counters report from the board's own record of what it
//   showed: late (the frame came out after its two field times), repeated
//   (a field time passed without a new frame) and dropped frames; 0 is
//   expected for each.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "BenchFolder.h"
#include "BridgeProcess.h"
#include "DeviceClock.h"
#include "OutputDevice.h"
#include "PixelFormats.h"
#include "SinkConversion.h"
#include "board/BoardControl.h"
#include "board/testing/BoardClock.h"
#include "rtvbridge/AvFileExports.h"

namespace {

using namespace quellor::rtvbridge;

constexpr std::size_t kBoardFrame = 720 * 480 * 2;
constexpr std::size_t kHostFrame = 720 * 480 * 4;
constexpr std::int64_t kFrameMicroseconds = 33367;

struct Aligned {
  explicit Aligned(std::size_t size)
      : data(static_cast<std::uint8_t*>(::operator new (size, std::align_val_t{4096}))) {
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(16 + i % 200);
  }
  ~Aligned() { ::operator delete (data, std::align_val_t{4096}); }
  std::uint8_t* data;
};

const VideoGeometry& Ntsc() {
  static const VideoGeometry geometry = GeometryForVideoMode(1);
  return geometry;
}

void Convert(benchmark::State& state, SinkConversion conversion, std::size_t hostBytes) {
  Aligned host(hostBytes), board(kBoardFrame);
  for (auto _ : state) {
    ConvertSinkFrame(conversion, host.data, board.data, Ntsc());
    benchmark::DoNotOptimize(board.data);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBoardFrame));
}

void BM_MemcpyFrame(benchmark::State& state) {
  Aligned host(kBoardFrame), board(kBoardFrame);
  for (auto _ : state) {
    std::memcpy(board.data, host.data, kBoardFrame);
    benchmark::DoNotOptimize(board.data);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBoardFrame));
}
BENCHMARK(BM_MemcpyFrame)->MinTime(1.0);

void BM_SinkConvert422(benchmark::State& state) {
  Convert(state, SinkConversion::Copy422, kBoardFrame + 4);
}
BENCHMARK(BM_SinkConvert422)->MinTime(1.0);

void BM_SinkConvert444(benchmark::State& state) {
  Convert(state, SinkConversion::Yuva444, kHostFrame);
}
BENCHMARK(BM_SinkConvert444)->MinTime(1.0);

void BM_SinkConvertRgba(benchmark::State& state) {
  Convert(state, SinkConversion::Bgra, kHostFrame);
}
BENCHMARK(BM_SinkConvertRgba)->MinTime(1.0);

// The plug-in on a private board with the manual clocks, the sink open and
// started at device time 0.
struct Playout {
  std::atomic<std::int64_t> now{0};
  AVFILE_Handle sink = nullptr;
  Playout() {
    const std::string folder = quellor::bench::BenchFolder() + "/rtvbridge-sink";
    std::filesystem::create_directories(folder + "/windows");
    std::filesystem::create_directories(folder + "/board");
    std::ofstream(folder + "/windows/VideoQuellor.ini")
        << "[VideoQuellor Configuration]\nVideoMode=1\nEdgeWrightVideoPreviewOut=0\n";
    setenv("QUELLOR_WINDIR", (folder + "/windows").c_str(), 1);
    setenv("QUELLOR_BOARD_DIR", (folder + "/board").c_str(), 1);
    SetLoadPause([](DWORD) {});
    quellor::board::testing::ResetBoard();
    if (!InitialiseStatics()) std::abort();
    quellor::board::testing::UseManualClock(999);
    SetDeviceClock([this] { return now.load(); });
    InterfaceRecord query{};
    query.hostLevel = 324;
    SinkOpenRecord open{};
    if (AVFILE_QueryInterfaceSink(&query) != 1 || AVFILE_OpenSink(&sink, &open) != 1 ||
        AVFILE_StartSink(sink) != 1) {
      std::abort();
    }
  }
};

void BM_SinkPlayManualClock(benchmark::State& state) {
  static Playout playout;
  OutputDevice& device = *Process().outputDevice;
  Aligned frame(kBoardFrame + 4);
  std::int64_t late = 0, repeated = 0;
  std::uint64_t frames = device.Shown();
  DWORD lastShown = 0;
  quellor::board::BoardStatus status;
  std::string error;
  for (auto _ : state) {
    SinkBufferRecord record{};
    record.size = sizeof record;
    CopyText(record.format.guid, kGuid422);
    if (AVFILE_SinkGetEmptyBuffer(playout.sink, &record) != 1) state.SkipWithError("no buffer");
    std::memcpy(record.pixels, frame.data, kBoardFrame + 4);
    const std::int64_t due = static_cast<std::int64_t>(frames + 1) * kFrameMicroseconds;
    record.presentationTime = due;
    if (AVFILE_SinkAddFullBuffer(playout.sink, &record) != 1) state.SkipWithError("refused");
    playout.now = due;
    // The output thread polls each millisecond: wait for it to hand the
    // frame to the board, then run its two field times.
    while (device.Shown() + device.Dropped() <= frames) std::this_thread::yield();
    ++frames;
    const std::uint32_t before = quellor::board::testing::CurrentField();
    quellor::board::testing::AdvanceFields(2);
    quellor::board::ReadBoardStatus(status, error);
    // The frame's second field must be the one just run.
    if (status.lastShownField != before + 2) ++late;
    if (status.lastShownField == lastShown) ++repeated;
    lastShown = status.lastShownField;
  }
  state.counters["late"] = static_cast<double>(late);
  state.counters["repeated"] = static_cast<double>(repeated);
  state.counters["dropped"] = static_cast<double>(device.Dropped());
  state.counters["overruns"] = static_cast<double>(quellor::board::testing::ProcessOverruns());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBoardFrame));
}
BENCHMARK(BM_SinkPlayManualClock)->UseRealTime()->Iterations(600);

}  // namespace
