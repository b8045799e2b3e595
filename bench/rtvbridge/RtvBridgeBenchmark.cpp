// NTSC frames through the plug-in's exports against the same work done
// without them, in one run. The BM_Ratio_* benchmarks run the work and its
// references in alternating batches on the same thread, so that all of them
// see the same machine, and report ratios of thread processor time (median
// batch; "_best" from the least disturbed batches):
//
// - BM_Ratio_Read422: 4:2:2 reads through the exports against both fields of
//   each frame read with the clip reader directly. Reads wait on the disk,
//   so "reader_over_exports" is a throughput ratio of wall time (the exports
//   should reach 0.9), with the processor time ratio beside it.
// - BM_Ratio_ReadRgba, BM_Ratio_WriteRgba: the conversion cost of an RGBA
//   read (write) through the exports is its processor time minus that of
//   moving the same fields with the clip reader (writer) directly;
//   "x_conversion" is that over the colour conversion alone on the same
//   frames, and should stay within 1.2. The 4:2:2 transfer through the
//   exports is reported beside them. BM_Ratio_WriteRgba also times the
//   conversion alone right after the clip writer wrote a frame
//   ("x_alone_after_write"): a thread that waited for the disk finds its
//   caches cold when other programs ran in the meantime, which is what an
//   unbuffered write costs the conversion of the next frame.
//   "x_frame_after_write" compares the two in that same state: the frame's
//   conversion as the writing exports do it over the conversion alone, each
//   timed right after the clip writer wrote a frame. It is the plug-in's own
//   cost of converting, without the machine's cold start after a disk wait
//   that both pay (and that "x_conversion" charges to the write only).
//   "x_host_thread" is the host thread's whole RGBA write over the
//   conversion alone when the same frame is written back to back;
//   "x_host_thread_rendering" the same for a host that renders each frame
//   (writes its pixels) just before it writes it, as an editing host does,
//   and "x_conversion_rendering" that host's conversion cost (its write less
//   the direct write) over the conversion alone.
// - BM_Ratio_EncodeBottomUp: an RGBA frame into its two fields as the
//   writing exports convert it, against the conversion alone, both with
//   warm caches.
//
// The plain BM_* benchmarks time each piece on its own.
#include <benchmark/benchmark.h>

#include "BatchTiming.h"
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "BenchFolder.h"
#include "BridgeProcess.h"
#include "FrameEncoding.h"
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

// Frames as they arrive from the disk: a different frame each time, from
// more memory than the processor's caches hold (64 MiB), not one frame that
// stays cached.
constexpr int kUncachedFrames = 96;

// Frame after frame of the read clip through the reading exports.
class ExportReader {
 public:
  ExportReader(const char* guid, std::size_t bytes) : buffer_(bytes) {
    if (!AVFILE_OpenFileForRead(&handle_, Setup().c_str())) handle_ = nullptr;
    request_.size = sizeof request_;
    request_.buffer = buffer_.data;
    request_.bufferSize = static_cast<std::uint32_t>(bytes);
    CopyText(request_.requested.guid, guid);
  }
  ~ExportReader() {
    if (handle_ != nullptr) AVFILE_CloseReadingFile(handle_);
  }
  bool ok() const { return handle_ != nullptr; }
  bool Step() {
    request_.frameNumber = n_;
    n_ = (n_ + 1) % kClipFrames;
    return AVFILE_ReadImageFrame(handle_, &request_) == 1;
  }

 private:
  AVFILE_Handle handle_ = nullptr;
  Aligned buffer_;
  FrameRequestRecord request_{};
  int n_ = 0;
};

// Both fields of each frame of the read clip with the clip reader directly.
class DirectReader {
 public:
  DirectReader() : clip_(quellor::clip::ClipFile::Open(Setup().c_str())), buffer_(kFrame) {}
  ~DirectReader() { clip_->Close(); }
  bool Step() {
    const bool ok = clip_->ReadChunk(2 * n_, buffer_.data, 0) &&
                    clip_->ReadChunk(2 * n_ + 1, buffer_.data + kField, 0);
    n_ = (n_ + 1) % kClipFrames;
    return ok;
  }

 private:
  std::unique_ptr<quellor::clip::ClipFile> clip_;
  Aligned buffer_;
  std::uint64_t n_ = 0;
};

