// The board's control values ("control.format", "control.contrast", ...),
// kept per board in the board folder so that every process sees the same
// values. The input side and the output side are separate sets of registers;
// "control.format" and "control.pedestal" exist on both.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/BoardControl.h"
#include "win32/types.h"

namespace quellor::board {

enum class ControlSide { Input, Output };

class ControlStore {
 public:
  explicit ControlStore(std::string folder) : folder_(std::move(folder)) {}

  // Fails for an invalid name, a type code other than 4 or 5, or a type code
  // that differs from the one the board has for that control.
  bool Set(ControlSide side, const char* name, DWORD typeCode, std::int32_t value);
  // The input side's value when the input side has the control, else the
  // output side's. Controls the board has read their power-on value until
  // set: 1 for "control.pedestal" (NTSC with setup), 0 for the others.
  // Fails too when the stored values cannot be read.
  bool Get(const char* name, DWORD typeCode, std::int32_t& value) const;
  // Every control the board has, and every other one that was set.
  std::vector<ControlEntry> List() const;
  // The board's type code for a control name, or 0 when the board has no
  // such control on that side.
  static DWORD BuiltInType(ControlSide side, const std::string& name);

 private:
  // False when the file is there but cannot be read (a missing file holds no
  // entries).
  bool ReadAll(std::vector<ControlEntry>& entries) const;
  std::string folder_;
};

}  // namespace quellor::board
