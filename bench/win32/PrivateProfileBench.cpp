// The settings file of a long-used installation: clipviewer's start-up (one
// read per key) and exit (one write per key, a few of them changed) on a
// 5 MB private-profile file, against the floor of reading the file once and
// writing it once (temporary, fsync, rename).
//
// "SessionRatio" reports the session's time / the floor's time as the
// counter "ratio"; "Session" is the session alone in wall-clock time.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kSection = "VideoQuellor Configuration";
constexpr int kKeys = 45;        // about what clipviewer reads and writes
constexpr int kChangedKeys = 4;  // the adjustments of one session
constexpr std::size_t kFileBytes = 5u << 20;

const std::string& Folder() {
  static const std::string folder = [] {
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    auto path = std::filesystem::path(program).parent_path() / "private-profile.tmp";
    std::filesystem::create_directories(path);
    setenv("QUELLOR_WINDIR", path.c_str(), 1);
    return path.string();
  }();
  return folder;
}

std::string KeyName(int i) {
  return "Key" + std::to_string(i);
}

// Other programs' sections first (the bulk), then ours.
void WriteSettingsFile(const std::string& path) {
  std::ofstream out(path, std::ios::trunc);
  std::size_t written = 0;
  for (int section = 0; written < kFileBytes; ++section) {
    const std::string header = "[Other " + std::to_string(section) + "]\n";
    out << header;
    written += header.size();
    for (int key = 0; key < 40; ++key) {
      const std::string line =
          "Entry" + std::to_string(key) + "=some value of a plug-in, " + std::to_string(key) + "\n";
      out << line;
      written += line.size();
    }
  }
  out << "[" << kSection << "]\n";
  for (int i = 0; i < kKeys; ++i) out << KeyName(i) << "=" << i << "\n";
}

// Start-up then exit; `round` makes the changed values differ every time.
void Session(const std::string& file, int round) {
  char text[256];
  for (int i = 0; i < kKeys; ++i) {
    GetPrivateProfileStringA(kSection, KeyName(i).c_str(), "NONE", text, sizeof text, file.c_str());
  }
  for (int i = 0; i < kKeys; ++i) {
    const int value = i < kChangedKeys ? round * 100 + i : i;
    WritePrivateProfileStringA(kSection, KeyName(i).c_str(), std::to_string(value).c_str(),
                               file.c_str());
  }
}

// Reading the whole file once and writing it once, as the floor.
void ReadAndWriteOnce(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string temporary = path + ".floor";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  fsync(fd);
  close(fd);
  if (ok) std::rename(temporary.c_str(), (path + ".copy").c_str());
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void BM_Session(benchmark::State& state) {
  const std::string path = Folder() + "/VideoQuellor.ini";
  WriteSettingsFile(path);
  int round = 0;
  for (auto _ : state) Session("VideoQuellor.ini", ++round);
}
BENCHMARK(BM_Session)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SessionRatio(benchmark::State& state) {
  const std::string path = Folder() + "/VideoQuellor.ini";
  WriteSettingsFile(path);
  int round = 0;
  double session = 0, floor = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    Session("VideoQuellor.ini", ++round);
    const auto middle = std::chrono::steady_clock::now();
    ReadAndWriteOnce(path);
    const auto end = std::chrono::steady_clock::now();
    session += Seconds(middle - start);
    floor += Seconds(end - middle);
  }
  state.counters["ratio"] = floor > 0 ? session / floor : 0;
}
BENCHMARK(BM_SessionRatio)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
