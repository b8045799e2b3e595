#include "PixelRows.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#endif

namespace quellor::win32 {

void FillRow_C(uint32_t* dst, uint32_t value, int count) {
  for (int i = 0; i < count; ++i) dst[i] = value;
}

void CopyRow_C(uint32_t* dst, const uint32_t* src, int count) {
  std::memmove(dst, src, size_t(count) * 4);
}

void XorRow_C(uint32_t* dst, uint32_t value, int count) {
  for (int i = 0; i < count; ++i) dst[i] ^= value;
}

void BlendCoverageRow_C(uint32_t* dst, const uint8_t* coverage, uint32_t value, int count) {
  const uint32_t b = value & 0xFF, g = (value >> 8) & 0xFF, r = (value >> 16) & 0xFF;
  for (int i = 0; i < count; ++i) {
    uint32_t a = coverage[i];
    if (a == 0) continue;
    uint32_t d = dst[i];
    if (a == 255) {
      dst[i] = (d & 0xFF000000u) | (value & 0x00FFFFFFu);
      continue;
    }
    uint32_t inv = 255 - a;
    // (x * a + y * (255 - a) + 127) / 255 without a division.
    auto mix = [&](uint32_t fg, uint32_t bg) {
      uint32_t t = fg * a + bg * inv + 128;
      return (t + (t >> 8)) >> 8;
    };
    uint32_t nb = mix(b, d & 0xFF), ng = mix(g, (d >> 8) & 0xFF), nr = mix(r, (d >> 16) & 0xFF);
    dst[i] = (d & 0xFF000000u) | (nr << 16) | (ng << 8) | nb;
  }
}

void LookupRow_C(uint32_t* dst, const uint8_t* src, const uint32_t* table, int count) {
  for (int i = 0; i < count; ++i) dst[i] = table[src[i]];
}

void Bgr24ToBgraRow_C(uint32_t* dst, const uint8_t* src, int count) {
  for (int i = 0; i < count; ++i) {
    dst[i] = uint32_t(src[0]) | (uint32_t(src[1]) << 8) | (uint32_t(src[2]) << 16);
    src += 3;
  }
}

#if defined(__x86_64__) || defined(__i386__)
void FillRow_SSE2(uint32_t* dst, uint32_t value, int count) {
  __m128i v = _mm_set1_epi32(int(value));
  int i = 0;
  for (; i + 4 <= count; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), v);
  for (; i < count; ++i) dst[i] = value;
}
#endif

FillRowFunction FillRow() {
  static const FillRowFunction chosen = [] {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("sse2")) return &FillRow_SSE2;
#endif
    return &FillRow_C;
  }();
  return chosen;
}

}  // namespace quellor::win32
