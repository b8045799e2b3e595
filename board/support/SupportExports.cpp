// The support library's exported operations. The objects they make live in
// the engine's board, reached through the engine's table of support calls.
#include "SupportCalls.h"
#include "board/Support.h"

namespace {

const BoardSupportCalls& Engine() {
  static const BoardSupportCalls* const calls = RTME_BoardSupportCalls();
  return *calls;
}

}  // namespace

extern "C" {

DWORD Harmonex_CreateProducer(DWORD mediaContext, const char* name,
                              Harmonex_ProducerDescriptor* descriptor) {
  return Engine().createProducer(mediaContext, name, descriptor);
}
BOOL Harmonex_DestroyProducer(DWORD producer) {
  return Engine().destroyProducer(producer);
}
DWORD Harmonex_CreateSpider(DWORD mediaContext, const char* name,
                            Harmonex_SpiderDescriptor* descriptor) {
  return Engine().createSpider(mediaContext, name, descriptor);
}
BOOL Harmonex_DestroySpider(DWORD spider) {
  return Engine().destroySpider(spider);
}
BOOL Harmonex_ConnectSpider(DWORD spider, const char* sourceName, const char* pinName,
                            DWORD /*reserved*/) {
  return Engine().connectSpider(spider, sourceName, pinName);
}
BOOL Harmonex_StartSpider(DWORD spider) {
  return Engine().setSpiderRouting(spider, true);
}
BOOL Harmonex_StopSpider(DWORD spider) {
  return Engine().setSpiderRouting(spider, false);
}
DWORD Harmonex_AllocateBuffer(DWORD allocator, DWORD byteCount, BYTE** cpuAddress,
                              DWORD /*reserved*/, DWORD alignment) {
  return Engine().allocateBuffer(allocator, byteCount, cpuAddress, alignment);
}
BOOL Harmonex_FreeBuffer(DWORD allocator, DWORD engineAddress, DWORD byteCount) {
  return Engine().freeBuffer(allocator, engineAddress, byteCount);
}
BOOL Harmonex_QueueField(DWORD producer, const RTME_FieldDescriptor* field, void* context) {
  return Engine().queueField(producer, field, context);
}
DWORD Harmonex_ReleaseField(DWORD owner, DWORD bufferToken) {
  return Engine().releaseField(owner, bufferToken);
}

}  // extern "C"
