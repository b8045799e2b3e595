// Modules: shared libraries through dlopen, and the program itself. An
// HMODULE is the address the module is mapped at (as on Win32, where it is
// the image base), so the same library always has the same handle and the
// module holding any address can be found with dladdr.
#include <win32/quellor_host.h>
#include <windows.h>

#include "kernel/PathArgument.h"
#include "kernel/ProgramLocation.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace quellor::win32 {
namespace {

struct LoadedLibrary {
  void* dl_handle;
  int references;
};

// The loader lock: loads, unloads and their DllMain calls happen one at a
// time, and a DllMain may load further libraries (hence recursive).
struct Loader {
  std::recursive_mutex mutex;
  std::map<HMODULE, LoadedLibrary> libraries;
};

Loader& TheLoader() {
  static auto* loader = new Loader;
  return *loader;
}

HMODULE BaseOfDlHandle(void* dl_handle) {
  link_map* map = nullptr;
  if (dl_handle == nullptr || ::dlinfo(dl_handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) {
    return nullptr;
  }
  return ModuleFromAddress(map->l_ld);
}

HMODULE ProgramModule() {
  static HMODULE program = [] {
    void* self = ::dlopen(nullptr, RTLD_NOW);
    HMODULE base = BaseOfDlHandle(self);
    return base;
  }();
  return program;
}

std::string Folder(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool IsModuleBase(HMODULE module) {
  Dl_info info;
  return module != nullptr && ::dladdr(module, &info) != 0 &&
         info.dli_fbase == static_cast<void*>(module);
}

std::string ModulePath(HMODULE module) {
  if (module == ProgramModule()) return ProgramPath();
  Dl_info info;
  if (::dladdr(module, &info) == 0 || info.dli_fname == nullptr) return {};
  std::string path = info.dli_fname;
  if (!path.empty() && path[0] != '/') {
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd)) path = std::string(cwd) + "/" + path;
  }
  return path;
}

// The symbol `name` defined by `module` itself: dlsym also searches the
// library's dependencies, which Win32's export lookup never does.
void* OwnSymbol(void* dl_handle, HMODULE module, const char* name) {
  void* symbol = ::dlsym(dl_handle, name);
  Dl_info info;
  if (symbol == nullptr || ::dladdr(symbol, &info) == 0 ||
      info.dli_fbase != static_cast<void*>(module)) {
    return nullptr;
  }
  return symbol;
}

using EntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);

// Runs the library's DllMain if it has one. False when it refused or threw.
bool CallEntryPoint(void* dl_handle, HMODULE module, DWORD reason) {
  auto entry = reinterpret_cast<EntryPoint>(OwnSymbol(dl_handle, module, "DllMain"));
  if (entry == nullptr) return true;
  try {
    return entry(module, reason, nullptr) != FALSE;
  } catch (...) {
    return false;
  }
}

void* OpenLibrary(const std::string& host_path) {
  // A bare name is looked for beside the program first, as Win32 does.
  if (host_path.find('/') == std::string::npos) {
    std::string beside = Folder(ProgramPath()) + "/" + host_path;
    if (::access(beside.c_str(), F_OK) == 0) return ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  return ::dlopen(host_path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

bool SameName(const std::string& wanted, const std::string& path) {
  std::string file = path.substr(path.find_last_of('/') + 1);
  auto equal = [](const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) ==
                    std::tolower(static_cast<unsigned char>(y));
           });
  };
  if (equal(wanted, file) || equal(wanted, path)) return true;
  // "QLXRAPI" and "QLXRAPI.dll" name "libQLXRAPI.so" too.
  std::string stem = wanted.substr(0, wanted.find('.'));
  return equal("lib" + stem + ".so", file) || equal(stem + ".so", file);
}

struct ModuleSearch {
  const std::string* wanted;
  HMODULE found = nullptr;
};

int VisitLoadedObject(dl_phdr_info* info, std::size_t, void* context) {
  auto* search = static_cast<ModuleSearch*>(context);
  if (info->dlpi_name == nullptr || info->dlpi_name[0] == '\0') return 0;  // the program
  if (!SameName(*search->wanted, info->dlpi_name)) return 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    if (info->dlpi_phdr[i].p_type == PT_LOAD) {
      search->found = ModuleFromAddress(
          reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr));
      return 1;
    }
  }
  return 0;
}

}  // namespace

