// Clipboard data between X and the subset: text in the subset's code page
// (Latin-1, lines ending in CR LF) against X's UTF-8 (lines ending in LF),
// and BMP files against packed DIBs (CF_DIB).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellor::display {

// UTF-8 with LF line ends to Latin-1 with CR LF; characters outside Latin-1
// and broken sequences become '?'.
std::string Utf8ToSubsetText(const std::string& utf8);
// Latin-1 text with any line ends to UTF-8 with LF.
std::string SubsetTextToUtf8(const std::string& latin1);
// STRING (Latin-1) with LF to the subset's CR LF.
std::string Latin1ToSubsetText(const std::string& latin1);

// Largest picture taken from or given to X, in pixels a side, and largest
// clipboard transfer in bytes: bigger ones are refused.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr size_t kMaxTransferBytes = size_t(64) << 20;

// A BMP file's packed DIB (what CF_DIB holds), after checking its headers,
// sizes and that the pixels are all there. Empty, with the reason in `error`,
// when the file is malformed or too large.
std::vector<uint8_t> BmpFileToDib(const std::vector<uint8_t>& file, std::string& error);
// A packed DIB as a BMP file; empty when the DIB is malformed.
std::vector<uint8_t> DibToBmpFile(const std::vector<uint8_t>& dib);

}  // namespace quellor::display
