// The engine and support-library calls the output hub makes, through one
// table so that tests can watch their order or make one of them fail. The
// table starts out holding the libraries' own functions.
#pragma once

#include "board/Engine.h"
#include "board/Support.h"

namespace quellor::clipviewer {

struct HubBoardCalls {
  DWORD (*openEngine)();
  BOOL (*closeEngine)(DWORD instance);
  DWORD (*mediaContext)(DWORD instance);
  DWORD (*createProducer)(DWORD context, const char* name, Harmonex_ProducerDescriptor* descriptor);
  BOOL (*destroyProducer)(DWORD producer);
  DWORD (*createSpider)(DWORD context, const char* name, Harmonex_SpiderDescriptor* descriptor);
  BOOL (*destroySpider)(DWORD spider);
  BOOL (*connectSpider)(DWORD spider, const char* source, const char* pin, DWORD reserved);
  BOOL (*startSpider)(DWORD spider);
  BOOL (*stopSpider)(DWORD spider);
  DWORD(*allocateBuffer)
  (DWORD allocator, DWORD bytes, BYTE** cpu, DWORD reserved, DWORD alignment);
  BOOL (*freeBuffer)(DWORD allocator, DWORD engineAddress, DWORD bytes);
  BOOL (*fillNtscFieldFormat)(RTME_FieldFormat* record, DWORD fieldIndex);
  BOOL (*fillPalFieldFormat)(RTME_FieldFormat* record, DWORD fieldIndex);
  BOOL (*queueField)(DWORD producer, const RTME_FieldDescriptor* field, void* context);
};

// The libraries' own functions.
HubBoardCalls BoardHubCalls();
// The table in use; tests replace entries and put BoardHubCalls() back.
HubBoardCalls& HubBoard();

}  // namespace quellor::clipviewer
