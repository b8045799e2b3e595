// VirtualAlloc/VirtualFree on mmap. Regions are reserved on 64 KiB
// boundaries (the Win32 allocation granularity) and committed page by page.
#include <windows.h>

#include <sys/mman.h>
#include <unistd.h>

#include <map>
#include <mutex>

namespace {

constexpr std::uintptr_t kGranularity = 64 * 1024;

std::uintptr_t PageSize() {
  static const auto size = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  return size;
}

struct Regions {
  std::mutex mutex;
  std::map<std::uintptr_t, std::size_t> sizes;  // base -> reserved bytes
};

Regions& TheRegions() {
  static auto* regions = new Regions;
  return *regions;
}

bool ProtectionFlags(DWORD protect, int& flags) {
  switch (protect) {
    case PAGE_NOACCESS:
      flags = PROT_NONE;
      return true;
    case PAGE_READONLY:
      flags = PROT_READ;
      return true;
    case PAGE_READWRITE:
      flags = PROT_READ | PROT_WRITE;
      return true;
    case PAGE_EXECUTE_READWRITE:
      flags = PROT_READ | PROT_WRITE | PROT_EXEC;
      return true;
    default:
      return false;
  }
}

// The reserved region holding [address, address + size), or 0. Caller holds
// the lock.
std::uintptr_t RegionHolding(Regions& regions, std::uintptr_t address, std::size_t size) {
  auto it = regions.sizes.upper_bound(address);
  if (it == regions.sizes.begin()) return 0;
  --it;
  if (address + size > it->first + it->second) return 0;
  return it->first;
}

void* Reserve(std::size_t size) {
  // Over-map, then trim to a 64 KiB aligned piece.
  std::size_t padded = size + kGranularity;
  void* raw =
      ::mmap(nullptr, padded, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  auto start = reinterpret_cast<std::uintptr_t>(raw);
  std::uintptr_t base = (start + kGranularity - 1) & ~(kGranularity - 1);
  if (base > start) ::munmap(raw, base - start);
  std::uintptr_t tail = start + padded - (base + size);
  if (tail > 0) ::munmap(reinterpret_cast<void*>(base + size), tail);
  return reinterpret_cast<void*>(base);
}

}  // namespace

extern "C" LPVOID WINAPI VirtualAlloc(LPVOID lpAddress, SIZE_T dwSize, DWORD flAllocationType,
                                      DWORD flProtect) {
  int protection;
  const DWORD kind = flAllocationType & (MEM_COMMIT | MEM_RESERVE);
  if (dwSize == 0 || kind == 0 || (flAllocationType & ~(MEM_COMMIT | MEM_RESERVE)) != 0 ||
      !ProtectionFlags(flProtect, protection) || dwSize > (SIZE_T{1} << 46)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const std::uintptr_t page = PageSize();
  Regions& regions = TheRegions();
  std::lock_guard lock(regions.mutex);
  if (lpAddress == nullptr || (kind & MEM_RESERVE)) {
    if (lpAddress != nullptr) {
      // Reserving at a chosen address is not offered: the host decides.
      SetLastError(ERROR_INVALID_ADDRESS);
      return nullptr;
    }
    std::size_t size = (dwSize + page - 1) & ~(page - 1);
    void* base = Reserve(size);
    if (base == nullptr) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    if ((kind & MEM_COMMIT) && ::mprotect(base, size, protection) != 0) {
      ::munmap(base, size);
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    regions.sizes[reinterpret_cast<std::uintptr_t>(base)] = size;
    return base;
  }
  // Committing pages of a region reserved earlier.
  auto address = reinterpret_cast<std::uintptr_t>(lpAddress);
  std::uintptr_t first = address & ~(page - 1);
  std::size_t length = ((address + dwSize + page - 1) & ~(page - 1)) - first;
  if (RegionHolding(regions, first, length) == 0) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return nullptr;
  }
  if (::mprotect(reinterpret_cast<void*>(first), length, protection) != 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return reinterpret_cast<void*>(first);
}

extern "C" BOOL WINAPI VirtualFree(LPVOID lpAddress, SIZE_T dwSize, DWORD dwFreeType) {
  auto address = reinterpret_cast<std::uintptr_t>(lpAddress);
  Regions& regions = TheRegions();
  std::lock_guard lock(regions.mutex);
  if (dwFreeType == MEM_RELEASE) {
    // Releasing takes the whole region, named by its base, with size 0.
    auto it = regions.sizes.find(address);
    if (it == regions.sizes.end() || dwSize != 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    ::munmap(lpAddress, it->second);
    regions.sizes.erase(it);
    return TRUE;
  }
  if (dwFreeType == MEM_DECOMMIT) {
    const std::uintptr_t page = PageSize();
    std::uintptr_t first = address & ~(page - 1);
    std::uintptr_t base = RegionHolding(regions, first, 1);
    if (base == 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    // Size 0 with the base decommits the whole region.
    std::size_t length = dwSize == 0 && first == base
                             ? regions.sizes[base]
                             : ((address + dwSize + page - 1) & ~(page - 1)) - first;
    if (length == 0 || RegionHolding(regions, first, length) != base) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    // Fresh zero pages on the next commit, as Win32 gives.
    ::mmap(reinterpret_cast<void*>(first), length, PROT_NONE,
           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED, -1, 0);
    return TRUE;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

extern "C" void WINAPI GetSystemInfo(LPSYSTEM_INFO lpSystemInfo) {
  if (lpSystemInfo == nullptr) return;
  *lpSystemInfo = SYSTEM_INFO{};
  lpSystemInfo->wProcessorArchitecture = 9;  // PROCESSOR_ARCHITECTURE_AMD64
  lpSystemInfo->dwPageSize = static_cast<DWORD>(PageSize());
  lpSystemInfo->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(kGranularity);
  lpSystemInfo->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(0x7FFFFFFEFFFFull);
  long processors = ::sysconf(_SC_NPROCESSORS_ONLN);
  lpSystemInfo->dwNumberOfProcessors = processors > 0 ? static_cast<DWORD>(processors) : 1;
  lpSystemInfo->dwActiveProcessorMask =
      processors >= 64 ? ~DWORD_PTR{0} : ((DWORD_PTR{1} << lpSystemInfo->dwNumberOfProcessors) - 1);
  lpSystemInfo->dwProcessorType = 8664;  // PROCESSOR_AMD_X8664
  lpSystemInfo->dwAllocationGranularity = static_cast<DWORD>(kGranularity);
}