// Frame after frame through the writing exports, into a clip that starts
// again every kFramesPerFile frames.
class ExportWriter {
 public:
  ExportWriter(const char* guid, std::size_t bytes, const char* name)
      : path_(PathFor(name)), pixels_(bytes) {
    Setup();
    open_.size = sizeof open_;
    open_.path = path_.c_str();
    frame_.pixels = pixels_.data;
    CopyText(frame_.format.guid, guid);
    frame_.format.bytesPerFrame = static_cast<std::int32_t>(bytes);
  }
  ~ExportWriter() {
    if (handle_ != nullptr) AVFILE_CloseFileForWrite(handle_);
  }
  // Opens the next clip when the current one is full; false on failure.
  bool Rotate() {
    if (written_ < kFramesPerFile) return true;
    if (handle_ != nullptr) AVFILE_CloseFileForWrite(handle_);
    handle_ = nullptr;
    written_ = 0;
    return AVFILE_OpenFileForWrite(&handle_, &open_) != 0;
  }
  bool Step() {
    ++written_;
    return AVFILE_WriteNextVideoFrame(handle_, &frame_) == 1;
  }
  // What a host does before each write: renders the frame, here by writing
  // its pixels.
  bool Render() {
    for (std::size_t i = 0; i < pixels_.bytes; ++i) {
      pixels_.data[i] = static_cast<std::uint8_t>(16 + i % 200);
    }
    benchmark::ClobberMemory();
    return true;
  }

 private:
  std::string path_;
  WriteOpenRecord open_{};
  AVFILE_Handle handle_ = nullptr;
  Aligned pixels_;
  VideoFrameRecord frame_{};
  int written_ = kFramesPerFile;
};

// The same frames with the clip writer directly, into a clip that starts
// again every kFramesPerFile frames.
class DirectWriter {
 public:
  explicit DirectWriter(const char* name) : path_(PathFor(name)), frame_(kFrame) { Setup(); }
  ~DirectWriter() { quellor::clip::ClipWriter::Close(path_.c_str()); }
  bool Rotate() {
    if (written_ < kFramesPerFile) return true;
    quellor::clip::ClipWriter::Close(path_.c_str());
    written_ = 0;
    try {
      quellor::clip::ClipWriter::Create(path_.c_str(), 2, 0, kWidth, kHeight / 2, 29.970026f);
    } catch (const char*) {
      return false;
    }
    return true;
  }
  bool Step() {
    ++written_;
    return quellor::clip::ClipWriter::WriteFrame(path_.c_str(), frame_.data);
  }

 private:
  std::string path_;
  Aligned frame_;
  int written_ = kFramesPerFile;
};

// 4:2:2 frames to BGRA in one call each, from sources the caches do not hold.
class Decoder {
 public:
  Decoder() : sources_(kFrame * kUncachedFrames), destination_(kRgbaFrame) {}
  void Step() {
    decode_ycbcr8_bgra(destination_.data, sources_.data + kFrame * n_, kWidth * kHeight);
    benchmark::DoNotOptimize(destination_.data);
    n_ = (n_ + 1) % kUncachedFrames;
  }

 private:
  Aligned sources_;
  Aligned destination_;
  int n_ = 0;
};

// BGRA frames to 4:2:2 in one call each, from the same picture each time as
// the writes do.
class Encoder {
 public:
  Encoder() : source_(kRgbaFrame), destination_(kFrame) {}
  void Step() {
    encode_bgra_ycbcr8(destination_.data, source_.data, kWidth * kHeight);
    benchmark::DoNotOptimize(destination_.data);
  }

 private:
  Aligned source_;
  Aligned destination_;
};

// BGRA frames into two fields as the writing exports convert them, from the
// same picture each time.
class FieldEncoder {
 public:
  FieldEncoder() : picture_(kRgbaFrame), fields_(kFrame) {}
  void Step() {
    EncodeBottomUpFrame(picture_.data, fields_.data, fields_.data + kField, kWidth, kHeight / 2);
    benchmark::DoNotOptimize(fields_.data);
  }

 private:
  Aligned picture_;
  Aligned fields_;
};

