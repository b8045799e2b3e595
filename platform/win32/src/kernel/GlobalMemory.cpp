// GlobalAlloc and friends. A fixed block's handle is its address, as on
// Win32; a moveable block's handle is a separate token that GlobalLock turns
// into the address. Every live handle is registered, so a wrong or freed one
// fails instead of corrupting the heap.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

namespace {

struct Block {
  void* memory;
  SIZE_T size;
  bool moveable;
  DWORD locks = 0;
};

struct Blocks {
  std::mutex mutex;
  std::map<HGLOBAL, Block> by_handle;
  std::uintptr_t next_token = 0;
};

Blocks& TheBlocks() {
  static auto* blocks = new Blocks;
  return *blocks;
}

// Tokens for moveable blocks: odd values in a range the heap never returns
// (addresses are aligned), so they cannot collide with fixed handles.
HGLOBAL NewToken(Blocks& blocks) {
  blocks.next_token += 2;
  return reinterpret_cast<HGLOBAL>(0x10001 + blocks.next_token * 4);
}

}  // namespace

extern "C" HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  // The heap hands out at least one byte so that every block has an address.
  void* memory = (uFlags & GMEM_ZEROINIT) ? std::calloc(1, dwBytes ? dwBytes : 1)
                                          : std::malloc(dwBytes ? dwBytes : 1);
  if (memory == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  Blocks& blocks = TheBlocks();
  std::lock_guard lock(blocks.mutex);
  const bool moveable = uFlags & GMEM_MOVEABLE;
  HGLOBAL handle = moveable ? NewToken(blocks) : static_cast<HGLOBAL>(memory);
  blocks.by_handle[handle] = Block{memory, dwBytes, moveable};
  return handle;
}

extern "C" LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
  Blocks& blocks = TheBlocks();
  std::lock_guard lock(blocks.mutex);
  auto found = blocks.by_handle.find(hMem);
  if (found == blocks.by_handle.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (found->second.moveable) ++found->second.locks;
  return found->second.memory;
}

// TRUE while the block stays locked; FALSE with NO_ERROR when this was the
// last lock, FALSE with ERROR_NOT_LOCKED when it was not locked at all.
extern "C" BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
  Blocks& blocks = TheBlocks();
  std::lock_guard lock(blocks.mutex);
  auto found = blocks.by_handle.find(hMem);
  if (found == blocks.by_handle.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  Block& block = found->second;
  if (!block.moveable || block.locks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--block.locks > 0) return TRUE;
  SetLastError(NO_ERROR);
  return FALSE;
}

// NULL on success; the handle itself when it was not a live block.
extern "C" HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
  void* memory;
  {
    Blocks& blocks = TheBlocks();
    std::lock_guard lock(blocks.mutex);
    auto found = blocks.by_handle.find(hMem);
    if (found == blocks.by_handle.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return hMem;
    }
    memory = found->second.memory;
    blocks.by_handle.erase(found);
  }
  std::free(memory);
  return nullptr;
}

extern "C" SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
  Blocks& blocks = TheBlocks();
  std::lock_guard lock(blocks.mutex);
  auto found = blocks.by_handle.find(hMem);
  if (found == blocks.by_handle.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return found->second.size;
}
