// DataStream: an ordered list of named items that a processing graph renders
// into. The stream does not own its items: whoever added them releases them.
#pragma once

#include <quellor/Export.h>

#include <qlxrapi/tList.h>

#include "DataStream_Data.h"

class QUELLOR_EXPORT DataStream : public tList<DataStream_Data*> {
 public:
  // Appends item under the list lock.
  void AddStream(DataStream_Data* item);

  // With a name: the index-th item (from 0) among those whose name equals
  // name, case included. With null: the index-th item of the whole list.
  // Null when there are fewer.
  DataStream_Data* GetStream(const char* name, unsigned long index);
};
