// The waveform monitor's passes over one NTSC field (120 kept lines of 720
// pixels, every second line of a 240-line field) in each of the six modes,
// each against a straightforward per-pixel reference in the same run: the
// same plots, with every position worked out in floating point (and the RGB
// conversion and the vectorscope's polar position per pixel, without the
// colour-conversion library or the map). "x_reference" in the reference's
// row names the ratio to read: reference time over the pass's time.
// BM_ScopePassPlain is the plain line-by-line pass, for the fast pass's gain.
// BM_Ratio_ScopePass times the chosen pass and the reference in alternating
// batches on one thread, so both see the same machine: "pass_us" is the
// pass's best batch (thread CPU time; the batch least disturbed by the other
// programs of a shared machine), "x_reference" the pass's best over the
// reference's best, "x_reference_mean" the same over all batches.
//
// BM_MonitorCpuAt60Fields runs a real monitor (window, drawing thread,
// probe) on the board's real-time clock in its heaviest mode and reports the
// drawing thread's CPU time, and the process's extra CPU time over the same
// seconds without the monitor, in percent of one core.
#include <benchmark/benchmark.h>

#include "BatchTiming.h"
#include <board/testing/BoardClock.h>
#include <qlxrapi/FindFiles.h>
#include <sys/resource.h>
#include <time.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "../../videoproc/src/ScopeRows.h"
#include "videoproc/WaveformMonitor.h"

