// Cost of a change notice (Dynamic<int>::Set with n listeners) against the
// plain fan-out it replaces: n virtual calls through a vector of pointers.
#include <vector>

#include <benchmark/benchmark.h>

#include <qlxrapi/Dynamic.h>

namespace {

class Sink : public DynamicListener {
 public:
  void DynamicCallback(long id, const char*, void*) override {
    benchmark::DoNotOptimize(m_sum += id);
  }
  virtual void Plain(long id) { benchmark::DoNotOptimize(m_sum += id); }

 private:
  long m_sum = 0;
};

void BM_PlainVirtualFanOut(benchmark::State& state) {
  std::vector<Sink> sinks(static_cast<std::size_t>(state.range(0)));
  std::vector<Sink*> targets;
  for (auto& sink : sinks) targets.push_back(&sink);
  for (auto _ : state) {
    for (Sink* target : targets) target->Plain(1);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlainVirtualFanOut)->Arg(1)->Arg(8)->Arg(64);

void BM_DynamicSet(benchmark::State& state) {
  std::vector<Sink> sinks(static_cast<std::size_t>(state.range(0)));
  Dynamic<int> value;
  for (auto& sink : sinks) value.AddDependant(&sink, 1);
  int next = 0;
  for (auto _ : state) value.Set(++next, "Changed");
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DynamicSet)->Arg(1)->Arg(8)->Arg(64);

// Two threads notifying two values that share listeners.
void BM_DynamicSetContended(benchmark::State& state) {
  static std::vector<Sink> sinks(8);
  static Dynamic<int> values[2];
  if (state.thread_index() == 0) {
    for (auto& value : values)
      for (auto& sink : sinks) value.AddDependant(&sink, 1);
  }
  Dynamic<int>& value = values[state.thread_index() % 2];
  int next = state.thread_index() * 1000000;
  for (auto _ : state) value.Set(++next, "Changed");
  if (state.thread_index() == 0) {
    for (auto& v : values)
      for (auto& sink : sinks) v.DeleteDependant(&sink);
  }
  state.SetItemsProcessed(state.iterations() * 8);
}
BENCHMARK(BM_DynamicSetContended)->Threads(2);

}  // namespace
