#include "videoproc/DataStream.h"

#include <cstring>

DataStream::~DataStream() {
  if (m_items == m_inline) m_items = nullptr;  // not the heap's to free
}

bool DataStream::FitStorage() {
  if (m_count <= kInlineItems) {
    if (m_items != m_inline) {
      if (m_items != nullptr && m_count > 0) {
        std::memcpy(static_cast<void*>(m_inline), m_items, sizeof(DataStream_Data*) * m_count);
      }
      Orvane_free(m_items);
      m_items = m_inline;
    }
    return true;
  }
  if (m_items == m_inline) {
    void* grown = Orvane_malloc(static_cast<unsigned int>(sizeof(DataStream_Data*) * m_count));
    if (grown == nullptr) return false;
    std::memcpy(grown, m_inline, sizeof(m_inline));
    m_items = static_cast<DataStream_Data**>(grown);
    return true;
  }
  return ReallocateItems(m_count);
}

void DataStream::AddStream(DataStream_Data* item) {
  AddItem(item);
}

DataStream_Data* DataStream::GetStream(const char* name, unsigned long index) {
  FunctionBlock hold(GetLock());
  if (name == nullptr)
    return index < GetNoItems() ? (*this)[static_cast<std::uint32_t>(index)] : nullptr;
  unsigned long matches = 0;
  for (std::uint32_t i = 0; i < GetNoItems(); ++i) {
    DataStream_Data* item = (*this)[i];
    if (item == nullptr || item->GetName() == nullptr || std::strcmp(item->GetName(), name) != 0) {
      continue;
    }
    if (matches++ == index) return item;
  }
  return nullptr;
}
