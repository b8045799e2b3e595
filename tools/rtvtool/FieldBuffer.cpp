#include "FieldBuffer.h"

#include <windows.h>

namespace quellor::rtvtool {

FieldBuffer::FieldBuffer(std::size_t size) : data_(nullptr), size_((size + 511) / 512 * 512) {
  if (size_ == 0) size_ = 512;
  data_ = static_cast<std::uint8_t*>(
      VirtualAlloc(nullptr, size_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  if (data_ == nullptr) throw "Cannot allocate required memory.";
}

FieldBuffer::~FieldBuffer() {
  VirtualFree(data_, 0, MEM_RELEASE);
}

}  // namespace quellor::rtvtool
