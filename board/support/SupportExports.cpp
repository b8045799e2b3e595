// The support library's exported operations. The objects they make live in
// the engine's board, which owns the field clock that shows their fields.
#include "Board.h"
#include "board/Support.h"

using quellor::board::Board;

extern "C" {

DWORD Harmonex_CreateProducer(DWORD mediaContext, const char* name,
                              Harmonex_ProducerDescriptor* descriptor) {
  return Board::Instance().CreateProducer(mediaContext, name, descriptor);
}
BOOL Harmonex_DestroyProducer(DWORD producer) {
  return Board::Instance().DestroyProducer(producer);
}
DWORD Harmonex_CreateSpider(DWORD mediaContext, const char* name,
                            Harmonex_SpiderDescriptor* descriptor) {
  return Board::Instance().CreateSpider(mediaContext, name, descriptor);
}
BOOL Harmonex_DestroySpider(DWORD spider) {
  return Board::Instance().DestroySpider(spider);
}
BOOL Harmonex_ConnectSpider(DWORD spider, const char* sourceName, const char* pinName,
                            DWORD /*reserved*/) {
  return Board::Instance().ConnectSpider(spider, sourceName, pinName);
}
BOOL Harmonex_StartSpider(DWORD spider) {
  return Board::Instance().SetSpiderRouting(spider, true);
}
BOOL Harmonex_StopSpider(DWORD spider) {
  return Board::Instance().SetSpiderRouting(spider, false);
}
DWORD Harmonex_AllocateBuffer(DWORD allocator, DWORD byteCount, BYTE** cpuAddress,
                              DWORD /*reserved*/, DWORD alignment) {
  return Board::Instance().AllocateBuffer(allocator, byteCount, cpuAddress, alignment);
}
BOOL Harmonex_FreeBuffer(DWORD allocator, DWORD engineAddress, DWORD byteCount) {
  return Board::Instance().FreeBuffer(allocator, engineAddress, byteCount);
}
BOOL Harmonex_QueueField(DWORD producer, const RTME_FieldDescriptor* field, void* context) {
  return Board::Instance().QueueField(producer, field, context);
}
DWORD Harmonex_ReleaseField(DWORD owner, DWORD bufferToken) {
  return Board::Instance().ReleaseField(owner, bufferToken);
}

}  // extern "C"
