#include "PreviewPicture.h"

#include <cstddef>

#include "board/ColourConversion.h"
#include "board/FieldRecords.h"

namespace quellor::preview {

std::vector<std::uint8_t> FrameToBgra(const std::uint8_t* frame, std::uint32_t fieldLines) {
  std::vector<std::uint8_t> bgra;
  FrameToBgra(frame, fieldLines, bgra);
  return bgra;
}

void FrameToBgra(const std::uint8_t* frame, std::uint32_t fieldLines,
                 std::vector<std::uint8_t>& bgra) {
  const std::size_t rowBytes = std::size_t{kBoardPixelsPerLine} * 4;
  const std::uint32_t height = 2 * fieldLines;
  bgra.resize(rowBytes * height);
  for (std::uint32_t line = 0; line < height; ++line) {
    const std::uint8_t* source = frame + std::size_t{line & 1u} * fieldLines * kBoardLineBytes +
                                 std::size_t{line >> 1} * kBoardLineBytes;
    decode_ycbcr8_bgra(bgra.data() + line * rowBytes, source, int{kBoardPixelsPerLine});
  }
}

}  // namespace quellor::preview
