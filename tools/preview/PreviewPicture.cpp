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

void FieldToBgra(const std::uint8_t* frame, std::uint32_t fieldLines, std::uint32_t parity,
                 std::uint8_t* bgra) {
  const std::size_t rowBytes = std::size_t{kBoardPixelsPerLine} * 4;
  const std::uint8_t* field = frame + std::size_t{parity} * fieldLines * kBoardLineBytes;
  for (std::uint32_t row = 0; row < fieldLines; ++row)
    decode_ycbcr8_bgra(bgra + (2 * std::size_t{row} + parity) * rowBytes,
                       field + std::size_t{row} * kBoardLineBytes, int{kBoardPixelsPerLine});
}

void FrameToBgra(const std::uint8_t* frame, std::uint32_t fieldLines,
                 std::vector<std::uint8_t>& bgra) {
  bgra.resize(std::size_t{kBoardPixelsPerLine} * 4 * 2 * fieldLines);
  FieldToBgra(frame, fieldLines, 0, bgra.data());
  FieldToBgra(frame, fieldLines, 1, bgra.data());
}

}  // namespace quellor::preview