void BM_Read422ThroughExports(benchmark::State& state) {
  ExportReader reader(kGuid422, kFrame + 4);
  if (!reader.ok()) state.SkipWithError("open failed");
  for (auto _ : state) {
    if (!reader.Step()) state.SkipWithError("read failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrame));
}
BENCHMARK(BM_Read422ThroughExports)->UseRealTime()->MinTime(2.0);

void BM_ReadFieldsThroughReader(benchmark::State& state) {
  DirectReader reader;
  for (auto _ : state) {
    if (!reader.Step()) state.SkipWithError("read failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrame));
}
BENCHMARK(BM_ReadFieldsThroughReader)->UseRealTime()->MinTime(2.0);

void BM_ReadRgbaThroughExports(benchmark::State& state) {
  ExportReader reader(kGuidRgba32, kRgbaFrame);
  if (!reader.ok()) state.SkipWithError("open failed");
  for (auto _ : state) {
    if (!reader.Step()) state.SkipWithError("read failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrame));
}
BENCHMARK(BM_ReadRgbaThroughExports)->UseRealTime()->MinTime(2.0);

void BM_DecodeFrameAlone(benchmark::State& state) {
  Decoder decoder;
  for (auto _ : state) decoder.Step();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrame));
}
BENCHMARK(BM_DecodeFrameAlone)->UseRealTime()->MinTime(1.0);

// The same conversion as the plug-in does it: line by line, into the
// bottom-up picture, both fields interleaved. Against BM_DecodeFrameAlone it
// is the cost of the line order.
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
  ExportWriter writer(guid, bytes, "write.rtv");
  for (auto _ : state) {
    state.PauseTiming();
    if (!writer.Rotate()) state.SkipWithError("open failed");
    state.ResumeTiming();
    if (!writer.Step()) state.SkipWithError("write failed");
  }
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
  Encoder encoder;
  for (auto _ : state) encoder.Step();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrame));
}
BENCHMARK(BM_EncodeFrameAlone)->UseRealTime()->MinTime(1.0);

// ---- Ratios, measured side by side ----

using quellor::bench::ThreadSeconds;

double WallSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

// Per-frame times of one kind of work, one entry per batch.
struct Batches {
  std::vector<double> cpu;
  std::vector<double> wall;

  static double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  }
  static double Best(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
  }
  double cpu_median() const { return Median(cpu); }
  double cpu_best() const { return Best(cpu); }
  double wall_median() const { return Median(wall); }
};

constexpr int kFramesPerBatch = 8;

// One batch of `step` (which returns false on failure), timed per frame; the
// clock stops around `between`, work done before each frame that is not to
// be timed (opening the next clip of a writer).
template <typename Step, typename Between>
bool TimeBatch(Batches& batches, Step step, Between between) {
  double cpu = 0.0;
  double wall = 0.0;
  for (int i = 0; i < kFramesPerBatch; ++i) {
    if (!between()) return false;
    const double cpu_start = ThreadSeconds();
    const double wall_start = WallSeconds();
    const bool ok = step();
    benchmark::ClobberMemory();
    cpu += ThreadSeconds() - cpu_start;
    wall += WallSeconds() - wall_start;
    if (!ok) return false;
  }
  batches.cpu.push_back(cpu / kFramesPerBatch);
  batches.wall.push_back(wall / kFramesPerBatch);
  return true;
}

template <typename Step>
bool TimeBatch(Batches& batches, Step step) {
  return TimeBatch(batches, step, [] { return true; });
}

// The conversion's cost in a converting transfer is what it takes beyond
// moving the same fields with the clip reader or writer directly ("direct");
// "x_conversion" is that over the conversion alone, from median batches
// ("_best" from the best batches). The 4:2:2 transfer through the exports
// ("plain") is reported beside them.
void ReportConversion(benchmark::State& state, const Batches& direct, const Batches& plain,
                      const Batches& converting, const Batches& alone) {
  state.counters["x_conversion"] =
      (converting.cpu_median() - direct.cpu_median()) / alone.cpu_median();
  state.counters["x_conversion_best"] =
      (converting.cpu_best() - direct.cpu_best()) / alone.cpu_best();
  state.counters["direct_cpu_us"] = direct.cpu_median() * 1e6;
  state.counters["plain_cpu_us"] = plain.cpu_median() * 1e6;
  state.counters["converting_cpu_us"] = converting.cpu_median() * 1e6;
  state.counters["alone_cpu_us"] = alone.cpu_median() * 1e6;
}

void BM_Ratio_Read422(benchmark::State& state) {
  ExportReader exports(kGuid422, kFrame + 4);
  DirectReader reader;
  if (!exports.ok()) state.SkipWithError("open failed");
  Batches through_exports, through_reader;
  for (auto _ : state) {
    if (!TimeBatch(through_reader, [&] { return reader.Step(); }) ||
        !TimeBatch(through_exports, [&] { return exports.Step(); })) {
      state.SkipWithError("read failed");
      break;
    }
  }
  state.counters["reader_over_exports"] =
      through_reader.wall_median() / through_exports.wall_median();
  state.counters["cpu_reader_over_exports"] =
      through_reader.cpu_median() / through_exports.cpu_median();
  state.counters["exports_cpu_us"] = through_exports.cpu_median() * 1e6;
  state.counters["exports_wall_us"] = through_exports.wall_median() * 1e6;
  state.counters["reader_wall_us"] = through_reader.wall_median() * 1e6;
  state.counters["reader_cpu_us"] = through_reader.cpu_median() * 1e6;
}
BENCHMARK(BM_Ratio_Read422)->Iterations(40);

