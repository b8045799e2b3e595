// The plug-in on the board's real field clock, each case run once (minutes
// of wall time: run it niced, on its own):
//
// - BM_RecordUnderDiskLoad/<ntsc|pal>: two takes of 60 s of the board's
//   input recorded through the recording exports into the same clip (the
//   second over the first, as a host records again under the same name)
//   while other processes keep the same disk busy with direct-I/O writes and
//   reads; the counters are the second take's. Counters: frames written, frames
//   expected from the field stamps at start and stop, dropped (expected
//   minus written, and the plug-in's own trouble count), the board's
//   overruns, the writer's longest time on a frame and on the take's first
//   frame (which replaces the earlier take). 0 dropped is expected.
// - BM_PlayThroughSink: 60 s of NTSC frames read from a clip through the
//   reading exports into borrowed sink buffers and handed back one frame
//   time apart. From the counters of the output device and of the board:
//   late frames (handed to the board after their field had begun) and
//   repeated fields (field times between two of the output's fields that
//   showed nothing new, the clock's skipped fields included), 0 expected;
//   and the output thread's share of one processor while it plays. The
//   frame copy against memcpy is rtvbridge_sink_benchmark's
//   BM_SinkConvert422 against BM_MemcpyFrame.
//
// Each case in a process of its own (--benchmark_filter=Ntsc, =Pal, =Play);
// QUELLOR_BENCH_SECONDS shortens the 60 s for a quick look.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchFolder.h"
#include "BridgeProcess.h"
#include "OutputDevice.h"
#include "PixelFormats.h"
#include "RecordingContext.h"
#include "board/BoardControl.h"
#include "board/Engine.h"
#include "board/testing/BoardClock.h"
#include "cliplib/clip/ClipWriter.h"
#include "rtvbridge/AvFileExports.h"

namespace {

using namespace quellor::rtvbridge;
using Clock = std::chrono::steady_clock;

double Seconds() {
  const char* text = std::getenv("QUELLOR_BENCH_SECONDS");
  const double seconds = text != nullptr ? std::atof(text) : 60.0;
  return seconds > 0 ? seconds : 60.0;
}

// The plug-in's load-time work on a private board and settings file, in the
// given video mode (1 NTSC, 0 PAL), with the board's input in the same
// standard and running on its real clock.
// One video mode a process (the settings store and the board keep what they
// read first): run each case on its own, with --benchmark_filter.
bool LoadPlugin(int videoMode) {
  static int loaded = -1;
  if (loaded >= 0) return loaded == videoMode;
  loaded = videoMode;
  // A folder for each mode: a settings file rewritten within the same
  // second could be taken for the cached one.
  const std::string folder =
      quellor::bench::BenchFolder() + "/rtvbridge-realclock-" + (videoMode != 0 ? "ntsc" : "pal");
  std::filesystem::create_directories(folder + "/windows");
  std::filesystem::create_directories(folder + "/board");
  std::ofstream(folder + "/windows/VideoQuellor.ini")
      << "[VideoQuellor Configuration]\nVideoMode=" << videoMode
      << "\nEdgeWrightVideoPreviewIn=0\nEdgeWrightVideoPreviewOut=0\n"
      << "StopRecordingWhenFramesAreDropped=1\n";
  setenv("QUELLOR_WINDIR", (folder + "/windows").c_str(), 1);
  setenv("QUELLOR_BOARD_DIR", (folder + "/board").c_str(), 1);
  CleanUpStatics();
  quellor::board::testing::UseRealtimeClock();
  quellor::board::testing::ResetBoard();
  quellor::board::InputSetting input;
  input.standard =
      videoMode != 0 ? quellor::board::VideoStandard::Ntsc : quellor::board::VideoStandard::Pal;
  std::string error;
  if (!quellor::board::SetInputSource(input, error)) std::abort();
  quellor::board::testing::ResetBoard();  // the board reads its input anew
  SetLoadPause([](DWORD) {});
  if (!InitialiseStatics()) std::abort();
  return true;
}

// Other processes keeping the bench folder's disk busy: writers each
// writing a 256 MiB file of their own over and over with direct I/O, and as
// many readers reading those back the same way (QUELLOR_BENCH_LOAD pairs,
// 2 by default). They end with this process, however it ends.
class DiskLoad {
 public:
  DiskLoad() {
    const char* text = std::getenv("QUELLOR_BENCH_LOAD");
    const int pairs = text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : 2;
    for (int i = 0; i < pairs; ++i) {
      const std::string file =
          quellor::bench::BenchFolder() + "/disk-load-" + std::to_string(i) + ".bin";
      files_.push_back(file);
      Fill(file, false);  // the file to read exists before its reader starts
      children_.push_back(Spawn(file, false));
      children_.push_back(Spawn(file, true));
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));  // let them get going
  }
  ~DiskLoad() {
    for (pid_t child : children_) {
      if (child <= 0) continue;
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
    }
    for (const std::string& file : files_) std::filesystem::remove(file);
  }

