// IBM KIPS: 8-bit palette pictures whose palette lives in a complementary
// file beside the picture, named like it with the extension ".PAL" (768
// bytes, red, green, blue). The picture file: "KIPS", width and height as
// 16-bit little-endian numbers, then the rows top-down, one byte a pixel.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include <quellor/RegularFile.h>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kCannotOpenPalette = 500;
constexpr int kCannotCreatePalette = 501;
constexpr const char* kTexts[] = {"can't open complementary palette file",
                                  "can't create complementary palette file"};
constexpr std::size_t kHeaderBytes = 8;

struct KipsState {
  std::uint8_t palette[kPaletteBytes];
};

// name with its extension replaced by ".PAL" (or ".PAL" added).
std::string PaletteFileOf(const char* fileName) {
  std::string name = fileName;
  const std::size_t point = name.rfind('.');
  if (point != std::string::npos && name.find_first_of("/\\", point) == std::string::npos) {
    name.erase(point);
  }
  return name + ".PAL";
}

int ReadHeader(const char* fileName, std::FILE* file, BitmapRecord& bitmap, const CodecOptions&) {
  std::uint8_t h[kHeaderBytes];
  if (!SeekTo(file, 0) || !ReadExact(file, h, kHeaderBytes)) return kCodecCannotRead;
  if (std::memcmp(h, "KIPS", 4) != 0) return kCodecBadMagic;
  const int width = Le16(h + 4), height = Le16(h + 6);
  if (int code = CheckPictureSize(width, height, 8)) return code;
  std::FILE* paletteFile = quellor::OpenRegularFileForReading(PaletteFileOf(fileName).c_str());
  if (paletteFile == nullptr) return kCannotOpenPalette;
  KipsState& state = PrivateState<KipsState>(bitmap);
  const bool read = ReadExact(paletteFile, state.palette, kPaletteBytes);
  std::fclose(paletteFile);
  if (!read) return kCodecCannotRead;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.bitsPerPixel = 8;
  return kCodecOk;
}

int ReadPalette(std::FILE*, BitmapRecord& bitmap, std::uint8_t* palette) {
  std::memcpy(palette, PrivateState<KipsState>(bitmap).palette, kPaletteBytes);
  return kCodecOk;
}

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  if (!SeekTo(file, kHeaderBytes)) return kCodecCannotRead;
  for (int y = bitmap.height - 1; y >= 0; --y) {
    if (!ReadExact(file, DataRow(data, bitmap, y), static_cast<std::size_t>(bitmap.width))) {
      return kCodecCannotRead;
    }
  }
  return kCodecOk;
}

// The new palette, written beside the old one and put in its place only once
// the picture is written too: a full disk or a failed picture leaves the old
// palette with the old picture.
class PendingPalette {
 public:
  explicit PendingPalette(std::string name) : name_(std::move(name)) {}
  ~PendingPalette() {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
  }
  PendingPalette(const PendingPalette&) = delete;
  PendingPalette& operator=(const PendingPalette&) = delete;

  // kCodecOk, kCannotCreatePalette or kCodecCannotWrite.
  int Write(const std::uint8_t* palette) {
    static std::atomic<unsigned> counter{0};
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
      const std::string name = name_ + ".part-" + std::to_string(::getpid()) + "-" +
                               std::to_string(counter.fetch_add(1));
      // A new file of our own (never through a link), with the mode a new
      // palette would have.
      fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd >= 0) temporary_ = name;
      if (fd < 0 && errno != EEXIST) return kCannotCreatePalette;
    }
    if (fd < 0) return kCannotCreatePalette;
    struct stat old {};
    if (::stat(name_.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);  // as it was
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
      ::close(fd);
      return kCodecCannotWrite;
    }
    const bool written =
        WriteExact(file, palette, kPaletteBytes) && std::fflush(file) == 0 && ::fsync(fd) == 0;
    return std::fclose(file) == 0 && written ? kCodecOk : kCodecCannotWrite;
  }
  bool PutInPlace() {
    if (std::rename(temporary_.c_str(), name_.c_str()) != 0) return false;
    temporary_.clear();
    return true;
  }

 private:
  std::string name_;
  std::string temporary_;  // empty when there is none to remove
};

int Write(const char* fileName, std::FILE* file, const BitmapRecord& bitmap,
          const std::uint8_t* palette, const std::uint8_t* data, const CodecOptions&) {
  if (bitmap.width > 0xFFFF || bitmap.height > 0xFFFF) return kCodecBadSize;
  PendingPalette pending(PaletteFileOf(fileName));
  if (const int code = pending.Write(palette)) return code;
  std::uint8_t h[kHeaderBytes] = {'K', 'I', 'P', 'S'};
  PutLe16(h + 4, static_cast<unsigned>(bitmap.width));
  PutLe16(h + 6, static_cast<unsigned>(bitmap.height));
  if (!WriteExact(file, h, kHeaderBytes)) return kCodecCannotWrite;
  for (int y = bitmap.height - 1; y >= 0; --y) {
    if (!WriteExact(file, DataRow(data, bitmap, y), static_cast<std::size_t>(bitmap.width))) {
      return kCodecCannotWrite;
    }
  }
  // The picture's bytes may still sit in its stream's buffer: a full disk
  // shows at the flush, before the palette is replaced.
  if (std::fflush(file) != 0) return kCodecCannotWrite;
  return pending.PutInPlace() ? kCodecOk : kCodecCannotWrite;
}

const char* ErrorText(int code) {
  return BlockText(code, 500, kTexts);
}

}  // namespace

constinit const Codec kKipsCodec = {
    {"KIPS", "IBM KIPS", "KPS", 0x84}, &ReadHeader, &ReadPalette, &ReadData, &Write, &ErrorText,
};

}  // namespace quellor::codecs
