#include "ProgramFolder.h"

#include <windows.h>

namespace {

// Paths are formed in buffers of this size; a longer program path is unusable.
constexpr DWORD kPathBufferSize = 1024;

}  // namespace

std::optional<std::string> ProgramFolder() {
  char path[kPathBufferSize];
  const DWORD length = GetModuleFileNameA(nullptr, path, kPathBufferSize);
  if (length == 0 || length >= kPathBufferSize) return std::nullopt;  // unreadable or cut short
  std::string folder(path, length);
  const std::size_t cut = folder.find_last_of("\\/");
  if (cut == std::string::npos) return std::nullopt;
  folder.resize(cut);
  return folder;
}