 private:
  static constexpr std::size_t kBlock = 1 << 20;
  static constexpr int kBlocks = 256;

  // One pass over the file, a MiB at a time.
  static void Fill(const std::string& file, bool read) {
    const int fd =
        open(file.c_str(), read ? O_RDONLY | O_DIRECT : O_WRONLY | O_CREAT | O_DIRECT, 0644);
    if (fd < 0) return;
    void* block = std::aligned_alloc(4096, kBlock);
    std::memset(block, 0x5a, kBlock);
    for (int i = 0; i < kBlocks; ++i) {
      const auto offset = static_cast<off_t>(i) * static_cast<off_t>(kBlock);
      const ssize_t done =
          read ? pread(fd, block, kBlock, offset) : pwrite(fd, block, kBlock, offset);
      if (done <= 0) break;
    }
    std::free(block);
    close(fd);
  }

  static pid_t Spawn(const std::string& file, bool read) {
    const pid_t child = fork();
    if (child == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      while (true) Fill(file, read);
    }
    return child;
  }

  std::vector<std::string> files_;
  std::vector<pid_t> children_;
};

void RecordUnderDiskLoad(benchmark::State& state, int videoMode) {
  if (!LoadPlugin(videoMode)) {
    state.SkipWithError("another video mode was loaded: run this case on its own");
    return;
  }
  const std::string clip = quellor::bench::BenchFolder() + "/realclock-take.rtv";
  const DWORD client = Process().switcherClient;
  for (auto _ : state) {
    DiskLoad load;
    const std::uint64_t overrunsBefore = quellor::board::testing::ProcessOverruns();
    InterfaceRecord query{};
    query.hostLevel = 224;
    AVFILE_Handle context = nullptr;
    RecordingOpenRecord open{kRecordingOpenSize};
    if (AVFILE_QueryInterfaceRecording(&query) != 1 || AVFILE_OpenRecording(&context, &open) != 1) {
      state.SkipWithError("the recording interface did not open");
      return;
    }
    RecordingFileRecord file{};
    file.size = kRecordingFileSize;
    file.module = Process().module;
    file.path = clip.c_str();
    if (AVFILE_AddRecordingFile(context, &file) != 1) state.SkipWithError("clip refused");

    const DWORD startStamp = RTME_GetFieldTimeStamp(client, 0, 0);
    AVFILE_StartRecording(context);
    const auto end = Clock::now() + std::chrono::duration<double>(Seconds());
    bool fine = true;
    while (Clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      RecordingPositionRecord position{kRecordingPositionSize, 0};
      if (AVFILE_GetPositionRecording(context, &position) != 1) fine = false;
    }
    const DWORD stopStamp = RTME_GetFieldTimeStamp(client, 0, 0);
    const bool stopped = AVFILE_StopRecording(context) == 1;
    RecordingPositionRecord position{kRecordingPositionSize, 0};
    AVFILE_GetPositionRecording(context, &position);
    const std::uint32_t trouble = static_cast<RecordingContext*>(context)->Trouble();
    const auto* recording = static_cast<RecordingContext*>(context);
    const double longestWriteMs = recording->LongestWriteMicroseconds() / 1000.0;
    const double firstWriteMs = recording->FirstWriteMicroseconds() / 1000.0;
    AVFILE_CloseRecording(context);

    // The take holds the frames whose first field came after the start
    // stamp, up to the stop stamp: about half the fields between.
    const double expected = (static_cast<double>(stopStamp) - startStamp) / 2.0;
    state.counters["written"] = position.framesWritten;
    state.counters["expected"] = expected;
    state.counters["dropped"] = expected - position.framesWritten;
    // The end of the take counts once; anything more is a lost frame.
    state.counters["trouble"] = trouble;
    state.counters["stopped_clean"] = stopped ? 1 : 0;
    state.counters["longest_write_ms"] = longestWriteMs;
    state.counters["first_write_ms"] = firstWriteMs;
    state.counters["polls_fine"] = fine ? 1 : 0;
    state.counters["board_overruns"] =
        static_cast<double>(quellor::board::testing::ProcessOverruns() - overrunsBefore);
  }
  std::filesystem::remove(clip);
}

void BM_RecordUnderDiskLoad_Ntsc(benchmark::State& state) {
  RecordUnderDiskLoad(state, 1);
}
BENCHMARK(BM_RecordUnderDiskLoad_Ntsc)->Iterations(2)->UseRealTime()->Unit(benchmark::kSecond);

void BM_RecordUnderDiskLoad_Pal(benchmark::State& state) {
  RecordUnderDiskLoad(state, 0);
}
BENCHMARK(BM_RecordUnderDiskLoad_Pal)->Iterations(2)->UseRealTime()->Unit(benchmark::kSecond);

// ---- playing ---------------------------------------------------------------------

std::set<std::string> Threads() {
  std::set<std::string> ids;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (dirent* entry = readdir(tasks))
      if (entry->d_name[0] != '.') ids.insert(entry->d_name);
    closedir(tasks);
  }
  return ids;
}

