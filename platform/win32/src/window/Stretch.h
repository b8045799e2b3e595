// Scaling of BGRA pictures for StretchBlt and StretchDIBits.
#pragma once

#include <cstdint>
#include <vector>

namespace quellor::win32 {

// Nearest pixel, sampled at the centre of each destination pixel
// (COLORONCOLOR and the other non-filtering modes).
std::vector<uint32_t> ScaleNearest(const uint32_t* src, int sw, int sh, int dw, int dh);
// HALFTONE: each axis averages the source area a destination pixel covers when
// shrinking and interpolates linearly between pixel centres when enlarging.
std::vector<uint32_t> ScaleFiltered(const uint32_t* src, int sw, int sh, int dw, int dh);

}  // namespace quellor::win32
