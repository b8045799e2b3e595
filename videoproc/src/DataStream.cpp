#include "videoproc/DataStream.h"

#include <cstring>

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