namespace {

using namespace quellor::videoproc;

constexpr std::uint32_t kLines = 120;

// Bars in the top three quarters, a noisy ramp below: every mode gets both
// steady levels and scattered ones.
std::vector<std::uint8_t> Field() {
  static const std::uint8_t kBars[8][3] = {{180, 128, 128}, {162, 44, 142}, {131, 156, 44},
                                           {112, 72, 58},   {84, 184, 198}, {65, 100, 212},
                                           {35, 212, 114},  {16, 128, 128}};
  std::vector<std::uint8_t> field(kLines * kScopeLineBytes);
  std::mt19937 random(7);
  for (std::uint32_t line = 0; line < kLines; ++line) {
    for (int pair = 0; pair < 360; ++pair) {
      std::uint8_t* p = &field[line * kScopeLineBytes + pair * 4];
      if (line < 90) {
        const auto& bar = kBars[pair / 45];
        p[0] = bar[1], p[1] = bar[0], p[2] = bar[2], p[3] = bar[0];
      } else {
        p[0] = std::uint8_t(16 + random() % 225);
        p[1] = std::uint8_t(16 + (pair * 219) / 360 + random() % 8);
        p[2] = std::uint8_t(16 + random() % 225);
        p[3] = p[1];
      }
    }
  }
  return field;
}

struct Buffers {
  std::vector<std::uint8_t> field = Field();
  std::vector<std::uint8_t> graticule = std::vector<std::uint8_t>(kScopeBytes, 20);
  std::vector<std::uint8_t> display = std::vector<std::uint8_t>(kScopeBytes);
  std::vector<std::uint32_t> map = std::vector<std::uint32_t>(65536);
  std::vector<std::uint8_t> scratch = std::vector<std::uint8_t>(720 * 4);
  Buffers() { BuildVectorScopeMap(map.data()); }
};

void BM_ScopePass(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  Buffers b;
  for (auto _ : state) {
    DrawScope(mode, b.graticule.data(), b.field.data(), kLines, b.map.data(), b.scratch.data(),
              b.display.data());
    benchmark::DoNotOptimize(b.display.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kLines * 720);
}
BENCHMARK(BM_ScopePass)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

// The plain pass, line by line through the row functions: what the chosen
// pass replaces on a processor with AVX2.
void BM_ScopePassPlain(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  Buffers b;
  for (auto _ : state) {
    DrawScope_C(mode, b.graticule.data(), b.field.data(), kLines, b.map.data(), b.scratch.data(),
                b.display.data());
    benchmark::DoNotOptimize(b.display.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kLines * 720);
}
BENCHMARK(BM_ScopePassPlain)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

// ---- the reference: one pixel at a time, positions in floating point ----------

inline void Plot(std::uint8_t* display, float row, float column, int weight, int limit = 245) {
  const int r = std::clamp(static_cast<int>(row), 0, 255);
  const int c = std::clamp(static_cast<int>(column), 0, 359);
  std::uint8_t& byte = display[r * 360 + c];
  if (byte < limit) byte = static_cast<std::uint8_t>(byte + weight);
}

void ReferenceLine(int mode, const std::uint8_t* line, std::uint8_t* display) {
  for (int x = 0; x < 720; ++x) {
    const std::uint8_t* pair = line + (x / 2) * 4;
    const float y = pair[1 + (x & 1) * 2];
    const float u = pair[0], v = pair[2];
    const float column = x * 0.5f;
    const bool odd = (x / 2) & 1;
    switch (mode) {
      case kScopeComposite: {
        const float c = (x & 1) ? u : v;
        Plot(display, 255.0f - (odd ? y - c + 256.0f : y + c) * 0.5f, column, 7);
        break;
      }
      case kScopeLuma:
        Plot(display, 192.0f - y * 0.5f, column, 10);
        break;
      case kScopeChroma: {
        const float c = (x & 1) ? v : u;
        Plot(display, 255.0f - (odd ? 255.0f - c : c) * 0.5f, column, 5);
        break;
      }
      case kScopeYuvParade: {
        const float g = static_cast<float>(x / 6);
        Plot(display, 192.0f - y * 0.5f, g, x % 6 == 3 ? 2 : 5);
        if ((x & 1) == 0) {
          Plot(display, 193.0f - u * 0.5f, 120.0f + g, 5);
          Plot(display, 192.0f - v * 0.5f, 240.0f + g, 5);
        }
        break;
      }
      case kScopeRgbParade: {
        const float g = static_cast<float>(x / 6);
        const float yy = (y - 16.0f) * 1.164f, cb = u - 128.0f, cr = v - 128.0f;
        const float r = std::clamp(yy + 1.596f * cr, 0.0f, 255.0f);
        const float gr = std::clamp(yy - 0.392f * cb - 0.813f * cr, 0.0f, 255.0f);
        const float bl = std::clamp(yy + 2.017f * cb, 0.0f, 255.0f);
        Plot(display, 192.0f - r * 0.5f, g, 5);
        Plot(display, 193.0f - gr * 0.5f, 120.0f + g, 5);
        Plot(display, 192.0f - bl * 0.5f, 240.0f + g, 5);
        break;
      }
      case kScopeVector:
        if ((x & 1) == 0) {
          const float a = u - 128.0f, bb = v - 128.0f;
          const float radius = std::sqrt(a * a + bb * bb), theta = std::atan2(bb, a);
          Plot(display, 128.0f + std::trunc(0.5f - radius * std::sin(theta)),
               180.0f + std::trunc(0.7f * radius * std::cos(theta) + 0.5f), 5, 250);
        }
        break;
      default:
        break;
    }
  }
}

void BM_ReferencePass(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  Buffers b;
  for (auto _ : state) {
    std::copy(b.graticule.begin(), b.graticule.end(), b.display.begin());
    for (std::uint32_t line = 0; line < kLines; ++line) {
      ReferenceLine(mode, b.field.data() + line * kScopeLineBytes, b.display.data());
    }
    benchmark::DoNotOptimize(b.display.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kLines * 720);
}
BENCHMARK(BM_ReferencePass)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

// ---- the pass and the reference side by side ----------------------------------

using quellor::bench::ThreadSeconds;

void BM_Ratio_ScopePass(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  Buffers pass, reference;
  const auto drawPass = [&] {
    DrawScope(mode, pass.graticule.data(), pass.field.data(), kLines, pass.map.data(),
              pass.scratch.data(), pass.display.data());
  };
  const auto drawReference = [&] {
    std::copy(reference.graticule.begin(), reference.graticule.end(), reference.display.begin());
    for (std::uint32_t line = 0; line < kLines; ++line) {
      ReferenceLine(mode, reference.field.data() + line * kScopeLineBytes,
                    reference.display.data());
    }
  };
  quellor::bench::AlternatingRatio(state, "x_reference", "pass", 4, drawPass, drawReference);
}
BENCHMARK(BM_Ratio_ScopePass)->DenseRange(0, 5)->Iterations(200)->Unit(benchmark::kMillisecond);

// ---- the whole monitor on the real clock -----------------------------------------

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of a thread of this process, by its kernel thread id: the
// per-thread scheduler clock (what pthread_getcpuclockid gives).
double ThreadCpuSeconds(DWORD tid) {
  const clockid_t clock = static_cast<clockid_t>(~static_cast<unsigned>(tid) << 3 | 6u);
  timespec now{};
  if (clock_gettime(clock, &now) != 0) return 0.0;
  return now.tv_sec + now.tv_nsec / 1e9;
}

// Pumps the thread's messages for `seconds` and returns the process's CPU
// time over them.
double PumpFor(double seconds) {
  const double before = CpuSeconds();
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < seconds * 1000) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(5);
  }
  return CpuSeconds() - before;
}

void BM_MonitorCpuAt60Fields(benchmark::State& state) {
  const char* bin = std::getenv("QUELLOR_BIN");
  const std::string folder = bin != nullptr ? bin : "build/ci/bin";
  FindFiles_AddPath("Skins", (folder + "/Skins").c_str());
  WaveFormVectorScopeInit();
  quellor::board::testing::UseRealtimeClock();
  for (auto _ : state) {
    const double seconds = 2.0;
    const double idle = PumpFor(seconds);
    // The object lives on the shared heap: destroying its window deletes it.
    auto* monitor = new WaveformMonitor(true);
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 360, 256, nullptr,
                                  nullptr, nullptr, nullptr);
    monitor->SetupControl(window);  // opens on its first message
    PumpFor(0.05);
    monitor->WM_SetMode(static_cast<int>(state.range(0)));
    const std::uint32_t framesBefore = monitor->GetFrameCount();
    const DWORD drawing = monitor->GetThreadIdentifier();
    const double drawingBefore = ThreadCpuSeconds(drawing);
    const double busy = PumpFor(seconds);
    const double drawingCpu = ThreadCpuSeconds(drawing) - drawingBefore;
    const std::uint32_t frames = monitor->GetFrameCount() - framesBefore;
    DestroyWindow(window);
    state.counters["fields_drawn_per_s"] = frames / seconds;
    state.counters["monitor_cpu_percent"] = std::max(0.0, busy - idle) / seconds * 100.0;
    state.counters["drawing_thread_cpu_percent"] = drawingCpu / seconds * 100.0;
  }
}
BENCHMARK(BM_MonitorCpuAt60Fields)
    ->Arg(kScopeRgbParade)
    ->Arg(kScopeLuma)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
