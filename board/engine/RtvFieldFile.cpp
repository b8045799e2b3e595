#include "RtvFieldFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quellor::board {
namespace {

constexpr std::uint32_t kMagic = 0x52544D46;  // the bytes "FMTR"
constexpr std::uint32_t kType = 1;
constexpr std::size_t kFileHeaderBytes = 24;
constexpr std::size_t kStreamHeaderBytes = 24;
constexpr std::uint16_t kStreamVideo = 1;
constexpr std::uint16_t kSubtypeYCbCr422 = 8;
constexpr std::uint32_t kSectorBytes = 512;

std::uint16_t LoadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t LoadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads exactly `bytes` at `offset`; short files and interrupted reads are
// both handled.
bool ReadAt(int fd, std::uint64_t offset, void* buffer, std::size_t bytes) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  while (bytes > 0) {
    const ssize_t got = ::pread(fd, out, bytes, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out += got;
    offset += static_cast<std::uint64_t>(got);
    bytes -= static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace

RtvFieldFile::~RtvFieldFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool RtvFieldFile::Open(const std::string& path, std::string& error) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    error = "Could not open the file.";
    return false;
  }
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = "This is not an RTV file.";
    return false;
  }
  return ReadHeaders(error);
}

bool RtvFieldFile::ReadHeaders(std::string& error) {
  std::uint8_t header[kFileHeaderBytes];
  if (!ReadAt(fd_, 0, header, sizeof header)) {
    error = "Could not read file header.";
    return false;
  }
  if (LoadU32(header) != kMagic) {
    error = "This is not an RTV file.";
    return false;
  }
  if (LoadU32(header + 4) != kType) {
    error = "This reader can only read RTV type 1 files.";
    return false;
  }
  dataOffset_ = LoadU32(header + 8);
  const std::uint32_t streamCount = LoadU32(header + 12);
  frameSetSize_ = LoadU32(header + 16);
  // Every stream must be a video stream of the one subtype, in pairs, as the
  // suite's clip reader demands: the board plays what the suite can open.
  if (streamCount == 0 || streamCount % 2 != 0) {
    error = "the clip holds no video track";
    return false;
  }
  std::uint64_t offsetInFrameSet = 0;
  for (std::uint32_t s = 0; s < streamCount; ++s) {
    std::uint8_t stream[kStreamHeaderBytes];
    if (!ReadAt(fd_, kFileHeaderBytes + std::uint64_t(s) * kStreamHeaderBytes, stream,
                sizeof stream)) {
      error = "Cannot read input stream header.";
      return false;
    }
    const std::uint32_t chunkSize = LoadU32(stream + 4);
    if (LoadU16(stream) != kStreamVideo || LoadU16(stream + 2) != kSubtypeYCbCr422 ||
        chunkSize % kSectorBytes != 0) {
      error = "the clip holds a stream the board cannot play";
      return false;
    }
    if (s < 2) {
      chunkOffset_[s] = offsetInFrameSet;
      chunkSize_[s] = chunkSize;
      const std::uint32_t pixels = LoadU32(stream + 16) / 2;
      const std::uint32_t lines = LoadU32(stream + 20);
      if (s == 0) {
        pixelsPerLine_ = pixels;
        lines_ = lines;
      } else if (pixels != pixelsPerLine_ || lines != lines_) {
        pixelsPerLine_ = lines_ = 0;  // the two fields differ: no geometry
      }
    }
    offsetInFrameSet += chunkSize;
  }
  return true;
}

std::uint64_t RtvFieldFile::FileSize() const {
  struct stat info {};
  return ::fstat(fd_, &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

std::uint64_t RtvFieldFile::FrameCount() const {
  const std::uint64_t size = FileSize();
  if (size <= dataOffset_ || frameSetSize_ == 0) return 0;
  return (size - dataOffset_) * 2 / frameSetSize_ / 2;
}

bool RtvFieldFile::ReadField(std::uint64_t frame, std::uint32_t parity, std::uint8_t* pixels,
                             std::uint32_t bytes) const {
  if (parity > 1 || bytes > chunkSize_[parity]) return false;
  const std::uint64_t offset =
      dataOffset_ + frame * std::uint64_t(frameSetSize_) + chunkOffset_[parity];
  if (offset + chunkSize_[parity] > FileSize()) return false;
  return ReadAt(fd_, offset, pixels, bytes);
}

}  // namespace quellor::board
