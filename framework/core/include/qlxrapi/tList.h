// tList<T>: a growable array with its own recursive lock, and its grow-only
// variant tListExpandOnly<T>.
//
// The array lives on the shared heap, so a list may be filled in one module
// and emptied in another. Every module that uses a tList compiles these
// operations itself and relies on the layout: count, items, lock.
//
// Mutating operations take the list's lock; reads (count, indexing) do not.
// A reader that must see a steady list while other threads change it holds
// Lock()/UnLock() around its reads.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "OrvaneHeap.h"
#include "VariableBlock.h"

template <typename T>
class tList {
  // Elements are moved with realloc and memmove.
  static_assert(std::is_trivially_copyable_v<T>, "tList elements must be trivially copyable");

 public:
  tList() = default;

  // Fits the array to the count: reallocates it to count elements, frees it
  // at count 0, allocates it when there was none. Returns false when the
  // array cannot hold count elements (the old array is kept).
  virtual bool FitStorage() {
    if (m_count == 0) {
      Orvane_free(m_items);
      m_items = nullptr;
      return true;
    }
    return ReallocateItems(m_count);
  }

  virtual ~tList() { Orvane_free(m_items); }

  // A copy would share the array and duplicate the lock.
  tList(const tList&) = delete;
  tList& operator=(const tList&) = delete;

  // Appends item at the end. False when the array cannot grow.
  bool AddItem(const T& item) {
    FunctionBlock hold(m_lock);
    T copy = item;  // item may lie in the array that is about to move
    if (m_count == std::numeric_limits<std::uint32_t>::max()) return false;
    ++m_count;
    if (!FitStorage()) {
      --m_count;
      return false;
    }
    m_items[m_count - 1] = copy;
    return true;
  }

  // Removes element index; the last element moves into its place, so the
  // order of the others is not kept. False when index is past the end.
  bool RemoveItemAt(std::uint32_t index) {
    FunctionBlock hold(m_lock);
    if (index >= m_count) return false;
    m_items[index] = m_items[m_count - 1];
    --m_count;
    FitStorage();  // shrinking: a failed reallocation keeps the larger array
    return true;
  }

  // Removes element index; the later elements move down one place, so the
  // order is kept. False when index is past the end.
  bool RemoveItemAtInOrder(std::uint32_t index) {
    FunctionBlock hold(m_lock);
    if (index >= m_count) return false;
    std::memmove(static_cast<void*>(m_items + index), m_items + index + 1,
                 sizeof(T) * (m_count - index - 1));
    --m_count;
    FitStorage();
    return true;
  }

  // Removes the first element equal to item as RemoveItemAt does. Reports
  // whether one was found.
  bool RemoveItem(const T& item) {
    FunctionBlock hold(m_lock);
    for (std::uint32_t i = 0; i < m_count; ++i) {
      if (m_items[i] == item) return RemoveItemAt(i);
    }
    return false;
  }

  void Clear() {
    FunctionBlock hold(m_lock);
    m_count = 0;
    FitStorage();
  }

  std::uint32_t GetNoItems() const { return m_count; }
  // Element index, or a value-initialised T past the end.
  T GetItem(std::uint32_t index) const { return index < m_count ? m_items[index] : T{}; }
  // Unchecked: the caller keeps index below GetNoItems().
  T& operator[](std::uint32_t index) { return m_items[index]; }
  const T& operator[](std::uint32_t index) const { return m_items[index]; }
  T* GetItems() { return m_items; }

  void Lock() { m_lock.Block(); }
  void UnLock() { m_lock.UnBlock(); }
  Variable_Block& GetLock() { return m_lock; }

 protected:
  bool ReallocateItems(std::uint32_t elements) {
    const std::size_t bytes = std::size_t{elements} * sizeof(T);
    if (bytes > std::numeric_limits<unsigned int>::max()) return false;
    void* moved = Orvane_realloc(m_items, static_cast<unsigned int>(bytes));
    if (moved == nullptr) return false;
    m_items = static_cast<T*>(moved);
    return true;
  }

  std::uint32_t m_count = 0;
  T* m_items = nullptr;
  Variable_Block m_lock;
};

// A tList whose array only grows: it keeps its largest size until the list is
// destroyed, so a list that is filled and emptied over and over does not
// reallocate each time.
template <typename T>
class tListExpandOnly : public tList<T> {
 public:
  bool FitStorage() override {
    if (this->m_count <= m_capacity) return true;
    if (!this->ReallocateItems(this->m_count)) return false;
    m_capacity = this->m_count;
    return true;
  }

  std::uint32_t GetCapacity() const { return m_capacity; }

 private:
  std::uint32_t m_capacity = 0;
};
