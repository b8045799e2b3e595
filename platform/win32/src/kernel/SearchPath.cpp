// SearchPathA and the Windows directory.
#include <win32/quellor_host.h>
#include <windows.h>

#include "kernel/PathArgument.h"
#include "kernel/ProgramLocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool IsFile(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool EndsWithExe(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".exe";
}

// The names tried for a file: as given, and for "x.exe" also "x", since the
// Linux stand-ins of Windows programs carry no extension.
std::vector<std::string> Candidates(const std::string& name) {
  std::vector<std::string> names{name};
  if (EndsWithExe(name)) names.push_back(name.substr(0, name.size() - 4));
  return names;
}

}  // namespace

extern "C" DWORD WINAPI SearchPathA(LPCSTR lpPath, LPCSTR lpFileName, LPCSTR lpExtension,
                                    DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart) {
  using namespace quellor::win32;
  std::string name;
  if (!HostPathArgument(lpFileName, name)) return 0;
  std::size_t last_slash = name.find_last_of('/');
  bool has_extension =
      name.find('.', last_slash == std::string::npos ? 0 : last_slash) != std::string::npos;
  if (lpExtension && *lpExtension && !has_extension) name += lpExtension;

  std::vector<std::string> folders;
  if (name.find('/') != std::string::npos) {
    folders.push_back("");  // a name with a folder is looked at where it says
  } else if (lpPath != nullptr) {
    for (const auto& entry : SplitList(lpPath, ';')) {
      folders.push_back(ToHostPath(entry).value_or(entry));
    }
  } else {
    folders = DefaultSearchFolders();
  }
  for (const auto& folder : folders) {
    for (const auto& candidate : Candidates(name)) {
      std::string path = folder.empty() ? candidate : folder + "/" + candidate;
      if (!IsFile(path)) continue;
      if (path[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd)) path = std::string(cwd) + "/" + path;
      }
      DWORD result = CopyPathResult(path, lpBuffer, nBufferLength);
      if (lpFilePart) {
        *lpFilePart = result == path.size() ? lpBuffer + path.find_last_of('/') + 1 : nullptr;
      }
      return result;
    }
  }
  SetLastError(ERROR_FILE_NOT_FOUND);
  return 0;
}

extern "C" UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) {
  const std::string folder = quellor::win32::WindowsDirectory();
  if (folder.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);  // no QUELLOR_WINDIR, XDG_CONFIG_HOME or HOME
    return 0;
  }
  return quellor::win32::CopyPathResult(folder, lpBuffer, uSize);
}
