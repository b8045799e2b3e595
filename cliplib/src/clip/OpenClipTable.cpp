#include "cliplib/clip/OpenClipTable.h"

#include <cstdlib>
#include <cstring>

namespace quellor::clip {
namespace {

// Holds the table lock for one operation.
class TableLock {
 public:
  explicit TableLock(CRITICAL_SECTION* lock) : lock_(lock) { EnterCriticalSection(lock_); }
  ~TableLock() { Release(); }
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;
  void Release() {
    if (lock_ != nullptr) LeaveCriticalSection(lock_);
    lock_ = nullptr;
  }

 private:
  CRITICAL_SECTION* lock_;
};

// Builds the table before the program's entry point.
[[maybe_unused]] OpenClipTable& g_table_before_main = OpenClipTable::Instance();

}  // namespace

OpenClipTable::LockedSlot& OpenClipTable::LockedSlot::operator=(LockedSlot&& other) noexcept {
  if (this != &other) {
    Release();
    slot_ = other.slot_;
    other.slot_ = nullptr;
  }
  return *this;
}

void OpenClipTable::LockedSlot::Release() {
  if (slot_ != nullptr) LeaveCriticalSection(&slot_->lock);
  slot_ = nullptr;
}

OpenClipTable& OpenClipTable::Instance() {
  static OpenClipTable table;
  return table;
}

OpenClipTable::OpenClipTable() {
  InitializeCriticalSection(&table_lock_);
}

OpenClipTable::~OpenClipTable() {
  CloseAll();
  DeleteCriticalSection(&table_lock_);
}

OpenClipTable::LockedSlot OpenClipTable::Acquire(const char* path) {
  TableLock table(&table_lock_);
  OpenClipSlot* slot = Lookup(path);
  if (slot == nullptr) return LockedSlot();
  EnterCriticalSection(&slot->lock);
  table.Release();
  return LockedSlot(slot);
}

bool OpenClipTable::Close(const char* path) {
  if (path == nullptr) return true;
  TableLock table(&table_lock_);
  for (int i = 0; i < kSlotCount; ++i) {
    if (slots_[i] && std::strcmp(slots_[i]->path, path) == 0) {
      CloseSlot(i);
      return true;
    }
  }
  return false;
}

void OpenClipTable::CloseAll() {
  TableLock table(&table_lock_);
  for (int i = 0; i < kSlotCount; ++i) CloseSlot(i);
}

std::vector<std::string> OpenClipTable::OpenPaths() {
  TableLock table(&table_lock_);
  std::vector<std::string> paths;
  for (const auto& slot : slots_) {
    if (slot) paths.emplace_back(slot->path);
  }
  return paths;
}

OpenClipSlot* OpenClipTable::Lookup(const char* path) {
  if (path == nullptr) return nullptr;
  for (const auto& slot : slots_) {
    if (slot && std::strcmp(slot->path, path) == 0) return slot.get();
  }

  const int index = std::rand() & 7;
  CloseSlot(index);

  auto slot = std::make_unique<OpenClipSlot>();
  InitializeCriticalSection(&slot->lock);
  try {
    slot->path = static_cast<char*>(std::malloc(std::strlen(path) + 1));
    if (slot->path == nullptr) throw "Could not allocate memory for filename";
    std::strcpy(slot->path, path);
    slot->clip = ClipFile::Open(path);
    slot->clip->Geometry(0, &slot->pixels_per_line, &slot->lines);
    slot->field_bytes = static_cast<std::size_t>(slot->pixels_per_line) * slot->lines * 2;
    // Frames go after the last whole one: a size that cannot be had must not
    // read as an empty clip, whose first frame would go over the clip's own.
    std::uint64_t fields = 0;
    if (!slot->clip->CountFields(fields)) throw "Could not read the size of the file.";
    slot->next_frame_index = fields / 2;
  } catch (...) {
    // The reader's message is swallowed: the caller reports plain failure.
    slot->clip.reset();
    std::free(slot->path);
    DeleteCriticalSection(&slot->lock);
    return nullptr;
  }
  slots_[index] = std::move(slot);
  return slots_[index].get();
}

void OpenClipTable::CloseSlot(int index) {
  std::unique_ptr<OpenClipSlot>& slot = slots_[index];
  if (!slot) return;
  // Wait for whoever works on the file, then take it down.
  EnterCriticalSection(&slot->lock);
  try {
    slot->clip->Close();
  } catch (const char*) {
    // The handle is gone either way; nobody is there to show the message.
  }
  slot->clip.reset();
  std::free(slot->path);
  slot->path = nullptr;
  LeaveCriticalSection(&slot->lock);
  DeleteCriticalSection(&slot->lock);
  slot.reset();
}

}  // namespace quellor::clip
