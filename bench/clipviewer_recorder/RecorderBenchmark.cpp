// Frames through the recorder's writer path (full list -> writer thread ->
// clip writer -> free list) against raw O_DIRECT writes of the same frames
// to the same disk: compare bytes_per_second, the writer path should reach
// 0.9 of raw. And the recorder's field callback on the board's manual clock:
// its longest run, in the counter longest_field_us.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "BenchFolder.h"
#include "app/Pause.h"
#include "board/testing/BoardClock.h"
#include "cliplib/clip/ClipWriter.h"
#include "recorder/Recorder.h"
#include "recorder/RecordingWriter.h"

namespace {

using namespace quellor::clipviewer::recorder;

constexpr std::size_t kFrame = 720 * 480 * 2;  // 691200 bytes, NTSC
// Files start again after this many frames so a long run does not fill the
// disk.
constexpr int kFramesPerFile = 64;

std::string PathFor(const char* name) {
  return quellor::bench::BenchFolder() + "/" + name;
}

void CreateNtscClip(const std::string& path) {
  quellor::clip::ClipWriter::Create(path.c_str(), 2, 0, 720, 240, 29.970026f);
}

// The field callback's side, as fast as it can: a free buffer goes full at
// once (its bytes were filled when the ring was made).
void BM_RecorderWriterPath(benchmark::State& state) {
  const std::string path = PathFor("recorder.rtv");
  FrameRing ring(kFrame);
  for (int i = 0; i < kFrameBufferCount; ++i)
    for (std::size_t b = 0; b < kFrame; ++b) ring.Buffer(i)[b] = static_cast<BYTE>(b * 7 + i);
  std::atomic<unsigned> drops{0};
  CreateNtscClip(path);
  auto writer = std::make_unique<RecordingWriter>(ring, drops, WriterEvents{});
  writer->Start(path);
  int queued = 0;
  for (auto _ : state) {
    if (queued == kFramesPerFile) {
      writer->WaitUntilWritten();
      state.PauseTiming();
      writer.reset();
      quellor::clip::ClipWriter::Close(path.c_str());
      CreateNtscClip(path);
      writer = std::make_unique<RecordingWriter>(ring, drops, WriterEvents{});
      writer->Start(path);
      queued = 0;
      state.ResumeTiming();
    }
    int index;
    while ((index = ring.TakeFree()) == kNoBuffer) std::this_thread::yield();
    ring.PutFull(index);
    ++queued;
  }
  writer->WaitUntilWritten();
  writer.reset();
  quellor::clip::ClipWriter::Close(path.c_str());
  if (drops.load() != 0) state.SkipWithError("frames dropped");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFrame);
}
BENCHMARK(BM_RecorderWriterPath)->UseRealTime()->MinTime(3.0);

void BM_RawDirectFrames(benchmark::State& state) {
  const std::string path = PathFor("recorder.raw");
  FrameRing ring(kFrame);  // the same page-aligned memory
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_DIRECT, 0644);
  if (fd < 0) {
    state.SkipWithError("O_DIRECT open failed");
    return;
  }
  int written = kFramesPerFile;
  for (auto _ : state) {
    if (written == kFramesPerFile) {
      state.PauseTiming();
      if (ftruncate(fd, 0) != 0 || lseek(fd, 512, SEEK_SET) != 512) state.SkipWithError("reset");
      written = 0;
      state.ResumeTiming();
    }
    if (write(fd, ring.Buffer(written % kFrameBufferCount), kFrame) != static_cast<ssize_t>(kFrame))
      state.SkipWithError("raw write failed");
    ++written;
  }
  close(fd);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFrame);
}
BENCHMARK(BM_RawDirectFrames)->UseRealTime()->MinTime(3.0);

// A recording of the board's bars: each iteration is one frame (two fields)
// through the field callback while the writer writes behind it.
void BM_FieldCallback(benchmark::State& state) {
  const std::string folder = PathFor("board");
  std::filesystem::create_directories(folder);
  setenv("QUELLOR_BOARD_DIR", folder.c_str(), 1);
  quellor::board::testing::ResetBoard();
  quellor::board::testing::UseManualClock(1000);
  quellor::clipviewer::SetPauseFunction([](DWORD) {});
  const std::string path = PathFor("callback.rtv");
  std::uint64_t longest = 0, total = 0, calls = 0;
  int frames = kFramesPerFile;
  std::unique_ptr<Recorder> recorder;
  for (auto _ : state) {
    if (frames == kFramesPerFile) {
      state.PauseTiming();
      if (recorder) {
        recorder->WaitUntilWritten();
        if (recorder->Drops() != 0) state.SkipWithError("frames dropped");
        longest = std::max<std::uint64_t>(longest, recorder->LongestFieldNanoseconds());
        total += recorder->TotalFieldNanoseconds();
        calls += recorder->FieldCalls();
      }
      recorder.reset();
      recorder = std::make_unique<Recorder>(RecorderSetup{nullptr, 0, 480});
      std::string error;
      if (!recorder->Start(path, error)) state.SkipWithError(error.c_str());
      frames = 0;
      state.ResumeTiming();
    }
    // The board here makes fields far faster than the field rate; let the
    // writer catch up before the ring is full, so every field is copied.
    if (frames % 16 == 15) {
      state.PauseTiming();
      recorder->WaitUntilWritten();
      state.ResumeTiming();
    }
    quellor::board::testing::AdvanceFields(2);
    ++frames;
  }
  if (recorder) {
    recorder->WaitUntilWritten();
    longest = std::max<std::uint64_t>(longest, recorder->LongestFieldNanoseconds());
    total += recorder->TotalFieldNanoseconds();
    calls += recorder->FieldCalls();
    if (recorder->Drops() != 0) state.SkipWithError("frames dropped");
  }
  recorder.reset();
  quellor::clipviewer::SetPauseFunction({});
  state.counters["longest_field_us"] = static_cast<double>(longest) / 1000.0;
  state.counters["mean_field_us"] =
      calls ? static_cast<double>(total) / static_cast<double>(calls) / 1000.0 : 0.0;
}
BENCHMARK(BM_FieldCallback)->UseRealTime()->MinTime(2.0);

}  // namespace
