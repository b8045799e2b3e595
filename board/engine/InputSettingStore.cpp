#include "InputSettingStore.h"

#include <sys/stat.h>
#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "BoardFolder.h"

namespace quellor::board {

namespace {

// Field periods in nanoseconds as exact fractions: NTSC 1001000000/60,
// PAL 20000000/1. Elapsed times are at most the machine's uptime, so
// elapsed x 60 stays far inside 64 bits; so does 2^32 fields x 1001000000.
std::uint64_t FieldPeriodNumerator(VideoStandard standard) {
  return standard == VideoStandard::Ntsc ? 1001000000ull : 20000000ull;
}
std::uint64_t FieldPeriodDenominator(VideoStandard standard) {
  return standard == VideoStandard::Ntsc ? 60ull : 1ull;
}

}  // namespace

std::uint64_t MonotonicNanoseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000000000ull +
         static_cast<std::uint64_t>(now.tv_nsec);
}

std::uint32_t InputState::FieldAt(std::uint64_t now) const {
  if (now <= epochNanoseconds) return baseField;
  const std::uint64_t elapsed = now - epochNanoseconds;
  const std::uint64_t fields =
      elapsed * FieldPeriodDenominator(setting.standard) / FieldPeriodNumerator(setting.standard);
  return baseField + static_cast<std::uint32_t>(fields);
}

std::uint64_t InputState::StartOfField(std::uint32_t field) const {
  const std::uint32_t fields = field - baseField;  // wraps like the counter does
  // Rounded up, so that FieldAt(StartOfField(n)) is n and not n - 1.
  const std::uint64_t denominator = FieldPeriodDenominator(setting.standard);
  const std::uint64_t offset =
      (std::uint64_t(fields) * FieldPeriodNumerator(setting.standard) + denominator - 1) /
      denominator;
  return epochNanoseconds + offset;
}

bool InputSettingStore::Parse(const std::string& contents, InputState& state) const {
  std::istringstream lines(contents);
  std::string line;
  bool haveEpoch = false;
  while (std::getline(lines, line)) {
    const auto space = line.find(' ');
    const std::string key = line.substr(0, space);
    const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
    if (key == "source") {
      if (value == "bars")
        state.setting.kind = InputSourceKind::Bars;
      else if (value == "black")
        state.setting.kind = InputSourceKind::Black;
      else if (value == "clip")
        state.setting.kind = InputSourceKind::Clip;
      else if (value == "none")
        state.setting.kind = InputSourceKind::None;
      else
        return false;
    } else if (key == "standard") {
      state.setting.standard = value == "pal" ? VideoStandard::Pal : VideoStandard::Ntsc;
    } else if (key == "clip") {
      state.setting.clipPath = value;
    } else if (key == "epoch") {
      state.epochNanoseconds = std::strtoull(value.c_str(), nullptr, 10);
      haveEpoch = true;
    } else if (key == "base") {
      state.baseField = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
    }
  }
  // An origin in the future comes from before a restart of the machine.
  return haveEpoch && state.epochNanoseconds <= MonotonicNanoseconds();
}

std::string InputSettingStore::Format(const InputState& state) const {
  std::ostringstream out;
  out << "source " << InputSourceName(state.setting.kind) << "\n"
      << "standard " << (state.setting.standard == VideoStandard::Pal ? "pal" : "ntsc") << "\n"
      << "clip " << state.setting.clipPath << "\n"
      << "epoch " << state.epochNanoseconds << "\n"
      << "base " << state.baseField << "\n";
  return out.str();
}

bool InputSettingStore::Load(InputState& state) {
  std::string contents;
  if (ReadWholeFile(folder_ + "/input", contents) && Parse(contents, state)) return true;
  // Something other than a file under the name (a pipe, a device) is left
  // for the user to remove, not replaced behind their back.
  if (!IsRegularOrMissing(folder_ + "/input")) return false;
  FileLock lock(folder_ + "/input.lock", true);
  if (!lock.locked()) return false;
  const bool read = ReadWholeFile(folder_ + "/input", contents);
  if (read && Parse(contents, state)) return true;
  // Only a missing or garbled file starts over: one that cannot be read holds
  // a setting that nobody may take for the power-on one or write over.
  struct stat info;
  if (!read && !(stat((folder_ + "/input").c_str(), &info) != 0 && errno == ENOENT)) return false;
  state = InputState{};
  state.epochNanoseconds = MonotonicNanoseconds();
  return WriteFileAtomically(folder_ + "/input", Format(state));
}

bool InputSettingStore::Store(const InputSetting& setting) {
  FileLock lock(folder_ + "/input.lock", true);
  if (!lock.locked()) return false;
  InputState state;
  std::string contents;
  const std::uint64_t now = MonotonicNanoseconds();
  std::uint32_t field = 0;
  if (ReadWholeFile(folder_ + "/input", contents) && Parse(contents, state))
    field = state.FieldAt(now);
  state.setting = setting;
  state.epochNanoseconds = now;
  state.baseField = field;
  return WriteFileAtomically(folder_ + "/input", Format(state));
}

namespace {

// How long after its last change the file's contents, not only its time and
// inode, decide whether it changed: two settings stored within one tick of
// the file system's clock can leave the same time, and the second file can
// take the inode the first one freed. A second covers the coarsest tick by
// far; reading a few lines each field for that long costs nothing.
constexpr std::int64_t kContentsWindowNanoseconds = 1'000'000'000;

std::int64_t NanosecondsSince(const timespec& then) {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return (static_cast<std::int64_t>(now.tv_sec) - then.tv_sec) * 1'000'000'000 +
         (now.tv_nsec - then.tv_nsec);
}

}  // namespace

bool InputSettingStore::Changed() {
  struct stat info;
  std::uint64_t stamp = 0;
  bool young = false;
  if (stat(inputPath_.c_str(), &info) == 0) {
    stamp = static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1000000000ull +
            static_cast<std::uint64_t>(info.st_mtim.tv_nsec) + info.st_ino * 7919u +
            static_cast<std::uint64_t>(info.st_size) * 131u;
    const std::int64_t age = NanosecondsSince(info.st_mtim);
    young = age > -kContentsWindowNanoseconds && age < kContentsWindowNanoseconds;
  }
  bool changed = stamp != lastStamp_;
  lastStamp_ = stamp;
  if (changed || young) {
    std::string contents;
    if (!ReadWholeFile(inputPath_, contents)) contents.clear();
    if (contents != lastContents_) changed = true;
    lastContents_ = std::move(contents);
  }
  return changed;
}

}  // namespace quellor::board
