#include "SlotFields.h"

#include <cstring>

#include "FrameEncoding.h"
#include "cliplib/clip/RtvFormat.h"

namespace quellor::rtvbridge {
namespace {

constexpr int kTrack = 0;

bool SectorAligned(const void* address) {
  return reinterpret_cast<std::uintptr_t>(address) % clip::kRtvSectorSize == 0;
}

clip::VideoStreamContext* Stream(const clip::OpenClipSlot& slot, std::uint64_t field) {
  return slot.clip ? slot.clip->StreamForField(field, kTrack) : nullptr;
}

// A direct transfer moves the whole chunk, so it may only use the host's
// memory when the chunk is exactly the field.
bool Direct(const clip::OpenClipSlot& slot, std::uint64_t field, const void* memory) {
  const clip::VideoStreamContext* stream = Stream(slot, field);
  return stream != nullptr && stream->chunk_size() == slot.field_bytes && SectorAligned(memory);
}

}  // namespace

bool HoldsWholeFields(const clip::OpenClipSlot& slot) {
  if (slot.field_bytes == 0) return false;
  for (std::uint64_t field : {0, 1}) {
    const clip::VideoStreamContext* stream = Stream(slot, field);
    if (stream == nullptr || stream->chunk_size() < slot.field_bytes ||
        stream->pixels_per_line() != slot.pixels_per_line ||
        stream->lines_per_field() != slot.lines) {
      return false;
    }
  }
  return true;
}

bool ReadFieldInto(clip::OpenClipSlot& slot, std::uint64_t field, std::uint8_t* destination) {
  if (Direct(slot, field, destination)) return slot.clip->ReadChunk(field, destination, kTrack);
  const std::uint8_t* buffer = ReadFieldToBuffer(slot, field);
  if (buffer == nullptr) return false;
  std::memcpy(destination, buffer, slot.field_bytes);
  return true;
}

const std::uint8_t* ReadFieldToBuffer(clip::OpenClipSlot& slot, std::uint64_t field) {
  return slot.clip->ReadChunkCached(field, kTrack);
}

std::uint8_t* FieldBuffer(clip::OpenClipSlot& slot, std::uint64_t field) {
  clip::VideoStreamContext* stream = Stream(slot, field);
  return stream != nullptr ? stream->conversion_buffer() : nullptr;
}

bool WriteFieldFromBuffer(clip::OpenClipSlot& slot, std::uint64_t field) {
  clip::VideoStreamContext* stream = Stream(slot, field);
  if (stream == nullptr) return false;
  // Padding behind the field is written as zeros, never as stale pixels.
  std::memset(stream->conversion_buffer() + slot.field_bytes, 0,
              stream->chunk_size() - slot.field_bytes);
  return slot.clip->WriteChunk(field, stream->conversion_buffer(), kTrack);
}

bool WriteFieldFrom(clip::OpenClipSlot& slot, std::uint64_t field, const std::uint8_t* source) {
  if (Direct(slot, field, source)) return slot.clip->WriteChunk(field, source, kTrack);
  std::uint8_t* buffer = FieldBuffer(slot, field);
  if (buffer == nullptr) return false;
  CopyToField_Fast(buffer, source, slot.field_bytes);
  FinishFieldCopies();
  return WriteFieldFromBuffer(slot, field);
}

}  // namespace quellor::rtvbridge
