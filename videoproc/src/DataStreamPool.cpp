#include "videoproc/DataStreamPool.h"

#include <qlxrapi/VariableBlock.h>

#include <new>

namespace {

struct Pool {
  Variable_Block lock;
  DataStream_Data* head = nullptr;
};

// Never destroyed: render threads may still release items while the process
// ends.
Pool& ThePool() {
  static Pool* const pool = new Pool;
  return *pool;
}

bool Matches(unsigned long wanted, std::uint32_t size) {
  return wanted == kAnyDataStreamSize || wanted == size;
}

DataStream_Data* TakeFromPool(unsigned long headerSize, unsigned long dataSize) {
  Pool& pool = ThePool();
  FunctionBlock hold(pool.lock);
  DataStream_Data* previous = nullptr;
  for (DataStream_Data* item = pool.head; item != nullptr; item = item->GetNext()) {
    if (Matches(headerSize, item->GetHeaderSize()) && Matches(dataSize, item->GetDataSize())) {
      if (previous == nullptr) {
        pool.head = item->GetNext();
      } else {
        previous->SetNext(item->GetNext());
      }
      item->SetNext(nullptr);
      return item;
    }
    previous = item;
  }
  return nullptr;
}

DataStream_Data* MakeItem(unsigned long headerSize, unsigned long dataSize) {
  auto* item = new (std::nothrow) DataStream_Data;
  if (item == nullptr) return nullptr;
  if (!item->AllocateData(dataSize) || !item->AllocateHeader(headerSize)) {
    delete item;
    return nullptr;
  }
  return item;
}

}  // namespace

DataStream_Data* GetDataStreamData(const char* name, unsigned long headerSize,
                                   unsigned long dataSize) {
  DataStream_Data* item = TakeFromPool(headerSize, dataSize);
  // "Any size" cannot size a new block: a 4 GB allocation would be wrong
  // even where it succeeds.
  bool sized = headerSize != kAnyDataStreamSize && dataSize != kAnyDataStreamSize;
  if (item == nullptr && sized) item = MakeItem(headerSize, dataSize);
  if (item != nullptr) item->SetName(name);
  return item;
}

void ReleaseDataStreamData(DataStream_Data* item) {
  if (item == nullptr) return;
  Pool& pool = ThePool();
  FunctionBlock hold(pool.lock);
  item->SetNext(pool.head);
  pool.head = item;
}
