// PNG files against packed DIBs (CF_DIB), for the image/png clipboard target
// most X programs offer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellor::display {

// A PNG file as a bottom-up 32-bit DIB; empty, with the reason in `error`,
// when the file is malformed or larger than the bridge accepts.
std::vector<uint8_t> PngFileToDib(const std::vector<uint8_t>& file, std::string& error);
// A 24- or 32-bit uncompressed DIB as a PNG file; empty for other DIBs.
std::vector<uint8_t> DibToPngFile(const std::vector<uint8_t>& dib);

}  // namespace quellor::display
