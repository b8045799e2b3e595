#include "kernel/ProgramLocation.h"

#include <unistd.h>

#include <cstdlib>

namespace quellor::win32 {

std::string ProgramPath() {
  char path[4096];
  ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

std::string ProgramFolder() {
  std::string program = ProgramPath();
  std::size_t slash = program.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : program.substr(0, slash);
}

std::vector<std::string> SplitList(const std::string& list, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(separator, start);
    if (end == std::string::npos) end = list.size();
    if (end > start) parts.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::vector<std::string> DefaultSearchFolders() {
  std::vector<std::string> folders{ProgramFolder(), "."};
  const char* path = std::getenv("PATH");
  for (auto& folder : SplitList(path ? path : "", ':')) folders.push_back(folder);
  return folders;
}

}  // namespace quellor::win32
