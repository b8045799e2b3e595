// The render path's per-field item handling: taking a private "Video" item
// from the pool and giving it back, against allocating and freeing the same
// blocks with malloc each field (what the pool exists to avoid). Also the
// lookup of the i-th "Video" item of a stream, against indexing a vector.
#include <cstdlib>
#include <vector>

#include <benchmark/benchmark.h>

#include "videoproc/DataStream.h"
#include "videoproc/DataStreamPool.h"
#include "videoproc/VideoStream_Header.h"

namespace {

constexpr unsigned long kHeaderBytes = sizeof(VideoStream_Header);
constexpr unsigned long kFieldBytes = VideoUYVY_BlockBytes(720, 240);  // one NTSC field

// Reference: a fresh header and pixel block for every field.
void BM_MallocFieldBlocks(benchmark::State& state) {
  for (auto _ : state) {
    void* header = std::malloc(kHeaderBytes);
    void* pixels = std::malloc(kFieldBytes);
    benchmark::DoNotOptimize(header);
    benchmark::DoNotOptimize(pixels);
    std::free(pixels);
    std::free(header);
  }
}
BENCHMARK(BM_MallocFieldBlocks);

// Two fields a frame, as a node with a private stream takes them.
void BM_PoolFieldItems(benchmark::State& state) {
  for (auto _ : state) {
    DataStream_Data* first = GetDataStreamData("Video", kHeaderBytes, kFieldBytes);
    DataStream_Data* second = GetDataStreamData("Video", kHeaderBytes, kFieldBytes);
    benchmark::DoNotOptimize(first);
    benchmark::DoNotOptimize(second);
    ReleaseDataStreamData(second);
    ReleaseDataStreamData(first);
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_PoolFieldItems);

void BM_VectorIndex(benchmark::State& state) {
  std::vector<DataStream_Data> items(2);
  std::vector<DataStream_Data*> list{&items[0], &items[1]};
  for (auto _ : state) {
    for (std::size_t i = 0; i < list.size(); ++i) benchmark::DoNotOptimize(list[i]);
  }
}
BENCHMARK(BM_VectorIndex);

// A stream of two "Video" items walked as every filter node walks it.
void BM_GetStreamByName(benchmark::State& state) {
  DataStream_Data items[2];
  DataStream stream;
  for (DataStream_Data& item : items) {
    item.SetName("Video");
    stream.AddStream(&item);
  }
  for (auto _ : state) {
    for (unsigned long i = 0; DataStream_Data* item = stream.GetStream("Video", i); ++i) {
      benchmark::DoNotOptimize(item);
    }
  }
}
BENCHMARK(BM_GetStreamByName);

}  // namespace
