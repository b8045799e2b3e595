// DataStream: an ordered list of named items that a processing graph renders
// into. The stream does not own its items: whoever added them releases them.
#pragma once

#include <quellor/Export.h>

#include <qlxrapi/tList.h>

#include "DataStream_Data.h"

class QUELLOR_EXPORT DataStream : public tList<DataStream_Data*> {
 public:
  DataStream() = default;
  // Hands an inline array back before the list would free it.
  ~DataStream() override;

  // Appends item under the list lock.
  void AddStream(DataStream_Data* item);

  // With a name: the index-th item (from 0) among those whose name equals
  // name, case included. With null: the index-th item of the whole list.
  // Null when there are fewer.
  DataStream_Data* GetStream(const char* name, unsigned long index);

  // Up to kInlineItems items live inside the stream itself, so that the
  // streams a render builds on its stack (two fields a frame) never touch
  // the heap; longer lists move to the shared heap.
  bool FitStorage() override;

  static constexpr std::uint32_t kInlineItems = 4;

 private:
  DataStream_Data* m_inline[kInlineItems] = {};
};
