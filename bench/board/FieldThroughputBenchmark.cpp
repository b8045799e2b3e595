// One second of board fields driven as fast as the manual clock allows: an
// input probe that copies each field (as a recorder does) and an output fed
// one frame buffer every two fields, with a monitoring probe. The reference
// is the same copying with plain memcpy and no board, measured in the same
// run; the counter "x_realtime" is one second of fields over the time taken.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "board/Engine.h"
#include "board/Support.h"
#include "board/testing/BoardClock.h"

namespace {

constexpr int kFieldsPerSecond = 60;  // NTSC: 59.94, rounded up

struct Recorder {
  DWORD owner = 0;
  std::vector<BYTE> frame = std::vector<BYTE>(kNtscFrameBytes);
  static DWORD Callback(void* context, const BYTE* pixels, const RTME_FieldInfo* info) {
    auto* self = static_cast<Recorder*>(context);
    const DWORD parity = RTME_GetFieldParity(&info->format);
    std::memcpy(self->frame.data() + (parity ? kNtscFieldBytes : 0), pixels, info->fieldBytes);
    return Harmonex_ReleaseField(self->owner, info->bufferToken);
  }
};

DWORD OpenProbe(DWORD context, const char* name, const char* pin, Recorder& recorder) {
  const DWORD probe = RTME_CreateProbe(context, name);
  recorder.owner = RTME_GetProbeBufferOwner(probe);
  RTME_AttachProbe(probe, pin);
  RTME_SetProbeCallback(probe, &recorder, &Recorder::Callback);
  return probe;
}

void PrepareBoard() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  static const std::string folder = "/tmp/quellor-bench-board-" + std::to_string(getpid());
  setenv("QUELLOR_BOARD_DIR", folder.c_str(), 1);
  std::atexit([] { std::filesystem::remove_all(folder); });
  quellor::board::testing::UseManualClock(0);
  quellor::board::testing::ResetBoard();
}

void BM_BoardSecondOfFields(benchmark::State& state) {
  PrepareBoard();
  const DWORD instance = RTME_OpenEngine();
  const DWORD context = RTME_GetMediaContext(instance);
  Recorder input, monitor;
  const DWORD inputProbe = OpenProbe(context, "bench.input.probe", RTME_PIN_INPUT, input);
  const DWORD monitorProbe =
      OpenProbe(context, "bench.monitor.probe", RTME_PIN_OUTPUT_MONITOR, monitor);
  const DWORD output = RTME_CreateOutput("bench.output", 0, 0, 0);
  std::vector<BYTE> picture(kNtscFrameBytes, 0x80);
  for (auto _ : state) {
    for (int field = 0; field < kFieldsPerSecond; field += 2) {
      BYTE* buffer = nullptr;
      DWORD bytes = 0;
      const DWORD token = RTME_GetEmptyOutputBuffer(output, &buffer, &bytes);
      if (token) {
        std::memcpy(buffer, picture.data(), bytes);
        RTME_ShowOutputBuffer(output, token, bytes);
      }
      quellor::board::testing::AdvanceFields(2);
    }
    benchmark::DoNotOptimize(input.frame.data());
    benchmark::DoNotOptimize(monitor.frame.data());
  }
  state.counters["x_realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  RTME_ReleaseOutput(output);
  RTME_DestroyProbe(monitorProbe);
  RTME_DestroyProbe(inputProbe);
  RTME_CloseEngine(instance);
}
BENCHMARK(BM_BoardSecondOfFields)->Unit(benchmark::kMillisecond)->UseRealTime();

// The copies a board cannot avoid: each field rendered once, copied to the
// input probe, the frame copied into the output, each shown field copied to
// the monitor and the recorders' own copies.
void BM_ReferenceCopiesOnly(benchmark::State& state) {
  std::vector<BYTE> source(kNtscFrameBytes, 0x10), board(kNtscFrameBytes), probe(kNtscFieldBytes),
      recorded(kNtscFrameBytes);
  for (auto _ : state) {
    for (int field = 0; field < kFieldsPerSecond; ++field) {
      const size_t offset = (field & 1) * kNtscFieldBytes;
      std::memcpy(probe.data(), source.data() + offset, kNtscFieldBytes);    // input field
      std::memcpy(recorded.data() + offset, probe.data(), kNtscFieldBytes);  // recorder
      if ((field & 1) == 0) std::memcpy(board.data(), source.data(), kNtscFrameBytes);  // output
      std::memcpy(probe.data(), board.data() + offset, kNtscFieldBytes);                // monitor
      std::memcpy(recorded.data() + offset, probe.data(), kNtscFieldBytes);  // monitor's copy
    }
    benchmark::DoNotOptimize(recorded.data());
  }
  state.counters["x_realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReferenceCopiesOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
