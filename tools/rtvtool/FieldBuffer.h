// Page-aligned memory for unbuffered clip transfers (sector-aligned address
// and size), released with the object.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quellor::rtvtool {

class FieldBuffer {
 public:
  // Rounds `size` up to whole 512-byte sectors; zero-filled. Throws
  // "Cannot allocate required memory." when it cannot be had.
  explicit FieldBuffer(std::size_t size);
  ~FieldBuffer();
  FieldBuffer(const FieldBuffer&) = delete;
  FieldBuffer& operator=(const FieldBuffer&) = delete;

  std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace quellor::rtvtool
