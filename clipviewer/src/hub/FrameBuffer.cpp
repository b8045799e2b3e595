#include "hub/FrameBuffer.h"

#include "display/DisplayTexts.h"
#include "hub/HubBoardCalls.h"

namespace quellor::clipviewer {

void FrameBuffer::Allocate(DWORD allocator, DWORD frameBytes, bool ntsc) {
  BYTE* cpu = nullptr;
  const DWORD address =
      HubBoard().allocateBuffer(allocator, frameBytes, &cpu, 0, kHarmonexBufferAlignment);
  if (address == 0 || cpu == nullptr) throw kCannotAllocateAlignedBuffer;
  engineAddress = address;
  pixels = cpu;
  bytes = frameBytes;
  for (DWORD index = 0; index < 2; ++index) {
    fields[index] = {};
    fields[index].engineAddress = address + index * (frameBytes / 2);
    if (ntsc)
      HubBoard().fillNtscFieldFormat(&fields[index].format, index);
    else
      HubBoard().fillPalFieldFormat(&fields[index].format, index);
  }
}

void FrameBuffer::Free(DWORD allocator) {
  if (engineAddress == 0) return;
  HubBoard().freeBuffer(allocator, engineAddress, bytes);
  engineAddress = 0;
  pixels = nullptr;
}

}  // namespace quellor::clipviewer
