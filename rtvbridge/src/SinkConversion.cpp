#include "SinkConversion.h"

#include <cstddef>
#include <cstring>

#include "FrameRows.h"
#include "board/ColourConversion.h"

namespace quellor::rtvbridge {

void ConvertSinkFrame(SinkConversion conversion, const std::uint8_t* host, std::uint8_t* board,
                      const VideoGeometry& geometry) {
  const int width = geometry.width;
  const std::size_t lines = static_cast<std::size_t>(geometry.fieldLines());
  const std::size_t boardLine = static_cast<std::size_t>(width) * 2;
  const std::size_t hostLine = static_cast<std::size_t>(width) * 4;
  const std::size_t height = lines * 2;
  std::uint8_t* first = board;
  std::uint8_t* second = board + lines * boardLine;
  switch (conversion) {
    case SinkConversion::Copy422:
      std::memcpy(board, host, geometry.storedFrameBytes());
      break;
    case SinkConversion::Bgra:
      for (std::size_t k = 0; k < lines; ++k) {
        encode_bgra_ycbcr8(first + k * boardLine, host + (height - 1 - 2 * k) * hostLine, width);
        encode_bgra_ycbcr8(second + k * boardLine, host + (height - 2 - 2 * k) * hostLine, width);
      }
      break;
    case SinkConversion::Yuva444:
      for (std::size_t k = 0; k < lines; ++k) {
        YUVAToUYVYRow(host + 2 * k * hostLine, first + k * boardLine, width);
        YUVAToUYVYRow(host + (2 * k + 1) * hostLine, second + k * boardLine, width);
      }
      break;
    case SinkConversion::None:
      break;
  }
}

}  // namespace quellor::rtvbridge
