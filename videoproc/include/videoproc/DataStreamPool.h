// The process-wide pool of released stream items, so that a steady render
// loop stops allocating once the pool holds one item of each size in use.
#pragma once

#include <quellor/Export.h>

#include "DataStream_Data.h"

// A size that matches any size when taking an item from the pool.
inline constexpr unsigned long kAnyDataStreamSize = 0xFFFFFFFFul;

// Takes the first pooled item whose header and data sizes match (either may
// be kAnyDataStreamSize), names it and returns it with its blocks as they are
// (contents stale). Without a match, makes a new item with blocks of those
// sizes. Null when a new item cannot be made.
QUELLOR_EXPORT DataStream_Data* GetDataStreamData(const char* name, unsigned long headerSize,
                                                  unsigned long dataSize);

// Parks item at the head of the pool. Pooled items are never freed.
QUELLOR_EXPORT void ReleaseDataStreamData(DataStream_Data* item);
