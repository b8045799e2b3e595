// The engine's side of the support library (Harmonex): the objects Harmonex
// makes live in the engine's board, which owns the field clock that shows
// their fields. The engine hands Harmonex one table of calls, so that the
// board's own classes stay inside the engine library.
#pragma once

#include <quellor/Export.h>

#include "board/Support.h"

struct BoardSupportCalls {
  DWORD(*createProducer)
  (DWORD mediaContext, const char* name, Harmonex_ProducerDescriptor* descriptor);
  BOOL (*destroyProducer)(DWORD producer);
  DWORD(*createSpider)
  (DWORD mediaContext, const char* name, Harmonex_SpiderDescriptor* descriptor);
  BOOL (*destroySpider)(DWORD spider);
  BOOL (*connectSpider)(DWORD spider, const char* sourceName, const char* pinName);
  BOOL (*setSpiderRouting)(DWORD spider, bool routing);
  DWORD (*allocateBuffer)(DWORD allocator, DWORD bytes, BYTE** cpuAddress, DWORD alignment);
  BOOL (*freeBuffer)(DWORD allocator, DWORD engineAddress, DWORD bytes);
  BOOL (*queueField)(DWORD producer, const RTME_FieldDescriptor* field, void* context);
  DWORD (*releaseField)(DWORD owner, DWORD token);
};

// The table; the same for the life of the process.
QUELLOR_EXPORT_C const BoardSupportCalls* RTME_BoardSupportCalls(void);
