#include "TestSignal.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "board/FieldRecords.h"

namespace quellor::board {

namespace {

struct Ycc {
  BYTE y, cb, cr;
};

// 75% bars, ITU-R BT.601 studio range: white, yellow, cyan, green, magenta,
// red, blue, black; 90 pixels each.
constexpr Ycc kBars[8] = {{180, 128, 128}, {162, 44, 142}, {131, 156, 44}, {112, 72, 58},
                          {84, 184, 198},  {65, 100, 212}, {35, 212, 114}, {16, 128, 128}};
constexpr Ycc kBlack = {16, 128, 128};
constexpr BYTE kWhiteLuma = 235;

// 5 x 7 digits, one byte a row, bit 4 the leftmost column.
constexpr BYTE kDigits[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}};
constexpr DWORD kDigitScale = 4;  // each font dot is 4 pixels by 4 picture lines
constexpr DWORD kDigitLeft = 32;

DWORD PictureLines(VideoStandard standard) {
  return 2 * FieldLines(standard);
}

void FillLine(BYTE* line, const Ycc& colour, DWORD firstPixel, DWORD pixelCount) {
  for (DWORD x = firstPixel & ~1u; x < firstPixel + pixelCount && x < kBoardPixelsPerLine; x += 2) {
    BYTE* pair = line + x * 2;
    pair[0] = colour.cb;
    pair[1] = colour.y;
    pair[2] = colour.cr;
    pair[3] = colour.y;
  }
}

// The unchanging part of a field (bars above, black strip below), built once
// per standard.
const std::vector<BYTE>& BarsTemplate(VideoStandard standard) {
  static std::once_flag once[2];
  static std::vector<BYTE> fields[2];
  const int index = standard == VideoStandard::Pal ? 1 : 0;
  std::call_once(once[index], [&] {
    const DWORD lines = FieldLines(standard);
    std::vector<BYTE>& field = fields[index];
    field.resize(static_cast<size_t>(lines) * kBoardLineBytes);
    const DWORD stripTop = BarsStripTop(standard);
    for (DWORD line = 0; line < lines; ++line) {
      BYTE* row = field.data() + static_cast<size_t>(line) * kBoardLineBytes;
      // Field line l is picture line 2l (first field) or 2l + 1; the strip
      // starts on an even picture line, so both fields split alike.
      if (2 * line < stripTop) {
        for (int bar = 0; bar < 8; ++bar) FillLine(row, kBars[bar], bar * 90u, 90u);
      } else {
        FillLine(row, kBlack, 0, kBoardPixelsPerLine);
      }
    }
  });
  return fields[index];
}

// Sets luma to white over a rectangle given in picture lines; chroma there is
// already neutral (the strip is black).
void PaintWhite(BYTE* pixels, DWORD parity, DWORD pictureTop, DWORD pictureBottom, DWORD left,
                DWORD width) {
  for (DWORD picture = pictureTop + ((pictureTop & 1u) != parity); picture < pictureBottom;
       picture += 2) {
    BYTE* row = pixels + static_cast<size_t>(picture / 2) * kBoardLineBytes;
    for (DWORD x = left; x < left + width && x < kBoardPixelsPerLine; ++x)
      row[x * 2 + 1] = kWhiteLuma;
  }
}

void PaintNumber(BYTE* pixels, DWORD parity, DWORD pictureTop, DWORD number) {
  char text[16];
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(number));
  DWORD left = kDigitLeft;
  for (const char* digit = text; *digit; ++digit, left += 6 * kDigitScale) {
    const BYTE* glyph = kDigits[*digit - '0'];
    for (DWORD row = 0; row < 7; ++row)
      for (DWORD column = 0; column < 5; ++column)
        if (glyph[row] & (0x10u >> column))
          PaintWhite(pixels, parity, pictureTop + row * kDigitScale,
                     pictureTop + (row + 1) * kDigitScale, left + column * kDigitScale,
                     kDigitScale);
  }
}

}  // namespace

DWORD BarsStripTop(VideoStandard standard) {
  return PictureLines(standard) * 3 / 4;
}

DWORD BarsMarkerLeft(DWORD timeStamp) {
  return (timeStamp / 2 * kBarsMarkerStep) % (kBoardPixelsPerLine - kBarsMarkerWidth);
}

void RenderColourBarsField(VideoStandard standard, DWORD timeStamp, BYTE* pixels) {
  const std::vector<BYTE>& pattern = BarsTemplate(standard);
  std::memcpy(pixels, pattern.data(), pattern.size());
  const DWORD parity = timeStamp & 1u;
  const DWORD stripTop = BarsStripTop(standard);
  PaintWhite(pixels, parity, stripTop + 8, stripTop + 8 + kBarsMarkerWidth,
             BarsMarkerLeft(timeStamp), kBarsMarkerWidth);
  PaintNumber(pixels, parity, stripTop + 56, timeStamp);
}

void RenderBlackField(VideoStandard standard, BYTE* pixels) {
  const size_t bytes = static_cast<size_t>(FieldLines(standard)) * kBoardLineBytes;
  for (size_t i = 0; i < bytes; i += 4) {
    pixels[i] = kBlack.cb;
    pixels[i + 1] = kBlack.y;
    pixels[i + 2] = kBlack.cr;
    pixels[i + 3] = kBlack.y;
  }
}

}  // namespace quellor::board
