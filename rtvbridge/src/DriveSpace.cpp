#include "DriveSpace.h"

#include <windows.h>

#include <cctype>
#include <limits>

namespace quellor::rtvbridge {

std::string DriveRootFor(const char* path) {
  const std::string text = path;
  if (text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':') {
    return text.substr(0, 2) + "\\";
  }
  const DWORD attributes = GetFileAttributesA(text.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return text;
  }
  const std::size_t separator = text.find_last_of("/\\");
  if (separator == std::string::npos) return ".";
  if (separator == 0) return text.substr(0, 1);
  return text.substr(0, separator);
}

std::optional<std::uint64_t> FreeBytesOnDrive(const char* path) {
  ULARGE_INTEGER total_free;
  if (!GetDiskFreeSpaceExA(DriveRootFor(path).c_str(), nullptr, nullptr, &total_free)) {
    return std::nullopt;
  }
  return total_free.QuadPart;
}

std::uint32_t FramesThatFit(std::uint64_t free_bytes, std::size_t frame_bytes) {
  if (frame_bytes == 0) return 0;
  const std::uint64_t frames = free_bytes / frame_bytes;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(frames < kMax ? frames : kMax);
}

}  // namespace quellor::rtvbridge
