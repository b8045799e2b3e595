#include "SupportCalls.h"

#include "Board.h"

namespace quellor::board {
namespace {

const BoardSupportCalls kSupportCalls = {
    [](DWORD mediaContext, const char* name, Harmonex_ProducerDescriptor* descriptor) {
      return Board::Instance().CreateProducer(mediaContext, name, descriptor);
    },
    [](DWORD producer) { return Board::Instance().DestroyProducer(producer); },
    [](DWORD mediaContext, const char* name, Harmonex_SpiderDescriptor* descriptor) {
      return Board::Instance().CreateSpider(mediaContext, name, descriptor);
    },
    [](DWORD spider) { return Board::Instance().DestroySpider(spider); },
    [](DWORD spider, const char* sourceName, const char* pinName) {
      return Board::Instance().ConnectSpider(spider, sourceName, pinName);
    },
    [](DWORD spider, bool routing) { return Board::Instance().SetSpiderRouting(spider, routing); },
    [](DWORD allocator, DWORD bytes, BYTE** cpuAddress, DWORD alignment) {
      return Board::Instance().AllocateBuffer(allocator, bytes, cpuAddress, alignment);
    },
    [](DWORD allocator, DWORD engineAddress, DWORD bytes) {
      return Board::Instance().FreeBuffer(allocator, engineAddress, bytes);
    },
    [](DWORD producer, const RTME_FieldDescriptor* field, void* context) {
      return Board::Instance().QueueField(producer, field, context);
    },
    [](DWORD owner, DWORD token) { return Board::Instance().ReleaseField(owner, token); },
};

}  // namespace
}  // namespace quellor::board

extern "C" const BoardSupportCalls* RTME_BoardSupportCalls(void) {
  return &quellor::board::kSupportCalls;
}
