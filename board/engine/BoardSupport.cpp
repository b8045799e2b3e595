// The support library's objects: producers, spiders and the buffers shared
// with the engine.
#include <algorithm>
#include <cstring>

#include "Board.h"
#include "FieldFormat.h"

namespace quellor::board {

namespace {

// Engine-side addresses live in [kFirstEngineAddress, kEngineAddressLimit);
// no allocation starts at 0, so 0 stays the failure value.
constexpr DWORD kFirstEngineAddress = 0x00100000;
constexpr std::uint64_t kEngineAddressLimit = 0xFFF00000;
constexpr DWORD kMaxAlignment = 1u << 20;

bool IsPowerOfTwo(DWORD value) {
  return value != 0 && (value & (value - 1)) == 0;
}

}  // namespace

DWORD Board::CreateProducer(DWORD mediaContext, const char* name,
                            Harmonex_ProducerDescriptor* descriptor) {
  std::lock_guard lock(mutex_);
  if (!contexts_.count(mediaContext) || !descriptor || !descriptor->format) return 0;
  if (descriptor->recordBytes != kHarmonexProducerDescriptorBytes &&
      descriptor->recordBytes != sizeof(Harmonex_ProducerDescriptor))
    return 0;
  Harmonex_FormatRecord* format = descriptor->format;
  if (format->recordBytes != sizeof(Harmonex_FormatRecord)) return 0;
  auto claimed = ClaimName(name, "producer");
  if (!claimed) return 0;
  auto producer = std::make_shared<Producer>();
  producer->name = std::move(claimed);
  producer->handle = NewHandle();
  producer->allocator = NewHandle();
  producer->notifyFirst = descriptor->notifyFirst;
  producer->notifySecond = descriptor->notifySecond;
  producer->completion = descriptor->completion;
  producers_[producer->handle] = producer;
  allocators_[producer->allocator] = producer->handle;
  std::memset(format, 0, sizeof *format);
  format->recordBytes = sizeof(Harmonex_FormatRecord);
  format->producer = producer->handle;
  format->alignment = kHarmonexBufferAlignment;
  format->allocator = producer->allocator;
  return producer->handle;
}

void Board::WaitForCompletions(std::unique_lock<std::mutex>& lock,
                               const std::shared_ptr<Producer>& producer) {
  if (OnDeliveryThread()) return;
  callbacksDone_.wait(lock, [&] { return producer->callbacksInFlight == 0; });
}

void Board::DropProducer(const std::shared_ptr<Producer>& producer) {
  producers_.erase(producer->handle);
  allocators_.erase(producer->allocator);
  // Its buffers lose their engine-side addresses; queued fields keep the
  // memory alive until they are dropped with the producer.
  for (auto it = allocations_.begin(); it != allocations_.end();) {
    it = it->second.allocator == producer->allocator ? allocations_.erase(it) : std::next(it);
  }
  producer->queue.clear();
  producer->destroyed = true;
}

BOOL Board::DestroyProducer(DWORD handle) {
  std::unique_lock lock(mutex_);
  const auto found = producers_.find(handle);
  if (found == producers_.end()) return FALSE;
  const std::shared_ptr<Producer> producer = found->second;
  DropProducer(producer);
  WaitForCompletions(lock, producer);
  producer->name.reset();
  return TRUE;
}

DWORD Board::CreateSpider(DWORD mediaContext, const char* name,
                          Harmonex_SpiderDescriptor* descriptor) {
  std::lock_guard lock(mutex_);
  if (!contexts_.count(mediaContext) || !descriptor || !descriptor->format) return 0;
  if (descriptor->recordBytes != kHarmonexSpiderDescriptorBytes &&
      descriptor->recordBytes != sizeof(Harmonex_SpiderDescriptor))
    return 0;
  auto claimed = ClaimName(name, "spider");
  if (!claimed) return 0;
  auto spider = std::make_shared<Spider>();
  spider->name = std::move(claimed);
  spider->handle = NewHandle();
  spiders_[spider->handle] = spider;
  return spider->handle;
}

BOOL Board::DestroySpider(DWORD handle) {
  std::lock_guard lock(mutex_);
  return spiders_.erase(handle) ? TRUE : FALSE;
}

BOOL Board::ConnectSpider(DWORD handle, const char* sourceName, const char* pinName) {
  std::lock_guard lock(mutex_);
  const auto found = spiders_.find(handle);
  if (found == spiders_.end() || !sourceName || !pinName) return FALSE;
  if (std::strcmp(pinName, RTME_PIN_OUTPUT_FEED) != 0) return FALSE;
  for (const auto& [producerHandle, producer] : producers_) {
    if (producer->name && producer->name->name() == sourceName) {
      auto& routed = found->second->producers;
      if (std::find(routed.begin(), routed.end(), producerHandle) == routed.end())
        routed.push_back(producerHandle);
      return TRUE;
    }
  }
  return FALSE;  // no producer of that name in this process
}

BOOL Board::SetSpiderRouting(DWORD handle, bool routing) {
  std::vector<std::pair<Harmonex_Notification, DWORD>> notices;
  {
    std::lock_guard lock(mutex_);
    const auto found = spiders_.find(handle);
    if (found == spiders_.end()) return FALSE;
    Spider& spider = *found->second;
    if (spider.routing == routing) return TRUE;
    spider.routing = routing;
    for (DWORD producerHandle : spider.producers) {
      const auto producer = producers_.find(producerHandle);
      if (producer == producers_.end()) continue;
      const auto notify = routing ? producer->second->notifyFirst : producer->second->notifySecond;
      if (notify) notices.emplace_back(notify, producerHandle);
    }
  }
  for (const auto& [notify, producer] : notices)
    notify(producer, routing ? kHarmonexEventRoutingStarted : kHarmonexEventRoutingStopped,
           nullptr);
  return TRUE;
}

DWORD Board::ReserveEngineAddress(DWORD bytes, DWORD alignment) {
  // First fit between the allocations, which are kept in address order; a
  // 512-byte gap after each keeps a stray offset from landing in the next.
  std::uint64_t candidate = kFirstEngineAddress;
  for (const auto& [base, allocation] : allocations_) {
    candidate = (candidate + alignment - 1) / alignment * alignment;
    if (candidate + bytes + kHarmonexBufferAlignment <= base) break;
    candidate = std::max<std::uint64_t>(
        candidate, std::uint64_t(base) + allocation.bytes + kHarmonexBufferAlignment);
  }
  candidate = (candidate + alignment - 1) / alignment * alignment;
  if (candidate + bytes > kEngineAddressLimit) return 0;
  return static_cast<DWORD>(candidate);
}

DWORD Board::AllocateBuffer(DWORD allocator, DWORD bytes, BYTE** cpuAddress, DWORD alignment) {
  std::lock_guard lock(mutex_);
  if (!allocators_.count(allocator) || !cpuAddress) return 0;
  if (bytes == 0 || bytes > kMaxAllocationBytes) return 0;
  if (alignment != 0 && (!IsPowerOfTwo(alignment) || alignment > kMaxAlignment)) return 0;
  alignment = std::max(alignment, kHarmonexBufferAlignment);
  const DWORD address = ReserveEngineAddress(bytes, alignment);
  if (address == 0) return 0;
  auto block = AlignedBlock::Make(bytes, alignment);
  if (!block) return 0;
  *cpuAddress = block->data();
  allocations_[address] = Allocation{std::move(block), bytes, allocator};
  return address;
}

BOOL Board::FreeBuffer(DWORD allocator, DWORD engineAddress, DWORD bytes) {
  std::lock_guard lock(mutex_);
  const auto found = allocations_.find(engineAddress);
  if (found == allocations_.end() || found->second.allocator != allocator ||
      found->second.bytes != bytes)
    return FALSE;
  allocations_.erase(found);
  return TRUE;
}

const Allocation* Board::FindAllocation(DWORD engineAddress, DWORD& offset) const {
  auto found = allocations_.upper_bound(engineAddress);
  if (found == allocations_.begin()) return nullptr;
  --found;
  offset = engineAddress - found->first;
  return offset < found->second.bytes ? &found->second : nullptr;
}

BOOL Board::QueueField(DWORD handle, const RTME_FieldDescriptor* field, void* context) {
  std::lock_guard lock(mutex_);
  const auto found = producers_.find(handle);
  if (found == producers_.end() || !field || !IsValidFieldFormat(field->format)) return FALSE;
  Producer& producer = *found->second;
  if (producer.queue.size() >= kMaxQueuedFields) return FALSE;
  DWORD offset = 0;
  const Allocation* allocation = FindAllocation(field->engineAddress, offset);
  const DWORD fieldBytes = BoardFieldBytes(field->format.standard);
  if (!allocation || allocation->allocator != producer.allocator ||
      std::uint64_t(offset) + fieldBytes > allocation->bytes)
    return FALSE;
  QueuedField queued;
  queued.sequence = nextSequence_++;
  queued.block = allocation->block;
  queued.pixels = allocation->block->data() + offset;
  queued.standard = field->format.standard;
  queued.parity = field->format.parity;
  queued.fieldAddress = field->engineAddress;
  queued.context = context;
  producer.queue.push_back(std::move(queued));
  return TRUE;
}

}  // namespace quellor::board
