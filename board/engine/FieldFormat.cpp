#include "FieldFormat.h"

namespace quellor::board {

RTME_FieldFormat MakeFieldFormat(DWORD standard, DWORD parity) {
  const bool pal = standard == kFieldStandardPal;
  RTME_FieldFormat format;
  format.standard = pal ? kFieldStandardPal : kFieldStandardNtsc;
  format.parity = parity;
  format.pixelsPerLine = kBoardPixelsPerLine;
  format.rasterLineBytes = pal ? kPalRasterLineBytes : kNtscRasterLineBytes;
  format.lineBytes = kBoardLineBytes;
  format.lineCount = pal ? kPalFieldLines : kNtscFieldLines;
  return format;
}

bool IsValidFieldFormat(const RTME_FieldFormat& format) {
  if (format.standard != kFieldStandardNtsc && format.standard != kFieldStandardPal) return false;
  if (format.parity > 1) return false;
  const RTME_FieldFormat expected = MakeFieldFormat(format.standard, format.parity);
  return format.pixelsPerLine == expected.pixelsPerLine &&
         format.rasterLineBytes == expected.rasterLineBytes &&
         format.lineBytes == expected.lineBytes && format.lineCount == expected.lineCount;
}

}  // namespace quellor::board