void BM_Ratio_ReadRgba(benchmark::State& state) {
  DirectReader direct;
  ExportReader plain(kGuid422, kFrame + 4);
  ExportReader converting(kGuidRgba32, kRgbaFrame);
  Decoder decoder;
  if (!plain.ok() || !converting.ok()) state.SkipWithError("open failed");
  Batches direct_batches, plain_batches, converting_batches, alone_batches;
  for (auto _ : state) {
    if (!TimeBatch(direct_batches, [&] { return direct.Step(); }) ||
        !TimeBatch(plain_batches, [&] { return plain.Step(); }) ||
        !TimeBatch(converting_batches, [&] { return converting.Step(); }) ||
        !TimeBatch(alone_batches, [&] { return decoder.Step(), true; })) {
      state.SkipWithError("read failed");
      break;
    }
  }
  ReportConversion(state, direct_batches, plain_batches, converting_batches, alone_batches);
}
BENCHMARK(BM_Ratio_ReadRgba)->Iterations(40);

void BM_Ratio_WriteRgba(benchmark::State& state) {
  DirectWriter direct("ratiodirect.rtv");
  ExportWriter plain(kGuid422, kFrame + 4, "ratio422.rtv");
  ExportWriter converting(kGuidRgba32, kRgbaFrame, "ratiorgba.rtv");
  ExportWriter rendering(kGuidRgba32, kRgbaFrame, "ratiorendered.rtv");
  Encoder encoder;
  FieldEncoder field_encoder;
  Batches direct_batches, plain_batches, converting_batches, alone_batches, after_write_batches,
      rendering_batches, frame_after_write_batches;
  for (auto _ : state) {
    if (!TimeBatch(
            direct_batches, [&] { return direct.Step(); }, [&] { return direct.Rotate(); }) ||
        !TimeBatch(
            plain_batches, [&] { return plain.Step(); }, [&] { return plain.Rotate(); }) ||
        !TimeBatch(
            converting_batches, [&] { return converting.Step(); },
            [&] { return converting.Rotate(); }) ||
        !TimeBatch(alone_batches, [&] { return encoder.Step(), true; }) ||
        !TimeBatch(
            after_write_batches, [&] { return encoder.Step(), true; },
            [&] { return direct.Rotate() && direct.Step(); }) ||
        !TimeBatch(
            rendering_batches, [&] { return rendering.Step(); },
            [&] { return rendering.Rotate() && rendering.Render(); }) ||
        !TimeBatch(
            frame_after_write_batches, [&] { return field_encoder.Step(), true; },
            [&] { return direct.Rotate() && direct.Step(); })) {
      state.SkipWithError("write failed");
      break;
    }
  }
  ReportConversion(state, direct_batches, plain_batches, converting_batches, alone_batches);
  state.counters["x_alone_after_write"] =
      after_write_batches.cpu_median() / alone_batches.cpu_median();
  state.counters["x_frame_after_write"] =
      frame_after_write_batches.cpu_median() / after_write_batches.cpu_median();
  state.counters["x_host_thread"] = converting_batches.cpu_median() / alone_batches.cpu_median();
  state.counters["x_host_thread_rendering"] =
      rendering_batches.cpu_median() / alone_batches.cpu_median();
  state.counters["x_conversion_rendering"] =
      (rendering_batches.cpu_median() - direct_batches.cpu_median()) / alone_batches.cpu_median();
}
BENCHMARK(BM_Ratio_WriteRgba)->Iterations(30);

// The frame's conversion as the writing exports do it (with AVX2, each host
// line converted straight into its field, streaming) against the conversion
// alone, on the same frame with warm caches: its own cost, without the cold
// caches of a thread that waited for the disk. (Converting lines straight
// into their fields with libyuv's strided rows measured 1.3 times the
// conversion alone.) "x_bands" is the path of processors without AVX2:
// 32 KiB bands converted in one call each, their lines then copied.
void BM_Ratio_EncodeBottomUp(benchmark::State& state) {
  Aligned picture(kRgbaFrame);
  Aligned fields(kFrame);
  Encoder encoder;
  Batches frame_batches, bands_batches, alone_batches;
  for (auto _ : state) {
    TimeBatch(frame_batches, [&] {
      EncodeBottomUpFrame(picture.data, fields.data, fields.data + kField, kWidth, kHeight / 2);
      return true;
    });
    TimeBatch(bands_batches, [&] {
      EncodeBottomUpFrame_Bands(picture.data, fields.data, fields.data + kField, kWidth,
                                kHeight / 2);
      return true;
    });
    TimeBatch(alone_batches, [&] { return encoder.Step(), true; });
  }
  state.counters["x_frame"] = frame_batches.cpu_median() / alone_batches.cpu_median();
  state.counters["x_bands"] = bands_batches.cpu_median() / alone_batches.cpu_median();
  state.counters["alone_cpu_us"] = alone_batches.cpu_median() * 1e6;
}
BENCHMARK(BM_Ratio_EncodeBottomUp)->Iterations(40);

}  // namespace
