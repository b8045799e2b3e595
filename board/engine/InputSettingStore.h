// The board's input setting and field clock origin, shared through the file
// "input" in the board folder:
//   source bars|black|clip|none
//   standard ntsc|pal          (a clip's own standard for clips)
//   clip <path>
//   epoch <CLOCK_MONOTONIC nanoseconds>
//   base <field counter at the epoch>
// The field counter is base + whole fields since the epoch, so every process
// computes the same time stamps. A change of the setting re-bases the clock
// at the current field so that the counter never jumps back.
#pragma once

#include <cstdint>
#include <string>

#include "board/BoardControl.h"

namespace quellor::board {

struct InputState {
  InputSetting setting;
  std::uint64_t epochNanoseconds = 0;
  std::uint32_t baseField = 0;

  std::uint32_t FieldAt(std::uint64_t monotonicNanoseconds) const;
  std::uint64_t StartOfField(std::uint32_t field) const;  // CLOCK_MONOTONIC ns
};

std::uint64_t MonotonicNanoseconds();

class InputSettingStore {
 public:
  explicit InputSettingStore(std::string folder)
      : folder_(std::move(folder)), inputPath_(folder_ + "/input") {}
  // Reads the file, writing the default (bars, NTSC, clock from now) first
  // when there is none.
  bool Load(InputState& state);
  bool Store(const InputSetting& setting);
  // True when the file changed since the last call (cheap: one stat, and a
  // read while the file is under a second old).
  bool Changed();

 private:
  bool Parse(const std::string& contents, InputState& state) const;
  std::string Format(const InputState& state) const;
  std::string folder_;
  std::string inputPath_;  // folder_ + "/input", made once: Changed() runs every field
  std::uint64_t lastStamp_ = 0;
  std::string lastContents_;  // as read at the last change or while young
};

}  // namespace quellor::board