HMODULE ModuleFromAddress(const void* address) {
  Dl_info info;
  if (address == nullptr || ::dladdr(address, &info) == 0) return nullptr;
  return static_cast<HMODULE>(info.dli_fbase);
}

}  // namespace quellor::win32

extern "C" HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
  using namespace quellor::win32;
  std::string host_path;
  if (!HostPathArgument(lpLibFileName, host_path)) return nullptr;
  Loader& loader = TheLoader();
  std::lock_guard lock(loader.mutex);
  void* dl_handle = OpenLibrary(host_path);
  if (dl_handle == nullptr) {
    if (const char* reason = ::dlerror()) {
      OutputDebugStringA((std::string("LoadLibraryA: ") + reason + "\n").c_str());
    }
    struct stat status;
    bool exists = ::stat(host_path.c_str(), &status) == 0;
    SetLastError(exists ? ERROR_BAD_EXE_FORMAT : ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  HMODULE module = BaseOfDlHandle(dl_handle);
  auto known = loader.libraries.find(module);
  if (known != loader.libraries.end()) {
    ++known->second.references;
    ::dlclose(dl_handle);  // the first handle keeps it loaded
    return module;
  }
  loader.libraries[module] = LoadedLibrary{dl_handle, 1};
  if (!CallEntryPoint(dl_handle, module, DLL_PROCESS_ATTACH)) {
    // Win32 tells a library whose attach failed that it is being detached.
    CallEntryPoint(dl_handle, module, DLL_PROCESS_DETACH);
    loader.libraries.erase(module);
    ::dlclose(dl_handle);
    SetLastError(ERROR_DLL_INIT_FAILED);
    return nullptr;
  }
  return module;
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  using namespace quellor::win32;
  Loader& loader = TheLoader();
  std::lock_guard lock(loader.mutex);
  auto known = loader.libraries.find(hLibModule);
  if (known == loader.libraries.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (--known->second.references > 0) return TRUE;
  void* dl_handle = known->second.dl_handle;
  CallEntryPoint(dl_handle, hLibModule, DLL_PROCESS_DETACH);
  loader.libraries.erase(known);
  ::dlclose(dl_handle);
  return TRUE;
}

extern "C" FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  using namespace quellor::win32;
  if (!IsModuleBase(hModule)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  // Lookups by ordinal (a name "pointer" below 64K) have no ELF counterpart.
  if (reinterpret_cast<std::uintptr_t>(lpProcName) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* dl_handle = nullptr;
  bool temporary = false;
  {
    Loader& loader = TheLoader();
    std::lock_guard lock(loader.mutex);
    auto known = loader.libraries.find(hModule);
    if (known != loader.libraries.end()) dl_handle = known->second.dl_handle;
  }
  if (dl_handle == nullptr) {
    if (hModule == ProgramModule()) {
      dl_handle = ::dlopen(nullptr, RTLD_NOW);
    } else {
      // Loaded some other way (linked at start-up): reach it without loading.
      Dl_info info;
      ::dladdr(hModule, &info);
      dl_handle = info.dli_fname ? ::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD) : nullptr;
    }
    temporary = dl_handle != nullptr;
  }
  void* symbol = dl_handle ? OwnSymbol(dl_handle, hModule, lpProcName) : nullptr;
  if (temporary) ::dlclose(dl_handle);
  if (symbol == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  using namespace quellor::win32;
  if (lpModuleName == nullptr) return ProgramModule();
  std::string wanted = ToHostPath(lpModuleName).value_or(lpModuleName);
  if (SameName(wanted, ProgramPath())) return ProgramModule();
  ModuleSearch search{&wanted};
  ::dl_iterate_phdr(VisitLoadedObject, &search);
  if (search.found == nullptr) SetLastError(ERROR_MOD_NOT_FOUND);
  return search.found;
}

extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  using namespace quellor::win32;
  if (hModule != nullptr && !IsModuleBase(hModule)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  std::string path = ModulePath(hModule ? hModule : ProgramModule());
  if (path.empty()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (lpFilename == nullptr || nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  // Too small a buffer gets the path cut short, still terminated, and the
  // answer nSize with ERROR_INSUFFICIENT_BUFFER.
  if (path.size() >= nSize) {
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  std::memcpy(lpFilename, path.c_str(), path.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}
