// NTSC frames through the plug-in's exports against the same work done
// without them, in one run:
//
// - 4:2:2 reads: BM_Read422ThroughExports against BM_ReadFieldsThroughReader
//   (both fields of each frame read with the clip reader directly); compare
//   bytes_per_second, the exports should reach 0.9 of the reader.
// - RGBA: the conversion cost of a read is BM_ReadRgbaThroughExports minus
//   BM_Read422ThroughExports, of a write BM_WriteRgbaThroughExports minus
//   BM_Write422ThroughExports (same disk work; processor time per frame, as
//   the wall time of a transfer varies more than the conversion costs); each
//   should stay within 1.2x of the colour conversion alone on the same
//   frames (BM_DecodeFrameAlone, BM_EncodeFrameAlone).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "BenchFolder.h"
#include "BridgeProcess.h"
#include "PixelFormats.h"
#include "board/ColourConversion.h"
#include "cliplib/clip/ClipFile.h"
#include "cliplib/clip/ClipWriter.h"
#include "rtvbridge/AvFileExports.h"

namespace {

using namespace quellor::rtvbridge;

constexpr int kWidth = 720;
constexpr int kHeight = 480;
constexpr std::size_t kField = std::size_t{kWidth} * kHeight;  // 345600 bytes
constexpr std::size_t kFrame = 2 * kField;
constexpr std::size_t kRgbaFrame = std::size_t{kWidth} * kHeight * 4;
constexpr int kClipFrames = 32;
// Written clips start again after this many frames so a long run does not
// fill the disk.
constexpr int kFramesPerFile = 64;

struct Aligned {
  explicit Aligned(std::size_t size)
      : data(static_cast<std::uint8_t*>(::operator new (size, std::align_val_t{4096}))),
        bytes(size) {
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(16 + i % 200);
  }
  ~Aligned() { ::operator delete (data, std::align_val_t{4096}); }
  std::uint8_t* data;
  std::size_t bytes;
};

std::string PathFor(const char* name) {
  return quellor::bench::BenchFolder() + "/" + name;
}

// The plug-in's load-time work once, on a private board and settings file,
// and a clip of kClipFrames NTSC frames to read.
const std::string& Setup() {
  static const std::string clip = [] {
    const std::string folder = quellor::bench::BenchFolder() + "/rtvbridge";
    std::filesystem::create_directories(folder + "/windows");
    std::filesystem::create_directories(folder + "/board");
    std::ofstream(folder + "/windows/VideoQuellor.ini")
        << "[VideoQuellor Configuration]\nVideoMode=1\n";
    setenv("QUELLOR_WINDIR", (folder + "/windows").c_str(), 1);
    setenv("QUELLOR_BOARD_DIR", (folder + "/board").c_str(), 1);
    SetLoadPause([](DWORD) {});
    if (!InitialiseStatics()) std::abort();
    const std::string path = PathFor("read.rtv");
    quellor::clip::ClipWriter::Create(path.c_str(), 2, 0, kWidth, kHeight / 2, 29.970026f);
    Aligned frame(kFrame);
    for (int n = 0; n < kClipFrames; ++n)
      quellor::clip::ClipWriter::WriteFrame(path.c_str(), frame.data);
    quellor::clip::ClipWriter::Close(path.c_str());
    return path;
  }();
  return clip;
}

void ReadThroughExports(benchmark::State& state, const char* guid, std::size_t bytes) {
  AVFILE_Handle handle = nullptr;
  if (!AVFILE_OpenFileForRead(&handle, Setup().c_str())) {
    state.SkipWithError("open failed");
    return;
  }
  Aligned buffer(bytes);
  FrameRequestRecord request{};
  request.size = sizeof request;
  request.buffer = buffer.data;
  request.bufferSize = static_cast<std::uint32_t>(bytes);
  CopyText(request.requested.guid, guid);
  int n = 0;
  for (auto _ : state) {
    request.frameNumber = n;
    if (AVFILE_ReadImageFrame(handle, &request) != 1) state.SkipWithError("read failed");
    n = (n + 1) % kClipFrames;
  }
  AVFILE_CloseReadingFile(handle);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrame));
}

void BM_Read422ThroughExports(benchmark::State& state) {
  ReadThroughExports(state, kGuid422, kFrame + 4);
}
BENCHMARK(BM_Read422ThroughExports)->UseRealTime()->MinTime(2.0);

void BM_ReadFieldsThroughReader(benchmark::State& state) {
  auto clip = quellor::clip::ClipFile::Open(Setup().c_str());
  Aligned buffer(kFrame);
  std::uint64_t n = 0;
  for (auto _ : state) {
    if (!clip->ReadChunk(2 * n, buffer.data, 0) ||
        !clip->ReadChunk(2 * n + 1, buffer.data + kField, 0)) {
      state.SkipWithError("read failed");
    }
    n = (n + 1) % kClipFrames;
  }
  clip->Close();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrame));
}
BENCHMARK(BM_ReadFieldsThroughReader)->UseRealTime()->MinTime(2.0);

