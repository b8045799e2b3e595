// JPEG files the tests make with libjpeg itself, kept apart from the window
// system's headers (libjpeg's INT32 clashes with theirs).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace uitest {

// A four-component JPEG of 16 x 16 blocks side by side, each one flat
// colour (components in order), at quality 100 so that every sample decodes
// exactly. Stored as plain CMYK or, as Adobe's writers do, colour-transformed
// to YCCK. False when the file cannot be written.
bool WriteFourComponentJpeg(const std::string& path, bool ycck,
                            const std::vector<std::array<std::uint8_t, 4>>& blocks);

// What a JPEG file's header says: the first and the largest step of the
// luminance quantisation table, the size, the component count, and whether
// it is a baseline (sequential Huffman) file. Steps are -1 when unreadable.
struct JpegHeader {
  int firstStep = -1, largestStep = -1;
  int width = 0, height = 0, components = 0;
  bool baseline = false;
};
JpegHeader ReadJpegHeader(const std::string& path);

}  // namespace uitest
