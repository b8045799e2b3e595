// One of the hub's two frame buffers: a 512-byte-aligned block of one YCbCr
// 4:2:2 frame in memory shared with the engine, and the two field
// descriptors that queue its halves. Field 0 (the even picture lines) is the
// first half of the block, field 1 (the odd lines) the second.
#pragma once

#include "board/FieldRecords.h"
#include "win32/types.h"

namespace quellor::clipviewer {

struct FrameBuffer {
  DWORD engineAddress = 0;  // 0: not allocated
  BYTE* pixels = nullptr;   // CPU address of the same block
  DWORD bytes = 0;
  RTME_FieldDescriptor fields[2] = {};

  // Allocates through the support library's allocator and fills the field
  // descriptors; throws "Could not allocate the aligned buffer".
  void Allocate(DWORD allocator, DWORD frameBytes, bool ntsc);
  // Frees it (nothing when not allocated).
  void Free(DWORD allocator);
};

}  // namespace quellor::clipviewer
