#include "HeapText.h"

#include <cstring>
#include <limits>

#include "qlxrapi/OrvaneHeap.h"

char* CopyTextToHeap(const char* text) {
  if (text == nullptr) return nullptr;
  const std::size_t bytes = std::strlen(text) + 1;
  if (bytes > std::numeric_limits<unsigned int>::max()) return nullptr;
  auto* copy = static_cast<char*>(Orvane_malloc(static_cast<unsigned int>(bytes)));
  if (copy != nullptr) std::memcpy(copy, text, bytes);
  return copy;
}
