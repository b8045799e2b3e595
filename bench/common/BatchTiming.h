// Timing a piece of work against its reference on a shared machine: both in
// batches of thread CPU time (other programs' work is not counted), taken in
// turn on one thread so that both see the same machine, and compared by
// their best batches, the ones least disturbed.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <string>

namespace quellor::bench {

// This thread's CPU time, in seconds.
inline double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Thread CPU seconds of one call of work, over a batch of `count` calls.
template <typename Work>
double BatchSeconds(int count, Work&& work) {
  const double start = ThreadSeconds();
  for (int i = 0; i < count; ++i) {
    work();
    benchmark::ClobberMemory();
  }
  return (ThreadSeconds() - start) / count;
}

// The best and the total of a series of batch times.
struct BatchSeries {
  double best = 1e9;
  double sum = 0.0;

  void Add(double seconds) {
    best = std::min(best, seconds);
    sum += seconds;
  }
};

// `counter`: the work's best batch over the reference's best batch;
// `counter`_mean: the same over all batches; `work`_us and reference_us:
// the best batches in microseconds.
inline void ReportRatio(benchmark::State& state, const std::string& counter,
                        const std::string& work, const BatchSeries& measured,
                        const BatchSeries& reference) {
  state.counters[counter] = measured.best / reference.best;
  state.counters[counter + "_mean"] = measured.sum / reference.sum;
  state.counters[work + "_us"] = measured.best * 1e6;
  state.counters["reference_us"] = reference.best * 1e6;
}

// The usual comparison: both warmed by a first batch, then a batch of each in
// turn every benchmark iteration, reported as ReportRatio does.
template <typename Work, typename Reference>
void AlternatingRatio(benchmark::State& state, const std::string& counter,
                      const std::string& workName, int count, Work&& work, Reference&& reference) {
  BatchSeconds(count, work);
  BatchSeconds(count, reference);
  BatchSeries measured, referenced;
  for (auto _ : state) {
    measured.Add(BatchSeconds(count, work));
    referenced.Add(BatchSeconds(count, reference));
  }
  ReportRatio(state, counter, workName, measured, referenced);
}

}  // namespace quellor::bench
