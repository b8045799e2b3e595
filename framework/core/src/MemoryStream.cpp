#include "qlxrapi/MemoryStream.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

void MemoryStream_In::SetData(void* block) {
  m_start = m_position = static_cast<unsigned char*>(block);
  m_bound = nullptr;
}

void MemoryStream_In::SetData(void* block, std::size_t size) {
  m_start = m_position = static_cast<unsigned char*>(block);
  m_bound = m_start == nullptr ? nullptr : m_start + size;
}

bool MemoryStream_In::ReadData(void* buffer, long length) {
  if (m_position == nullptr || length < 0 || (buffer == nullptr && length > 0)) return false;
  const auto bytes = static_cast<std::size_t>(length);
  if (m_bound != nullptr && bytes > static_cast<std::size_t>(m_bound - m_position)) return false;
  if (bytes > 0) std::memcpy(buffer, m_position, bytes);
  m_position += bytes;
  return true;
}

void MemoryStream_In::FreeMemory() {
  std::free(m_start);
  m_start = m_position = m_bound = nullptr;
}

bool MemoryStream_Out::WriteData(const void* data, long length) {
  if (length < 0 || (data == nullptr && length > 0)) return false;
  if (length == 0) return true;
  const std::size_t written = GetSize();
  const auto bytes = static_cast<std::size_t>(length);
  if (bytes > SIZE_MAX - written) return false;
  void* grown = std::realloc(m_start, written + bytes);
  if (grown == nullptr) return false;
  m_start = static_cast<unsigned char*>(grown);
  std::memcpy(m_start + written, data, bytes);
  m_end = m_start + written + bytes;
  return true;
}

void MemoryStream_Out::FreeMemory() {
  std::free(m_start);
  m_start = m_end = nullptr;
}
