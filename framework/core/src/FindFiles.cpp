#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "ProgramFolder.h"
#include "SearchPaths.h"
#include "qlxrapi/FindFiles.h"

namespace {

// Paths, like the loader's, are formed in buffers of this size.
constexpr std::size_t kPathBufferSize = 1024;

tList<FindFilesPath*>* g_searchPaths = nullptr;

// The caller holds the search paths' lock.
FindFilesPath* FindPathCalled(const char* name) {
  for (std::uint32_t i = 0; i < g_searchPaths->GetNoItems(); ++i) {
    if ((*g_searchPaths)[i]->IsCalled(name)) return (*g_searchPaths)[i];
  }
  return nullptr;
}

// Expands a folder format: each "%s" becomes the program folder and "%%" a
// single '%'; any other '%' is kept as it is, so a format with other
// conversions cannot read arguments that are not there.
std::string ExpandFolderFormat(const char* format, const std::string& programFolder) {
  std::string folder;
  for (const char* c = format; *c != '\0'; ++c) {
    if (c[0] == '%' && c[1] == 's') {
      folder += programFolder;
      ++c;
    } else if (c[0] == '%' && c[1] == '%') {
      folder += '%';
      ++c;
    } else {
      folder += *c;
    }
  }
  return folder;
}

bool CanOpenForReading(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// Tries file under each folder of path in order; on a hit copies the
// candidate into result.
bool FindAlongPath(FindFilesPath& path, const std::string& programFolder, const char* file,
                   char* result) {
  path.FileSelect_LockList();
  bool found = false;
  for (unsigned int i = 0; !found && i < path.FileSelect_GetNoFiles(); ++i) {
    const std::string candidate =
        ExpandFolderFormat(path.FileSelect_Get(i), programFolder) + "\\" + file;
    if (candidate.size() >= kPathBufferSize) continue;
    if (CanOpenForReading(candidate)) {
      std::memcpy(result, candidate.c_str(), candidate.size() + 1);
      found = true;
    }
  }
  path.FileSelect_UnLockList();
  return found;
}

}  // namespace

void CreateSearchPaths() {
  if (g_searchPaths != nullptr) return;
  g_searchPaths = new tList<FindFilesPath*>();
  FindFiles_AddPath("Skins", "%s\\Skins");
}

void DestroySearchPaths() {
  tList<FindFilesPath*>* paths = g_searchPaths;
  g_searchPaths = nullptr;
  if (paths == nullptr) return;
  for (std::uint32_t i = 0; i < paths->GetNoItems(); ++i) delete (*paths)[i];
  delete paths;
}

FindFilesPath* FindSearchPath(const char* name) {
  if (g_searchPaths == nullptr) return nullptr;
  FunctionBlock hold(g_searchPaths->GetLock());
  return FindPathCalled(name);
}

void FindFiles_AddPath(const char* name, const char* format) {
  if (g_searchPaths == nullptr || name == nullptr || name[0] == '\0' || format == nullptr) return;
  FunctionBlock hold(g_searchPaths->GetLock());
  FindFilesPath* path = FindPathCalled(name);
  if (path == nullptr) {
    path = new (std::nothrow) FindFilesPath(name);
    if (path == nullptr) return;
    if (!g_searchPaths->AddItem(path)) {
      delete path;
      return;
    }
  }
  path->FileSelect_LockList();
  bool known = false;
  for (unsigned int i = 0; !known && i < path->FileSelect_GetNoFiles(); ++i) {
    known = std::strcmp(path->FileSelect_Get(i), format) == 0;
  }
  if (!known) path->FileSelect_Set(0xFFFFFFFFUL, format);
  path->FileSelect_UnLockList();
}

void FindFiles_DeletePath(const char* name, const char* format) {
  if (g_searchPaths == nullptr || name == nullptr || format == nullptr) return;
  FunctionBlock hold(g_searchPaths->GetLock());
  FindFilesPath* path = FindPathCalled(name);
  if (path == nullptr) return;
  path->FileSelect_LockList();
  for (unsigned int i = 0; i < path->FileSelect_GetNoFiles(); ++i) {
    if (std::strcmp(path->FileSelect_Get(i), format) == 0) {
      path->FileSelect_DeleteFilename(i);
      break;
    }
  }
  path->FileSelect_UnLockList();
}

char* FindFiles_FindFile(const char* name, const char* file) {
  // One buffer per thread: a caller copies the text before its next call.
  thread_local char result[kPathBufferSize];
  if (g_searchPaths == nullptr || file == nullptr) return nullptr;
  const std::optional<std::string> programFolder = ProgramFolder();
  if (!programFolder) return nullptr;
  FunctionBlock hold(g_searchPaths->GetLock());
  if (name != nullptr) {
    FindFilesPath* path = FindPathCalled(name);
    return (path != nullptr && FindAlongPath(*path, *programFolder, file, result)) ? result
                                                                                   : nullptr;
  }
  for (std::uint32_t i = 0; i < g_searchPaths->GetNoItems(); ++i) {
    if (FindAlongPath(*(*g_searchPaths)[i], *programFolder, file, result)) return result;
  }
  return nullptr;
}
