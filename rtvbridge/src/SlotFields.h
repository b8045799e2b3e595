// Field transfers on a clip held in the open clip file table, for frame reads
// and writes through the exports. The table's handle is unbuffered, so a
// host buffer that is not sector-aligned, or a clip whose chunks carry
// padding behind the field, goes through the stream's conversion buffer.
// Fields read into that buffer are converted or copied at once, so they are
// read through the system cache (see ClipFile::ReadChunkCached); 4:2:2
// fields that go straight into the host's buffer stay unbuffered.
#pragma once

#include <cstdint>

#include "cliplib/clip/OpenClipTable.h"

namespace quellor::rtvbridge {

// True when track 0 has its two streams and each chunk holds a whole field
// of the slot's geometry (a hostile header may claim more lines than its
// chunks hold).
bool HoldsWholeFields(const clip::OpenClipSlot& slot);

// Field `field` (field bytes) into `destination`. False when the chunk
// cannot be read whole.
bool ReadFieldInto(clip::OpenClipSlot& slot, std::uint64_t field, std::uint8_t* destination);
// Field `field` into its stream's conversion buffer through the system
// cache, for use at once; the buffer is returned, null when the chunk cannot
// be read whole.
const std::uint8_t* ReadFieldToBuffer(clip::OpenClipSlot& slot, std::uint64_t field);

// The conversion buffer of the stream that holds `field`, to be filled and
// then written with WriteFieldFromBuffer.
std::uint8_t* FieldBuffer(clip::OpenClipSlot& slot, std::uint64_t field);
bool WriteFieldFromBuffer(clip::OpenClipSlot& slot, std::uint64_t field);
// Field bytes from `source` as field `field`.
bool WriteFieldFrom(clip::OpenClipSlot& slot, std::uint64_t field, const std::uint8_t* source);

}  // namespace quellor::rtvbridge
