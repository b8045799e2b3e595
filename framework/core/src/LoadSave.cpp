#include "qlxrapi/LoadSave.h"

#include <cstdint>

bool LoadSave::LoadSave_SaveAllData(Stream_Out* /*out*/) {
  return true;
}

bool LoadSave::LoadSave_LoadAllData(Stream_In* /*in*/, unsigned long /*version*/) {
  return true;
}

unsigned long LoadSave::LoadSave_GetPluginVersion() {
  return 0x10000;
}

bool LoadSave::SavePlugin(Stream_Out* out) {
  if (out == nullptr) return false;
  // Little-endian whatever the machine, so saved data moves between machines.
  const auto version = static_cast<std::uint32_t>(LoadSave_GetPluginVersion());
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(version), static_cast<unsigned char>(version >> 8),
      static_cast<unsigned char>(version >> 16), static_cast<unsigned char>(version >> 24)};
  if (!out->WriteData(bytes, sizeof(bytes))) return false;
  return LoadSave_SaveAllData(out);
}

bool LoadSave::LoadPlugin(Stream_In* in) {
  if (in == nullptr) return false;
  unsigned char bytes[4];
  if (!in->ReadData(bytes, sizeof(bytes))) return false;
  const std::uint32_t version = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
  return LoadSave_LoadAllData(in, version);
}
