// DataStream_Data: one named item of a data stream, a data block and a header
// block that the item either owns or merely points at.
#pragma once

#include <quellor/Export.h>

#include <cstdint>

class QUELLOR_EXPORT DataStream_Data {
 public:
  // No name, no blocks, sizes 0, both blocks owned.
  DataStream_Data() = default;
  // Frees the owned blocks and the name.
  ~DataStream_Data();

  // A copy would share (and later free twice) the blocks of its source.
  DataStream_Data(const DataStream_Data&) = delete;
  DataStream_Data& operator=(const DataStream_Data&) = delete;

  // Replaces the private copy of the name; null frees it.
  void SetName(const char* name);
  const char* GetName() const { return m_name; }

  void* GetData() const { return m_data; }
  void* GetHeader() const { return m_header; }
  std::uint32_t GetDataSize() const { return m_dataSize; }
  std::uint32_t GetHeaderSize() const { return m_headerSize; }
  bool OwnsData() const { return m_ownsData != 0; }
  bool OwnsHeader() const { return m_ownsHeader != 0; }

  // Resizes the block to size bytes, keeping its contents up to the smaller
  // size, and records the size. A block that is not owned is copied into a
  // new owned one. False (nothing changed) when the block cannot be had.
  bool AllocateData(unsigned long size);
  bool AllocateHeader(unsigned long size);

  // Frees an owned block and sets its size to 0; foreign memory is left alone.
  void FreeData();
  void FreeHeader();

  // Points the item at memory someone else owns. The size is not changed:
  // the caller sets it with SetDataSize / SetHeaderSize.
  void SetNonLocalData(void* data);
  void SetNonLocalHeader(void* header);
  void SetDataSize(std::uint32_t size) { m_dataSize = size; }
  void SetHeaderSize(std::uint32_t size) { m_headerSize = size; }

  // The pool's link; used only while the item lies in the pool.
  DataStream_Data* GetNext() const { return m_next; }
  void SetNext(DataStream_Data* next) { m_next = next; }

 private:
  // Field order is the item's documented layout.
  std::uint32_t m_dataSize = 0;  // bytes
  std::uint32_t m_ownsData = 1;  // 1: allocated here; 0: SetNonLocalData
  void* m_data = nullptr;
  std::uint32_t m_headerSize = 0;  // bytes
  std::uint32_t m_ownsHeader = 1;
  void* m_header = nullptr;
  char* m_name = nullptr;  // shared-heap copy
  DataStream_Data* m_next = nullptr;
};