void BM_ReadRgbaThroughExports(benchmark::State& state) {
  ReadThroughExports(state, kGuidRgba32, kRgbaFrame);
}
BENCHMARK(BM_ReadRgbaThroughExports)->UseRealTime()->MinTime(2.0);

// Frames as they arrive from the disk: a different frame each time, from
// more memory than the processor's caches hold (64 MiB), not one frame that
// stays cached.
constexpr int kUncachedFrames = 96;

void BM_DecodeFrameAlone(benchmark::State& state) {
  Aligned sources(kFrame * kUncachedFrames);
  Aligned destination(kRgbaFrame);
  int n = 0;
  for (auto _ : state) {
    decode_ycbcr8_bgra(destination.data, sources.data + kFrame * n, kWidth * kHeight);
    benchmark::DoNotOptimize(destination.data);
    n = (n + 1) % kUncachedFrames;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrame));
}
BENCHMARK(BM_DecodeFrameAlone)->UseRealTime()->MinTime(1.0);

// The same conversion as the plug-in does it: line by line, into the
// bottom-up picture, both fields interleaved. Against BM_DecodeFrameAlone it
// is the cost of the line order; against BM_ReadRgbaThroughExports minus
// BM_Read422ThroughExports, the rest is memory traffic of frames fresh from
// the disk.
void BM_DecodeFrameLinewiseAlone(benchmark::State& state) {
  Aligned sources(kFrame * kUncachedFrames);
  Aligned destination(kRgbaFrame);
  constexpr std::size_t kLine = std::size_t{kWidth} * 2;
  constexpr std::size_t kPictureLine = std::size_t{kWidth} * 4;
  int n = 0;
  for (auto _ : state) {
    const std::uint8_t* first = sources.data + kFrame * n;
    const std::uint8_t* second = first + kField;
    for (std::size_t k = 0; k < kHeight / 2; ++k) {
      decode_ycbcr8_bgra(destination.data + (kHeight - 1 - 2 * k) * kPictureLine, first + k * kLine,
                         kWidth);
      decode_ycbcr8_bgra(destination.data + (kHeight - 2 - 2 * k) * kPictureLine,
                         second + k * kLine, kWidth);
    }
    benchmark::DoNotOptimize(destination.data);
    n = (n + 1) % kUncachedFrames;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrame));
}
BENCHMARK(BM_DecodeFrameLinewiseAlone)->UseRealTime()->MinTime(1.0);

void WriteThroughExports(benchmark::State& state, const char* guid, std::size_t bytes) {
  Setup();
  const std::string path = PathFor("write.rtv");
  WriteOpenRecord open{};
  open.size = sizeof open;
  open.path = path.c_str();
  AVFILE_Handle handle = nullptr;
  Aligned pixels(bytes);
  VideoFrameRecord frame{};
  frame.pixels = pixels.data;
  CopyText(frame.format.guid, guid);
  frame.format.bytesPerFrame = static_cast<std::int32_t>(bytes);
  int written = kFramesPerFile;
  for (auto _ : state) {
    if (written == kFramesPerFile) {
      state.PauseTiming();
      if (handle != nullptr) AVFILE_CloseFileForWrite(handle);
      if (!AVFILE_OpenFileForWrite(&handle, &open)) state.SkipWithError("open failed");
      written = 0;
      state.ResumeTiming();
    }
    if (AVFILE_WriteNextVideoFrame(handle, &frame) != 1) state.SkipWithError("write failed");
    ++written;
  }
  if (handle != nullptr) AVFILE_CloseFileForWrite(handle);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrame));
}

void BM_Write422ThroughExports(benchmark::State& state) {
  WriteThroughExports(state, kGuid422, kFrame + 4);
}
BENCHMARK(BM_Write422ThroughExports)->UseRealTime()->MinTime(2.0);

void BM_WriteRgbaThroughExports(benchmark::State& state) {
  WriteThroughExports(state, kGuidRgba32, kRgbaFrame);
}
BENCHMARK(BM_WriteRgbaThroughExports)->UseRealTime()->MinTime(2.0);

void BM_EncodeFrameAlone(benchmark::State& state) {
  Aligned source(kRgbaFrame);
  Aligned destination(kFrame);
  for (auto _ : state) {
    encode_bgra_ycbcr8(destination.data, source.data, kWidth * kHeight);
    benchmark::DoNotOptimize(destination.data);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrame));
}
BENCHMARK(BM_EncodeFrameAlone)->UseRealTime()->MinTime(1.0);

}  // namespace
