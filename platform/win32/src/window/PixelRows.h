// Row functions on 32-bit BGRA pixels. Each has a plain C version; the fast
// versions are picked once, at first use, by what the processor offers.
#pragma once

#include <cstdint>

namespace quellor::win32 {

void FillRow_C(uint32_t* dst, uint32_t value, int count);
void CopyRow_C(uint32_t* dst, const uint32_t* src, int count);
void XorRow_C(uint32_t* dst, uint32_t value, int count);
// Blends value's colour over dst by 8-bit coverage (0 keeps dst, 255 writes
// the colour); alpha of dst is kept.
void BlendCoverageRow_C(uint32_t* dst, const uint8_t* coverage, uint32_t value, int count);
// Expands 8-bit indices through a 256-entry BGRA table.
void LookupRow_C(uint32_t* dst, const uint8_t* src, const uint32_t* table, int count);
// Widens 24-bit blue-green-red to BGRA with alpha 0.
void Bgr24ToBgraRow_C(uint32_t* dst, const uint8_t* src, int count);

#if defined(__x86_64__) || defined(__i386__)
void FillRow_SSE2(uint32_t* dst, uint32_t value, int count);
#endif

using FillRowFunction = void (*)(uint32_t*, uint32_t, int);
// The fastest fill for this processor (chosen once).
FillRowFunction FillRow();

}  // namespace quellor::win32
