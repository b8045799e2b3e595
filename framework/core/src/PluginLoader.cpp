// The plug-in loader. Paths are formed in 1024-byte buffers, as the program's
// path is read; an entry whose path would not fit is skipped.
#include "PluginLoader.h"

#include <sys/stat.h>
#include <win32/quellor_host.h>

#include <atomic>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "PluginRegistry.h"
#include "ProgramFolder.h"

namespace {

constexpr DWORD kPathBufferSize = 1024;

constinit std::atomic<bool> g_loaderFailed{false};

// Folders already scanned, by device and inode: a link back up the tree would
// otherwise send the scan round in circles.
using FolderIdentity = std::pair<dev_t, ino_t>;

class FolderScan {
 public:
  void Scan(const char* folder) {
    if (!FirstVisit(folder)) return;
    ScanSubFolders(folder);
    LoadPlugins(folder);
  }

 private:
  bool FirstVisit(const char* folder) {
    const std::optional<std::string> hostPath = quellor::win32::ToHostPath(folder);
    struct stat status {};
    if (!hostPath || ::stat(hostPath->c_str(), &status) != 0)
      return true;  // let the listing report it
    return visited_.insert({status.st_dev, status.st_ino}).second;
  }

  void ScanSubFolders(const char* folder) {
    char pattern[kPathBufferSize];
    if (!JoinPath(pattern, folder, "*.*")) return;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || entry.cFileName[0] == '.') {
        continue;
      }
      char subFolder[kPathBufferSize];
      if (JoinPath(subFolder, folder, entry.cFileName)) Scan(subFolder);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }

  static void LoadPlugins(const char* folder) {
    char pattern[kPathBufferSize];
    if (!JoinPath(pattern, folder, "*.quell")) return;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
      char library[kPathBufferSize];
      if (JoinPath(library, folder, entry.cFileName)) LoadPlugin(library);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }

  // Loaded plug-ins stay loaded for the life of the process.
  static void LoadPlugin(const char* library) {
    std::vector<PluginFactory> before = PluginRegistrySnapshot();
    if (LoadLibraryA(library) == nullptr) DropPluginFactoriesAddedSince(before);
  }

  // "folder\name" in buffer. False when it would not fit.
  static bool JoinPath(char (&buffer)[kPathBufferSize], const char* folder, const char* name) {
    int length = std::snprintf(buffer, sizeof buffer, "%s\\%s", folder, name);
    return length >= 0 && static_cast<std::size_t>(length) < sizeof buffer;
  }

  std::set<FolderIdentity> visited_;
};

}  // namespace

bool RunPluginLoaderStep() {
  const std::optional<std::string> folder = ProgramFolder();
  if (!folder) {
    g_loaderFailed.store(true);
    return false;
  }
  FolderScan().Scan(folder->c_str());
  return true;
}

bool PluginLoaderFailed() {
  return g_loaderFailed.load();
}

// The framework library's own entry point: a library whose start-up could not
// find the program refuses to load.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH && PluginLoaderFailed()) return FALSE;
  return TRUE;
}
