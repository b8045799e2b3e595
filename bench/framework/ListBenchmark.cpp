// tList appends (one reallocation per element, under the list's lock) against
// std::vector::push_back.
#include <vector>

#include <benchmark/benchmark.h>

#include <qlxrapi/tList.h>

namespace {

void BM_VectorPushBack(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<int> items;
    for (int i = 0; i < state.range(0); ++i) items.push_back(i);
    benchmark::DoNotOptimize(items.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_VectorPushBack)->Arg(16)->Arg(1024);

void BM_tListAddItem(benchmark::State& state) {
  for (auto _ : state) {
    tList<int> items;
    for (int i = 0; i < state.range(0); ++i) items.AddItem(i);
    benchmark::DoNotOptimize(items.GetItems());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_tListAddItem)->Arg(16)->Arg(1024);

void BM_tListExpandOnlyRefill(benchmark::State& state) {
  tListExpandOnly<int> items;
  for (auto _ : state) {
    for (int i = 0; i < state.range(0); ++i) items.AddItem(i);
    items.Clear();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_tListExpandOnlyRefill)->Arg(16)->Arg(1024);

}  // namespace
