#include "Y4mStream.h"

namespace quellor::tools {
namespace {

constexpr std::size_t kLongestHeaderLine = 4096;

}  // namespace

Y4mLineEnd ReadY4mLine(std::FILE* file, std::string* line) {
  line->clear();
  for (int c; (c = std::fgetc(file)) != EOF;) {
    if (c == '\n') return Y4mLineEnd::Whole;
    if (line->size() >= kLongestHeaderLine) return Y4mLineEnd::Cut;
    line->push_back(static_cast<char>(c));
  }
  if (std::ferror(file)) return Y4mLineEnd::Failed;
  return line->empty() ? Y4mLineEnd::EndOfInput : Y4mLineEnd::Cut;
}

bool IsY4mFrameLine(const std::string& line) {
  return line.compare(0, 5, "FRAME") == 0 && (line.size() == 5 || line[5] == ' ');
}

// Interleaves the Y, Cb and Cr planes of one picture into the frame memory:
// first field (even lines), then second field (odd lines), Cb Y0 Cr Y1 rows.
void PackY4mPicture(const std::vector<std::uint8_t>& planes, std::uint32_t width,
                    std::uint32_t height, std::uint8_t* frame) {
  const std::size_t pixels = static_cast<std::size_t>(width) * height;
  const std::uint8_t* luma = planes.data();
  const std::uint8_t* cb = luma + pixels;
  const std::uint8_t* cr = cb + pixels / 2;
  const std::size_t field_bytes = pixels;  // width x height / 2 lines x 2 bytes
  for (std::uint32_t y = 0; y < height; ++y) {
    std::uint8_t* row =
        frame + (y & 1) * field_bytes + static_cast<std::size_t>(y >> 1) * width * 2;
    for (std::uint32_t pair = 0; pair < width / 2; ++pair) {
      row[4 * pair] = *cb++;
      row[4 * pair + 1] = *luma++;
      row[4 * pair + 2] = *cr++;
      row[4 * pair + 3] = *luma++;
    }
  }
}

}  // namespace quellor::tools
