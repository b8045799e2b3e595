#include "CodecIo.h"

namespace quellor::codecs {

long long FileLength(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  long length = std::ftell(file);
  if (std::fseek(file, 0, SEEK_SET) != 0) return -1;
  return length;
}

int CheckPictureSize(long long width, long long height, int bitsPerPixel) {
  if (width <= 0 || height <= 0 || bitsPerPixel <= 0) return kCodecBadSize;
  // Each factor below 2^31 keeps the products within 64 bits.
  if (width > 0x7FFFFFFF || height > 0x7FFFFFFF) return kCodecBadSize;
  const std::uint64_t w = static_cast<std::uint64_t>(width);
  const std::uint64_t h = static_cast<std::uint64_t>(height);
  if (RowStride(w, static_cast<std::uint64_t>(bitsPerPixel)) * h > kMaxPictureBytes) {
    return kCodecBadSize;
  }
  if (w * 4 * h > kMaxPictureBytes) return kCodecBadSize;  // the caller's 32-bit picture
  return kCodecOk;
}

}  // namespace quellor::codecs
