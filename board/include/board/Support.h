// The media object support library "Harmonex" (libHarmonex.so): named
// producers that feed fields to the board's output, spiders that route them,
// and the buffers shared with the engine. Every operation is bound by its
// ordinal; the ordinal stands beside each function and in kHarmonexOrdinal_*.
// Arguments are 32-bit values and 0 means failure; names and records are
// native pointers.
#pragma once

#include <quellor/Export.h>

#include "board/Engine.h"
#include "board/FieldRecords.h"
#include "win32/types.h"

// The 40-byte format record: word 0 is 40 and the rest zero when handed to
// ordinal 71, which fills it. Its word at byte 32 is the allocator of
// ordinals 59 and 60.
struct Harmonex_FormatRecord {
  DWORD recordBytes;  // 40
  DWORD producer;     // the producer that filled it
  DWORD alignment;    // 512: every buffer from ordinal 59 is aligned to it
  DWORD reserved[5];
  DWORD allocator;  // byte 32
  DWORD reserved2;
};
static_assert(sizeof(Harmonex_FormatRecord) == 40);
static_assert(offsetof(Harmonex_FormatRecord, allocator) == 32);

// Notifications of a producer; they may do nothing (or be null).
typedef void (*Harmonex_Notification)(DWORD producer, DWORD event, void* reserved);
inline constexpr DWORD kHarmonexEventRoutingStarted = 1;
inline constexpr DWORD kHarmonexEventRoutingStopped = 2;
// Completion: called on a library thread when a field queued with a context
// has been shown; only the third argument (that context) matters to callers.
typedef void (*Harmonex_Completion)(DWORD producer, DWORD fieldAddress, void* context);

// Producer descriptor. recordBytes is 24 (its size on the 32-bit board) or
// sizeof(Harmonex_ProducerDescriptor).
struct Harmonex_ProducerDescriptor {
  DWORD recordBytes;
  Harmonex_FormatRecord* format;
  Harmonex_Notification notifyFirst;
  Harmonex_Notification notifySecond;
  Harmonex_Completion completion;
  DWORD reserved;  // 0
};
inline constexpr DWORD kHarmonexProducerDescriptorBytes = 24;

// Spider descriptor. recordBytes is 8 or sizeof(Harmonex_SpiderDescriptor).
struct Harmonex_SpiderDescriptor {
  DWORD recordBytes;
  Harmonex_FormatRecord* format;
};
inline constexpr DWORD kHarmonexSpiderDescriptorBytes = 8;

inline constexpr DWORD kHarmonexBufferAlignment = 512;

enum Harmonex_Ordinal : DWORD {
  kHarmonexOrdinal_AllocateBuffer = 59,
  kHarmonexOrdinal_FreeBuffer = 60,
  kHarmonexOrdinal_ReleaseField = 62,
  kHarmonexOrdinal_CreateProducer = 71,
  kHarmonexOrdinal_DestroyProducer = 72,
  kHarmonexOrdinal_QueueField = 74,
  kHarmonexOrdinal_CreateSpider = 90,
  kHarmonexOrdinal_DestroySpider = 91,
  kHarmonexOrdinal_ConnectSpider = 92,
  kHarmonexOrdinal_StartSpider = 95,
  kHarmonexOrdinal_StopSpider = 96,
};

#ifdef __cplusplus
extern "C" {
#endif

// ordinal 71: fails while a producer of that name exists in any process.
QUELLOR_EXPORT DWORD Harmonex_CreateProducer(DWORD mediaContext, const char* name,
                                             Harmonex_ProducerDescriptor* descriptor);
// ordinal 72: queued fields that were not shown are dropped without completion.
QUELLOR_EXPORT BOOL Harmonex_DestroyProducer(DWORD producer);
QUELLOR_EXPORT DWORD Harmonex_CreateSpider(DWORD mediaContext, const char* name,
                                           Harmonex_SpiderDescriptor* descriptor);  // ordinal 90
QUELLOR_EXPORT BOOL Harmonex_DestroySpider(DWORD spider);                           // ordinal 91
// ordinal 92: route the producer named sourceName (of this process) to the pin
// RTME_PIN_OUTPUT_FEED.
QUELLOR_EXPORT BOOL Harmonex_ConnectSpider(DWORD spider, const char* sourceName,
                                           const char* pinName, DWORD reserved);
QUELLOR_EXPORT BOOL Harmonex_StartSpider(DWORD spider);  // ordinal 95
QUELLOR_EXPORT BOOL Harmonex_StopSpider(DWORD spider);   // ordinal 96
// ordinal 59: a buffer of byteCount bytes aligned to 512 bytes (or the larger
// power-of-two alignment asked for); returns its engine-side address (which
// callers may offset like a pointer) and writes the CPU address.
QUELLOR_EXPORT DWORD Harmonex_AllocateBuffer(DWORD allocator, DWORD byteCount, BYTE** cpuAddress,
                                             DWORD reserved, DWORD alignment);
// ordinal 60: engineAddress and byteCount as returned and asked by ordinal 59.
QUELLOR_EXPORT BOOL Harmonex_FreeBuffer(DWORD allocator, DWORD engineAddress, DWORD byteCount);
// ordinal 74: queue one field for output; a non-null context is handed to the
// completion callback once the field has been shown.
QUELLOR_EXPORT BOOL Harmonex_QueueField(DWORD producer, const RTME_FieldDescriptor* field,
                                        void* context);
// ordinal 62: release a field delivered to a probe callback.
QUELLOR_EXPORT DWORD Harmonex_ReleaseField(DWORD owner, DWORD bufferToken);

#ifdef __cplusplus
}
#endif
