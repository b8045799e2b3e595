#include "ControlStore.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <sstream>

#include "BoardFolder.h"
#include "NamedObjectLock.h"
#include "board/Engine.h"

namespace quellor::board {

namespace {

struct BuiltInControl {
  const char* name;
  DWORD typeCode;
  std::int32_t powerOn = 0;  // the value until a program sets it
};

constexpr BuiltInControl kInputControls[] = {
    {"control.format", 5},   {"control.lumacomb", 5},   {"control.chromacomb", 5},
    {"control.ctrap", 5},    {"control.tstcgn", 5},     {"control.pedestal", 5, 1},
    {"control.contrast", 4}, {"control.brightness", 4}, {"control.saturation", 4},
    {"control.hue", 4},      {"control.ugain", 4},      {"control.vgain", 4},
    {"control.uoffset", 4},  {"control.voffset", 4},    {"control.agc", 4},
    {"control.hypk", 4},
};
constexpr BuiltInControl kOutputControls[] = {
    {"control.format", 5},
    {"control.filter", 5},
    {"control.pedestal", 5, 1},
    {"control.scphase", 5},
};

// The board's own entry for a control on one side, or null.
const BuiltInControl* FindBuiltIn(ControlSide side, const std::string& name) {
  const auto find = [&](const auto& table) -> const BuiltInControl* {
    for (const auto& control : table)
      if (name == control.name) return &control;
    return nullptr;
  };
  return side == ControlSide::Input ? find(kInputControls) : find(kOutputControls);
}

// NTSC with its 7.5 IRE pedestal is what the board starts in, as the
// settings' default; every other control starts at 0.
std::int32_t PowerOnValue(ControlSide side, const std::string& name) {
  const BuiltInControl* control = FindBuiltIn(side, name);
  return control != nullptr ? control->powerOn : 0;
}

const char* SideName(ControlSide side) {
  return side == ControlSide::Input ? "input" : "output";
}

// Control names are written as one word per line in the file.
bool IsStorableName(const char* name) {
  if (!IsValidObjectName(name)) return false;
  for (const char* p = name; *p; ++p)
    if (*p == ' ') return false;
  return true;
}

}  // namespace

DWORD ControlStore::BuiltInType(ControlSide side, const std::string& name) {
  const BuiltInControl* control = FindBuiltIn(side, name);
  return control != nullptr ? control->typeCode : 0;
}

bool ControlStore::ReadAll(std::vector<ControlEntry>& entries) const {
  entries.clear();
  std::string contents;
  const std::string path = folder_ + "/controls";
  if (!ReadWholeFile(path, contents)) {
    // No file yet is no control set yet; a file that is there but cannot be
    // read holds values nobody may take for the power-on ones or write over.
    struct stat info;
    return stat(path.c_str(), &info) != 0 && errno == ENOENT;
  }
  std::istringstream lines(contents);
  std::string line;
  while (std::getline(lines, line)) {
    char side[16], name[128];
    unsigned type = 0;
    int value = 0;
    if (std::sscanf(line.c_str(), "%15s %127s %u %d", side, name, &type, &value) != 4) continue;
    entries.push_back({side, name, type, value});
  }
  return true;
}

bool ControlStore::Set(ControlSide side, const char* name, DWORD typeCode, std::int32_t value) {
  if (!IsStorableName(name)) return false;
  if (typeCode != kRtmeControlTypeSigned && typeCode != kRtmeControlTypeSetting) return false;
  const DWORD builtIn = BuiltInType(side, name);
  if (builtIn != 0 && builtIn != typeCode) return false;

  FileLock lock(folder_ + "/controls.lock", true);
  if (!lock.locked()) return false;
  std::vector<ControlEntry> entries;
  if (!ReadAll(entries)) return false;
  bool replaced = false;
  for (auto& entry : entries) {
    if (entry.side == SideName(side) && entry.name == name) {
      if (builtIn == 0 && entry.typeCode != typeCode) return false;
      entry.value = value;
      replaced = true;
    }
  }
  if (!replaced) entries.push_back({SideName(side), name, typeCode, value});
  std::string contents;
  for (const auto& entry : entries) {
    char line[192];
    std::snprintf(line, sizeof line, "%s %s %u %d\n", entry.side.c_str(), entry.name.c_str(),
                  static_cast<unsigned>(entry.typeCode), static_cast<int>(entry.value));
    contents += line;
  }
  return WriteFileAtomically(folder_ + "/controls", contents);
}

bool ControlStore::Get(const char* name, DWORD typeCode, std::int32_t& value) const {
  if (!IsStorableName(name)) return false;
  std::vector<ControlEntry> entries;
  if (!ReadAll(entries)) return false;
  for (ControlSide side : {ControlSide::Input, ControlSide::Output}) {
    DWORD type = BuiltInType(side, name);
    std::int32_t current = PowerOnValue(side, name);
    for (const auto& entry : entries) {
      if (entry.side == SideName(side) && entry.name == name) {
        type = entry.typeCode;
        current = entry.value;
      }
    }
    if (type == 0) continue;  // this side has no such control
    if (type != typeCode) return false;
    value = current;
    return true;
  }
  return false;
}

std::vector<ControlEntry> ControlStore::List() const {
  std::vector<ControlEntry> listed;
  std::vector<ControlEntry> stored;
  ReadAll(stored);  // unreadable: the board's own controls at their power-on values
  const auto add = [&](ControlSide side, const char* name, DWORD type) {
    ControlEntry entry{SideName(side), name, type, PowerOnValue(side, name)};
    for (const auto& saved : stored)
      if (saved.side == entry.side && saved.name == entry.name) entry.value = saved.value;
    listed.push_back(entry);
  };
  for (const auto& control : kInputControls)
    add(ControlSide::Input, control.name, control.typeCode);
  for (const auto& control : kOutputControls)
    add(ControlSide::Output, control.name, control.typeCode);
  for (const auto& saved : stored) {
    const ControlSide side = saved.side == "input" ? ControlSide::Input : ControlSide::Output;
    if (BuiltInType(side, saved.name) == 0) listed.push_back(saved);
  }
  return listed;
}

}  // namespace quellor::board
