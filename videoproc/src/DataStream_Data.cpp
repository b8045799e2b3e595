#include "videoproc/DataStream_Data.h"

#include <qlxrapi/OrvaneHeap.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kPageBytes = 4096;

// A new block of a picture's size starts on a page, so that a clip can be
// read into it straight from the disk (unbuffered reads need whole sectors
// in memory too). The shared heap is the C heap, so the block is freed and
// resized like any other.
void* PageAlignedBlock(unsigned int bytes) {
  void* block = nullptr;
  return posix_memalign(&block, kPageBytes, bytes) == 0 ? block : nullptr;
}

// Resizes an owned block in place, or copies a foreign one into a new owned
// block. Sizes are in bytes; the shared heap takes 32-bit sizes.
bool ResizeBlock(void*& block, std::uint32_t& size, std::uint32_t& owns, unsigned long newSize) {
  if (newSize > 0xFFFFFFFFul) return false;
  auto bytes = static_cast<unsigned int>(newSize);
  if (owns != 0) {
    if (block == nullptr && bytes >= kPageBytes) {
      block = PageAlignedBlock(bytes);
      if (block == nullptr) return false;
    } else if (bytes == 0) {
      Orvane_free(block);
      block = nullptr;
    } else {
      void* moved = Orvane_realloc(block, bytes);
      if (moved == nullptr) return false;
      block = moved;
    }
  } else {
    void* copy = bytes == 0 ? nullptr : Orvane_malloc(bytes);
    if (bytes != 0 && copy == nullptr) return false;
    if (copy != nullptr && block != nullptr) std::memcpy(copy, block, std::min(size, bytes));
    block = copy;
    owns = 1;
  }
  size = bytes;
  return true;
}

void FreeBlock(void*& block, std::uint32_t& size, std::uint32_t owns) {
  if (owns == 0) return;
  Orvane_free(block);
  block = nullptr;
  size = 0;
}

}  // namespace

DataStream_Data::~DataStream_Data() {
  FreeData();
  FreeHeader();
  Orvane_free(m_name);
}

void DataStream_Data::SetName(const char* name) {
  if (name == nullptr) {
    Orvane_free(m_name);
    m_name = nullptr;
    return;
  }
  std::size_t length = std::strlen(name);
  if (length >= 0xFFFFFFFFu) return;
  auto bytes = static_cast<unsigned int>(length + 1);
  // A name from inside the old copy is copied out before the old one goes;
  // otherwise the copy is resized in place, which is cheap for the pool's
  // items that keep getting the same name.
  auto at = reinterpret_cast<std::uintptr_t>(name);
  auto old = reinterpret_cast<std::uintptr_t>(m_name);
  bool inside = m_name != nullptr && at >= old && at <= old + std::strlen(m_name);
  // The same length: written over in place, no call to the heap at all (the
  // pool renames its items every field).
  if (m_name != nullptr && !inside && std::strlen(m_name) == length) {
    std::memcpy(m_name, name, bytes);
    return;
  }
  char* copy = static_cast<char*>(inside ? Orvane_malloc(bytes) : Orvane_realloc(m_name, bytes));
  if (copy == nullptr) return;  // the old name stays
  std::memmove(copy, name, bytes);
  if (inside) Orvane_free(m_name);
  m_name = copy;
}

bool DataStream_Data::AllocateData(unsigned long size) {
  return ResizeBlock(m_data, m_dataSize, m_ownsData, size);
}

bool DataStream_Data::AllocateHeader(unsigned long size) {
  return ResizeBlock(m_header, m_headerSize, m_ownsHeader, size);
}

void DataStream_Data::FreeData() {
  FreeBlock(m_data, m_dataSize, m_ownsData);
}

void DataStream_Data::FreeHeader() {
  FreeBlock(m_header, m_headerSize, m_ownsHeader);
}

// An owned block is freed first (it would otherwise be lost); the recorded
// size stays as it is for the caller to set.
void DataStream_Data::SetNonLocalData(void* data) {
  if (m_ownsData != 0) Orvane_free(m_data);
  m_data = data;
  m_ownsData = 0;
}

void DataStream_Data::SetNonLocalHeader(void* header) {
  if (m_ownsHeader != 0) Orvane_free(m_header);
  m_header = header;
  m_ownsHeader = 0;
}
