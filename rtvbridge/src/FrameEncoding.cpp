#include "FrameEncoding.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "ColourRows.h"
#include "FrameRows.h"
#include "board/ColourConversion.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quellor::rtvbridge {
namespace {

// Host lines converted per band: as many as fill this much of the stack,
// which stays in the processor's first-level cache until the lines are
// copied into their fields.
constexpr std::size_t kBandBytes = 32 * 1024;

}  // namespace

void CopyToField_C(std::uint8_t* field, const std::uint8_t* source, std::size_t bytes) {
  std::memcpy(field, source, bytes);
}

void CopyToField_Fast(std::uint8_t* field, const std::uint8_t* source, std::size_t bytes) {
#if defined(__SSE2__)
  // Streaming stores: the field goes to the disk, not back to this
  // processor, and an ordinary store would first fetch every line of the
  // field from memory. Field lines start on 16 bytes when their length is a
  // multiple of 16 and the field is page-aligned; others take the plain copy.
  if (reinterpret_cast<std::uintptr_t>(field) % 16 == 0) {
    std::size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
      _mm_stream_si128(reinterpret_cast<__m128i*>(field + i),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i)));
    }
    std::memcpy(field + i, source + i, bytes - i);
    return;
  }
#endif
  std::memcpy(field, source, bytes);
}

void FinishFieldCopies() {
#if defined(__SSE2__)
  // Streaming stores are weakly ordered, even against a system call or a
  // lock: this makes them visible before the field is written out.
  _mm_sfence();
#endif
}

namespace {

// Where buffer line r (bottom-up) goes: line k = L - 1 - r / 2 of the first
// field when r is odd, of the second when r is even.
std::uint8_t* FieldLineOf(std::size_t r, std::uint8_t* first, std::uint8_t* second,
                          std::size_t lines, std::size_t out_line) {
  const std::size_t k = lines - 1 - r / 2;
  return (r % 2 == 1 ? first : second) + k * out_line;
}

}  // namespace

void EncodeBottomUpFrame_Bands(const std::uint8_t* pixels, std::uint8_t* first,
                               std::uint8_t* second, std::uint32_t width, std::uint32_t lines) {
  const std::size_t in_line = std::size_t{width} * 4;
  const std::size_t out_line = std::size_t{width} * 2;
  const std::size_t height = std::size_t{lines} * 2;
  const std::size_t band_lines = kBandBytes / out_line;
  // A band converts its lines as one run of pixels, whose pairs would
  // straddle the lines of an odd width: such lines, and lines too long for
  // the band, go one call per line, straight into place.
  if (width % 2 != 0 || band_lines == 0 || band_lines * width > static_cast<std::size_t>(INT_MAX)) {
    for (std::size_t r = 0; r < height; ++r) {
      encode_bgra_ycbcr8(FieldLineOf(r, first, second, lines, out_line), pixels + r * in_line,
                         static_cast<int>(width));
    }
    return;
  }
  alignas(64) std::uint8_t band[kBandBytes];
  for (std::size_t start = 0; start < height; start += band_lines) {
    const std::size_t count = std::min(band_lines, height - start);
    encode_bgra_ycbcr8(band, pixels + start * in_line, static_cast<int>(count * width));
    for (std::size_t j = 0; j < count; ++j) {
      CopyToField_Fast(FieldLineOf(start + j, first, second, lines, out_line), band + j * out_line,
                       out_line);
    }
  }
  FinishFieldCopies();
}

void EncodeBottomUpFrame_AVX2(const std::uint8_t* pixels, std::uint8_t* first, std::uint8_t* second,
                              std::uint32_t width, std::uint32_t lines) {
  const std::size_t in_line = std::size_t{width} * 4;
  const std::size_t out_line = std::size_t{width} * 2;
  const std::size_t height = std::size_t{lines} * 2;
  if (width > static_cast<std::uint32_t>(INT_MAX)) return;
  for (std::size_t r = 0; r < height; ++r) {
    board::BGRAToUYVYRowStreaming_AVX2(pixels + r * in_line,
                                       FieldLineOf(r, first, second, lines, out_line),
                                       static_cast<int>(width));
  }
  FinishFieldCopies();
}

void EncodeBottomUpFrame(const std::uint8_t* pixels, std::uint8_t* first, std::uint8_t* second,
                         std::uint32_t width, std::uint32_t lines) {
  static const auto encode =
      board::ColourAVX2Available() ? EncodeBottomUpFrame_AVX2 : EncodeBottomUpFrame_Bands;
  encode(pixels, first, second, width, lines);
}

// Y Cb Cr A lines top-down, alternating between the first and second field.
void Encode444Frame(const std::uint8_t* pixels, std::uint8_t* first, std::uint8_t* second,
                    std::uint32_t width, std::uint32_t lines) {
  const std::size_t in_line = std::size_t{width} * 4;
  const std::size_t out_line = std::size_t{width} * 2;
  for (std::size_t k = 0; k < lines; ++k) {
    YUVAToUYVYRow(pixels + 2 * k * in_line, first + k * out_line, static_cast<int>(width));
    YUVAToUYVYRow(pixels + (2 * k + 1) * in_line, second + k * out_line, static_cast<int>(width));
  }
}

}  // namespace quellor::rtvbridge
