// Streams on memory blocks of the C heap (the shared heap of OrvaneHeap.h).
#pragma once

#include <quellor/Export.h>

#include <cstddef>

#include "Stream.h"

class QUELLOR_EXPORT MemoryStream_In : public Stream_In {
 public:
  MemoryStream_In() = default;
  // Does not free the block: the owner calls FreeMemory.
  ~MemoryStream_In() override = default;

  // Two streams must not free one block.
  MemoryStream_In(const MemoryStream_In&) = delete;
  MemoryStream_In& operator=(const MemoryStream_In&) = delete;

  // Reads from block with no bound: the caller knows the size of what it
  // reads.
  void SetData(void* block);
  // Reads from block; a read past size bytes fails and reads nothing.
  void SetData(void* block, std::size_t size);
  // Copies length bytes and advances. False with no block, past the bound of
  // a bounded block, or for a negative length.
  bool ReadData(void* buffer, long length) override;
  void* GetMemory() const { return m_start; }
  // Bytes read so far.
  std::size_t GetPosition() const { return static_cast<std::size_t>(m_position - m_start); }
  // Frees the block (C heap) and forgets it.
  void FreeMemory();

 private:
  unsigned char* m_start = nullptr;
  unsigned char* m_position = nullptr;
  unsigned char* m_bound = nullptr;  // null: unbounded
};

class QUELLOR_EXPORT MemoryStream_Out : public Stream_Out {
 public:
  MemoryStream_Out() = default;
  // Does not free the block: the owner calls FreeMemory, or takes the block
  // with GetMemory and frees it later with Orvane_free.
  ~MemoryStream_Out() override = default;

  MemoryStream_Out(const MemoryStream_Out&) = delete;
  MemoryStream_Out& operator=(const MemoryStream_Out&) = delete;

  // Grows the block by length bytes and appends data. False when the block
  // cannot grow (the block and the data written so far are kept).
  bool WriteData(const void* data, long length) override;
  // The written data; null while nothing is written.
  void* GetMemory() const { return m_start; }
  std::size_t GetSize() const { return static_cast<std::size_t>(m_end - m_start); }
  // Frees the block and empties the stream.
  void FreeMemory();

 private:
  unsigned char* m_start = nullptr;
  unsigned char* m_end = nullptr;
};
