// Sequential unbuffered frame I/O through the Win32 subset (CreateFileA with
// FILE_FLAG_NO_BUFFERING, WriteFile, ReadFile) against raw O_DIRECT
// write/read on the same folder, in 691200-byte blocks (one NTSC frame).
//
// The files live in a folder beside the benchmark program (on the build
// disk; tmpfs would refuse O_DIRECT) or in QUELLOR_BENCH_DIR. The *Ratio
// benchmarks alternate both ways within each iteration and report
// subset throughput / raw throughput as the counter "ratio".
#include <windows.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

constexpr std::size_t kFrameBytes = 691200;
constexpr int kFramesPerPass = 24;  // about 16.6 MB per pass

std::string BenchFolder() {
  if (const char* folder = std::getenv("QUELLOR_BENCH_DIR"); folder && *folder) return folder;
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof program);
  auto folder = std::filesystem::path(program).parent_path() / "unbuffered-io.tmp";
  std::filesystem::create_directories(folder);
  return folder.string();
}

struct AlignedFrame {
  AlignedFrame()
      : data(static_cast<unsigned char*>(
            std::aligned_alloc(4096, (kFrameBytes + 4095) / 4096 * 4096))) {
    for (std::size_t i = 0; i < kFrameBytes; ++i) data[i] = static_cast<unsigned char>(i * 31);
  }
  ~AlignedFrame() { std::free(data); }
  AlignedFrame(const AlignedFrame&) = delete;
  AlignedFrame& operator=(const AlignedFrame&) = delete;
  unsigned char* data;
};

class SubsetFile {
 public:
  explicit SubsetFile(const std::string& path)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}
  ~SubsetFile() {
    if (ok()) CloseHandle(handle_);
  }
  SubsetFile(const SubsetFile&) = delete;
  SubsetFile& operator=(const SubsetFile&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

  bool WritePass(const unsigned char* frame) {
    SetFilePointer(handle_, 0, nullptr, FILE_BEGIN);
    for (int i = 0; i < kFramesPerPass; ++i) {
      DWORD done = 0;
      if (!WriteFile(handle_, frame, kFrameBytes, &done, nullptr) || done != kFrameBytes) {
        return false;
      }
    }
    return true;
  }
  bool ReadPass(unsigned char* frame) {
    SetFilePointer(handle_, 0, nullptr, FILE_BEGIN);
    for (int i = 0; i < kFramesPerPass; ++i) {
      DWORD done = 0;
      if (!ReadFile(handle_, frame, kFrameBytes, &done, nullptr) || done != kFrameBytes) {
        return false;
      }
    }
    return true;
  }

 private:
  HANDLE handle_;
};

class RawDirectFile {
 public:
  explicit RawDirectFile(const std::string& path)
      : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_DIRECT | O_CLOEXEC, 0644)) {}
  ~RawDirectFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  RawDirectFile(const RawDirectFile&) = delete;
  RawDirectFile& operator=(const RawDirectFile&) = delete;
  bool ok() const { return fd_ >= 0; }

  bool WritePass(const unsigned char* frame) {
    ::lseek(fd_, 0, SEEK_SET);
    for (int i = 0; i < kFramesPerPass; ++i) {
      if (::write(fd_, frame, kFrameBytes) != static_cast<ssize_t>(kFrameBytes)) return false;
    }
    return true;
  }
  bool ReadPass(unsigned char* frame) {
    ::lseek(fd_, 0, SEEK_SET);
    for (int i = 0; i < kFramesPerPass; ++i) {
      if (::read(fd_, frame, kFrameBytes) != static_cast<ssize_t>(kFrameBytes)) return false;
    }
    return true;
  }

 private:
  int fd_;
};

struct Files {
  Files() : subset(BenchFolder() + "/subset.bin"), raw(BenchFolder() + "/raw.bin") {
    // Both files start at full length so reads find whole frames.
    if (subset.ok() && raw.ok()) ready = subset.WritePass(frame.data) && raw.WritePass(frame.data);
  }
  ~Files() {
    // Open handles keep the data until they close; the names go now.
    std::error_code ignored;
    std::filesystem::remove(BenchFolder() + "/subset.bin", ignored);
    std::filesystem::remove(BenchFolder() + "/raw.bin", ignored);
  }
  Files(const Files&) = delete;
  Files& operator=(const Files&) = delete;
  AlignedFrame frame;
  SubsetFile subset;
  RawDirectFile raw;
  bool ready = false;
};

Files& SharedFiles() {
  static Files files;
  return files;
}

template <typename Pass>
void RunPasses(benchmark::State& state, Pass pass) {
  Files& files = SharedFiles();
  if (!files.ready) {
    state.SkipWithError("cannot open the benchmark files with O_DIRECT here");
    return;
  }
  for (auto _ : state) {
    if (!pass(files)) {
      state.SkipWithError("transfer failed");
      return;
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kFrameBytes) *
                          kFramesPerPass);
}

void BM_SubsetWrite(benchmark::State& state) {
  RunPasses(state, [](Files& f) { return f.subset.WritePass(f.frame.data); });
}
void BM_RawDirectWrite(benchmark::State& state) {
  RunPasses(state, [](Files& f) { return f.raw.WritePass(f.frame.data); });
}
void BM_SubsetRead(benchmark::State& state) {
  RunPasses(state, [](Files& f) { return f.subset.ReadPass(f.frame.data); });
}
void BM_RawDirectRead(benchmark::State& state) {
  RunPasses(state, [](Files& f) { return f.raw.ReadPass(f.frame.data); });
}

// Alternates subset and raw passes so that both see the same disk state, and
// reports subset throughput relative to raw (1.0 = as fast).
template <typename SubsetPass, typename RawPass>
void RunRatio(benchmark::State& state, SubsetPass subset_pass, RawPass raw_pass) {
  Files& files = SharedFiles();
  if (!files.ready) {
    state.SkipWithError("cannot open the benchmark files with O_DIRECT here");
    return;
  }
  using Clock = std::chrono::steady_clock;
  Clock::duration subset_time{}, raw_time{};
  for (auto _ : state) {
    auto start = Clock::now();
    bool ok = subset_pass(files);
    auto middle = Clock::now();
    ok = raw_pass(files) && ok;
    auto end = Clock::now();
    if (!ok) {
      state.SkipWithError("transfer failed");
      return;
    }
    subset_time += middle - start;
    raw_time += end - middle;
  }
  state.counters["ratio"] = std::chrono::duration<double>(raw_time).count() /
                            std::chrono::duration<double>(subset_time).count();
}

void BM_WriteRatio(benchmark::State& state) {
  RunRatio(
      state, [](Files& f) { return f.subset.WritePass(f.frame.data); },
      [](Files& f) { return f.raw.WritePass(f.frame.data); });
}
void BM_ReadRatio(benchmark::State& state) {
  RunRatio(
      state, [](Files& f) { return f.subset.ReadPass(f.frame.data); },
      [](Files& f) { return f.raw.ReadPass(f.frame.data); });
}

BENCHMARK(BM_SubsetWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_RawDirectWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_SubsetRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_RawDirectRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_WriteRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ReadRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
