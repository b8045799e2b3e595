#include "kernel/HandleTable.h"

namespace quellor::win32 {
namespace {
// A handle value is ((generation << kSlotBits) + slot + 1) * 4: a multiple of
// four as on Win32, below 2^32 so that code storing it in a DWORD survives,
// and never 0, -1 or -2. The generation makes a closed handle fail even after
// its slot has been reused.
constexpr std::uintptr_t kHandleStep = 4;
constexpr unsigned kSlotBits = 20;
constexpr std::size_t kMaxSlots = (std::size_t{1} << kSlotBits) - 1;
constexpr std::uint32_t kGenerationMask = (1u << 10) - 1;

HANDLE MakeHandle(std::size_t slot, std::uint32_t generation) {
  std::uintptr_t code = (std::uintptr_t{generation} << kSlotBits) + slot + 1;
  return reinterpret_cast<HANDLE>(code * kHandleStep);
}

bool DecodeHandle(HANDLE handle, std::size_t& slot, std::uint32_t& generation) {
  auto value = reinterpret_cast<std::uintptr_t>(handle);
  if (value == 0 || value % kHandleStep != 0 || value > 0xFFFFFFFFu) return false;
  std::uintptr_t code = value / kHandleStep;
  std::uintptr_t slot_plus_one = code & ((std::uintptr_t{1} << kSlotBits) - 1);
  if (slot_plus_one == 0) return false;
  slot = slot_plus_one - 1;
  generation = static_cast<std::uint32_t>(code >> kSlotBits);
  return true;
}
}  // namespace

HandleTable& HandleTable::instance() {
  // Never destroyed: threads and static destructors of other modules may
  // still close handles while the process exits.
  static auto* table = new HandleTable;
  return *table;
}

HANDLE HandleTable::insert(std::shared_ptr<KernelObject> object) {
  std::lock_guard lock(mutex_);
  std::size_t slot;
  if (!free_slots_.empty()) {
    slot = free_slots_.front();
    free_slots_.pop_front();
  } else {
    if (slots_.size() >= kMaxSlots) {
      SetLastError(ERROR_TOO_MANY_OPEN_FILES);
      return nullptr;
    }
    slot = slots_.size();
    slots_.emplace_back();
  }
  slots_[slot].object = std::move(object);
  return MakeHandle(slot, slots_[slot].generation);
}

std::shared_ptr<KernelObject> HandleTable::lookup(HANDLE handle) const {
  std::size_t slot;
  std::uint32_t generation;
  if (!DecodeHandle(handle, slot, generation)) return nullptr;
  std::lock_guard lock(mutex_);
  if (slot >= slots_.size() || slots_[slot].generation != generation) return nullptr;
  return slots_[slot].object;
}

bool HandleTable::close(HANDLE handle) {
  std::shared_ptr<KernelObject> released;  // destroyed outside the lock
  std::size_t slot;
  std::uint32_t generation;
  if (!DecodeHandle(handle, slot, generation)) return false;
  {
    std::lock_guard lock(mutex_);
    if (slot >= slots_.size()) return false;
    Slot& entry = slots_[slot];
    if (!entry.object || entry.generation != generation) return false;
    released = std::move(entry.object);
    entry.object.reset();
    entry.generation = (entry.generation + 1) & kGenerationMask;
    free_slots_.push_back(slot);
  }
  return true;
}

}  // namespace quellor::win32

extern "C" BOOL WINAPI CloseHandle(HANDLE hObject) {
  if (!quellor::win32::HandleTable::instance().close(hObject)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
