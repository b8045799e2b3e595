// Appending NTSC frames through the open clip file table and the clip writer,
// and reading fields through the table and the reader, each against raw
// O_DIRECT transfers of the same blocks to and from the same disk. Compare
// bytes_per_second of each pair: the clip path should reach 0.9 of raw.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "BenchFolder.h"
#include "cliplib/clip/ClipWriter.h"
#include "cliplib/clip/OpenClipTable.h"

namespace {

constexpr std::size_t kField = 720 * 240 * 2;  // 345600 bytes
constexpr std::size_t kFrame = 2 * kField;
// Files wrap after this many frames so a long run does not fill the disk.
constexpr int kFramesPerFile = 64;

struct AlignedFrame {
  std::uint8_t* data;
  AlignedFrame()
      : data(static_cast<std::uint8_t*>(::operator new (kFrame, std::align_val_t{4096}))) {
    for (std::size_t i = 0; i < kFrame; ++i) data[i] = static_cast<std::uint8_t>(i * 7);
  }
  ~AlignedFrame() { ::operator delete (data, std::align_val_t{4096}); }
};

std::string PathFor(const char* name) {
  return quellor::bench::BenchFolder() + "/" + name;
}

void CreateNtscClip(const std::string& path) {
  quellor::clip::ClipWriter::Create(path.c_str(), 2, 0, 720, 240, 29.970026f);
}

void BM_AppendFramesThroughWriter(benchmark::State& state) {
  const std::string path = PathFor("append.rtv");
  AlignedFrame frame;
  int written = 0;
  CreateNtscClip(path);
  for (auto _ : state) {
    if (written == kFramesPerFile) {
      state.PauseTiming();
      quellor::clip::ClipWriter::Close(path.c_str());
      CreateNtscClip(path);
      written = 0;
      state.ResumeTiming();
    }
    const bool ok = written == 0 ? quellor::clip::ClipWriter::WriteFrame(path.c_str(), frame.data)
                                 : quellor::clip::ClipWriter::AppendFrame(path.c_str(), frame.data);
    if (!ok) state.SkipWithError("frame write failed");
    ++written;
  }
  quellor::clip::ClipWriter::Close(path.c_str());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFrame);
}
BENCHMARK(BM_AppendFramesThroughWriter)->UseRealTime()->MinTime(3.0);

void BM_AppendFramesRawDirect(benchmark::State& state) {
  const std::string path = PathFor("append.raw");
  AlignedFrame frame;
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_DIRECT, 0644);
  if (fd < 0) {
    state.SkipWithError("O_DIRECT open failed");
    return;
  }
  int written = kFramesPerFile;
  for (auto _ : state) {
    if (written == kFramesPerFile) {
      state.PauseTiming();
      // Start again after a 512-byte header, as a new clip would.
      if (ftruncate(fd, 0) != 0 || lseek(fd, 512, SEEK_SET) != 512) state.SkipWithError("reset");
      written = 0;
      state.ResumeTiming();
    }
    if (write(fd, frame.data, kFrame) != static_cast<ssize_t>(kFrame)) {
      state.SkipWithError("raw write failed");
    }
    ++written;
  }
  close(fd);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFrame);
}
BENCHMARK(BM_AppendFramesRawDirect)->UseRealTime()->MinTime(3.0);

// A clip of kFramesPerFile frames for the read benchmarks.
const std::string& ReadClip() {
  static const std::string path = [] {
    const std::string p = PathFor("read.rtv");
    CreateNtscClip(p);
    AlignedFrame frame;
    for (int n = 0; n < kFramesPerFile; ++n) {
      if (!(n == 0 ? quellor::clip::ClipWriter::WriteFrame(p.c_str(), frame.data)
                   : quellor::clip::ClipWriter::AppendFrame(p.c_str(), frame.data))) {
        std::abort();
      }
    }
    quellor::clip::ClipWriter::Close(p.c_str());
    return p;
  }();
  return path;
}

void BM_ReadFieldsThroughReader(benchmark::State& state) {
  const std::string& path = ReadClip();
  AlignedFrame field;
  std::uint64_t index = 0;
  for (auto _ : state) {
    auto slot = quellor::clip::OpenClipTable::Instance().Acquire(path.c_str());
    if (!slot || !slot->clip->ReadChunk(index, field.data, 0)) state.SkipWithError("read failed");
    index = (index + 1) % (2 * kFramesPerFile);
  }
  quellor::clip::OpenClipTable::Instance().Close(path.c_str());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kField);
}
BENCHMARK(BM_ReadFieldsThroughReader)->UseRealTime()->MinTime(3.0);

void BM_ReadFieldsRawDirect(benchmark::State& state) {
  const std::string& path = ReadClip();
  AlignedFrame field;
  int fd = open(path.c_str(), O_RDONLY | O_DIRECT);
  if (fd < 0) {
    state.SkipWithError("O_DIRECT open failed");
    return;
  }
  std::uint64_t index = 0;
  for (auto _ : state) {
    const off_t offset = static_cast<off_t>(512 + index * kField);
    if (pread(fd, field.data, kField, offset) != static_cast<ssize_t>(kField)) {
      state.SkipWithError("raw read failed");
    }
    index = (index + 1) % (2 * kFramesPerFile);
  }
  close(fd);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kField);
}
BENCHMARK(BM_ReadFieldsRawDirect)->UseRealTime()->MinTime(3.0);

}  // namespace
