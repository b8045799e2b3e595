// The process-wide table of open clip files: up to eight clips kept open by
// path, so that callers that only know a path can read or write frame after
// frame without reopening. A full table replaces a slot chosen at random.
//
// Locking: one table lock guards the slots; each slot has its own lock. Every
// operation takes the table lock, looks the path up, takes the slot's lock and
// releases the table lock before it works on the file (Acquire does exactly
// this). A thread holding a slot must not Acquire or Close another path: a
// replacement could close the slot it holds.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cliplib/clip/ClipFile.h"

namespace quellor::clip {

struct OpenClipSlot {
  char* path = nullptr;  // own copy
  CRITICAL_SECTION lock;
  std::unique_ptr<ClipFile> clip;
  std::uint32_t pixels_per_line = 0;  // of video stream 0
  std::uint32_t lines = 0;            // of video stream 0
  std::size_t field_bytes = 0;        // pixels per line x lines x 2
  // Where the next frame goes: the whole frames in the file when the slot
  // opened, so writing continues after the last whole frame.
  std::uint64_t next_frame_index = 0;
};

class OpenClipTable {
 public:
  static constexpr int kSlotCount = 8;

  // A slot held under its lock; the lock is released when this goes away.
  class LockedSlot {
   public:
    LockedSlot() = default;
    explicit LockedSlot(OpenClipSlot* slot) : slot_(slot) {}
    LockedSlot(LockedSlot&& other) noexcept : slot_(other.slot_) { other.slot_ = nullptr; }
    LockedSlot& operator=(LockedSlot&& other) noexcept;
    ~LockedSlot() { Release(); }

    explicit operator bool() const { return slot_ != nullptr; }
    OpenClipSlot* operator->() const { return slot_; }
    OpenClipSlot& operator*() const { return *slot_; }
    void Release();

   private:
    OpenClipSlot* slot_ = nullptr;
  };

  // The table of this process: created before main, every open slot closed
  // at exit.
  static OpenClipTable& Instance();

  OpenClipTable();
  ~OpenClipTable();
  OpenClipTable(const OpenClipTable&) = delete;
  OpenClipTable& operator=(const OpenClipTable&) = delete;

  // The slot of `path`, opening the clip if needed, held under its lock; an
  // empty holder when the clip cannot be opened (the reader's error is
  // swallowed).
  LockedSlot Acquire(const char* path);

  // Closes the slot of `path`. True if it was open or `path` is null.
  bool Close(const char* path);

  // Closes every open slot.
  void CloseAll();

  // Paths of the open slots, in slot order (for tools and diagnostics).
  std::vector<std::string> OpenPaths();

 private:
  // Table lock held: the slot of `path`, or a new one in a randomly chosen
  // place (its previous clip closed); null when opening fails.
  OpenClipSlot* Lookup(const char* path);
  // Table lock held: closes and empties slot `index`.
  void CloseSlot(int index);

  CRITICAL_SECTION table_lock_;
  std::unique_ptr<OpenClipSlot> slots_[kSlotCount];
};

}  // namespace quellor::clip