// User plus system time of one thread of this process, in seconds.
double ThreadCpuSeconds(const std::string& id) {
  std::ifstream in("/proc/self/task/" + id + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(text.substr(close + 2));
  std::string skip;
  for (int i = 0; i < 11; ++i) fields >> skip;  // state .. cmajflt
  double user = 0, system = 0;
  fields >> user >> system;
  return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::uint64_t BoardRepeatedFields() {
  quellor::board::BoardStatus status;
  std::string error;
  return quellor::board::ReadBoardStatus(status, error) ? status.repeatedFields : 0;
}

void BM_PlayThroughSink(benchmark::State& state) {
  if (!LoadPlugin(1)) {
    state.SkipWithError("another video mode was loaded: run this case on its own");
    return;
  }
  // A second of frames to play over and over, read through the exports as
  // the editing host reads its timeline.
  const std::string clip = quellor::bench::BenchFolder() + "/realclock-play.rtv";
  constexpr int kClipFrames = 30;
  {
    quellor::clip::ClipWriter::Create(clip.c_str(), 2, 0, 720, 240, 29.970026f);
    // Sector-aligned: the clip table's handle is unbuffered.
    constexpr std::size_t kFrameBytes = 720 * 480 * 2;
    auto* frame = static_cast<std::uint8_t*>(std::aligned_alloc(4096, kFrameBytes));
    for (int n = 0; n < kClipFrames; ++n) {
      for (std::size_t i = 0; i < kFrameBytes; ++i)
        frame[i] = static_cast<std::uint8_t>(16 + (i + n) % 200);
      if (!quellor::clip::ClipWriter::WriteFrame(clip.c_str(), frame)) std::abort();
    }
    std::free(frame);
    quellor::clip::ClipWriter::Close(clip.c_str());
  }
  for (auto _ : state) {
    const std::set<std::string> before = Threads();
    InterfaceRecord query{};
    query.hostLevel = 324;
    AVFILE_Handle sink = nullptr, reader = nullptr;
    SinkOpenRecord open{};
    if (AVFILE_QueryInterfaceSink(&query) != 1 || AVFILE_OpenSink(&sink, &open) != 1 ||
        AVFILE_OpenFileForRead(&reader, clip.c_str()) != 1) {
      state.SkipWithError("the sink did not open");
      return;
    }
    std::string outputThread;
    for (const std::string& id : Threads())
      if (before.count(id) == 0) outputThread = id;  // the device's output thread
    const double cpuBefore = ThreadCpuSeconds(outputThread);
    const std::uint64_t repeatedBefore = BoardRepeatedFields();
    const auto began = Clock::now();
    AVFILE_StartSink(sink);
    const auto frames = static_cast<int>(Seconds() * 30000.0 / 1001.0);
    int refused = 0;
    for (int k = 0; k < frames; ++k) {
      SinkBufferRecord buffer{};
      buffer.size = sizeof buffer;
      CopyText(buffer.format.guid, kGuid422);
      if (AVFILE_SinkGetEmptyBuffer(sink, &buffer) != 1) {
        ++refused;
        continue;
      }
      FrameRequestRecord request{};
      request.size = sizeof request;
      request.frameNumber = k % kClipFrames;
      request.buffer = buffer.pixels;
      request.bufferSize = buffer.byteCount;
      CopyText(request.requested.guid, kGuid422);
      if (AVFILE_ReadImageFrame(reader, &request) != 1) buffer.flags |= 1;
      buffer.presentationTime = static_cast<std::int64_t>((k + 1) * 1001000.0 / 30.0);
      if (AVFILE_SinkAddFullBuffer(sink, &buffer) != 1) ++refused;
    }
    const bool allShown = AVFILE_StopSink(sink) == 1;
    const double elapsed = std::chrono::duration<double>(Clock::now() - began).count();
    const double cpu = ThreadCpuSeconds(outputThread) - cpuBefore;
    const OutputDevice& device = *Process().outputDevice;
    const double shown = static_cast<double>(device.Shown());
    const double late = static_cast<double>(device.Late());
    const double dropped = static_cast<double>(device.Dropped());
    const double phaseKnown = device.FieldPhaseKnown() ? 1 : 0;
    const double repeated = static_cast<double>(BoardRepeatedFields() - repeatedBefore);
    AVFILE_CloseReadingFile(reader);
    AVFILE_CloseSink(sink);
    AVFILE_CloseInterfaceSink();
    state.counters["frames"] = frames;
    state.counters["frames_shown"] = shown;
    state.counters["board_dropped"] = dropped;
    state.counters["late"] = late;
    state.counters["repeated_fields"] = repeated;
    state.counters["phase_known"] = phaseKnown;
    state.counters["refused"] = refused;
    state.counters["all_shown"] = allShown ? 1 : 0;
    state.counters["output_cpu_share"] = elapsed > 0 ? cpu / elapsed : 0;
  }
  std::filesystem::remove(clip);
}
BENCHMARK(BM_PlayThroughSink)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
