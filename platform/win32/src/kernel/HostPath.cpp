#include <win32/quellor_host.h>

#include <cctype>
#include <cstdlib>

namespace quellor::win32 {
namespace {

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string WithoutTrailingSlashes(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::string WithForwardSlashes(std::string_view path) {
  std::string result(path);
  for (char& c : result) {
    if (c == '\\') c = '/';
  }
  return result;
}

bool StartsWithDrive(std::string_view path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

}  // namespace

std::optional<std::string> DriveFolder(char letter) {
  if (!std::isalpha(static_cast<unsigned char>(letter))) return std::nullopt;
  const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  // QUELLOR_DRIVES: "C=/home/me;D=/mnt/video"; later entries win.
  std::optional<std::string> found;
  const std::string drives = EnvironmentValue("QUELLOR_DRIVES");
  std::size_t start = 0;
  while (start <= drives.size()) {
    std::size_t end = drives.find(';', start);
    if (end == std::string::npos) end = drives.size();
    std::string_view entry(drives.data() + start, end - start);
    if (entry.size() >= 3 && entry[1] == '=' &&
        std::toupper(static_cast<unsigned char>(entry[0])) == wanted) {
      found = WithoutTrailingSlashes(WithForwardSlashes(entry.substr(2)));
    }
    start = end + 1;
  }
  if (found) return found;
  if (wanted == 'C') {
    std::string home = EnvironmentValue("HOME");
    return home.empty() ? std::string("/") : WithoutTrailingSlashes(home);
  }
  return std::nullopt;
}

std::optional<std::string> ToHostPath(std::string_view windows_path) {
  if (!StartsWithDrive(windows_path)) return WithForwardSlashes(windows_path);
  std::optional<std::string> folder = DriveFolder(windows_path[0]);
  if (!folder) return std::nullopt;
  std::string rest = WithForwardSlashes(windows_path.substr(2));
  if (rest.empty()) return folder;
  // "C:name" (relative to the drive) and "C:\name" both land in the folder.
  if (rest.front() != '/') rest.insert(rest.begin(), '/');
  if (*folder == "/") return rest;
  return *folder + rest;
}

std::string WindowsDirectory() {
  std::string windir = EnvironmentValue("QUELLOR_WINDIR");
  if (!windir.empty()) return WithoutTrailingSlashes(windir);
  std::string config = EnvironmentValue("XDG_CONFIG_HOME");
  if (!config.empty()) return WithoutTrailingSlashes(config) + "/quellor";
  std::string home = EnvironmentValue("HOME");
  // With none of the three there is no folder of the user's: nothing, so
  // that no one writes settings at the root of the file system.
  if (home.empty()) return std::string();
  return WithoutTrailingSlashes(home) + "/.config/quellor";
}

}  // namespace quellor::win32
