// WindowBitmap: reading and writing picture files.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <strings.h>
#include <algorithm>
#include <vector>

#include <quellor/RegularFile.h>
#include <win32/quellor_host.h>

#include <string>

#include "JpegFiles.h"
#include "qlxrapi/WindowBitmap.h"
#include "qlxrapi/codecs/ImageCodecs.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file) std::fclose(file);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool IsJpegName(const char* path) {
  const char* dot = std::strrchr(path, '.');
  if (dot == nullptr) return false;
  for (const char* extension : {".jpg", ".jfif", ".jpeg", ".jpe"})
    if (strcasecmp(dot, extension) == 0) return true;
  return false;
}

// Names come in the system's form ("Skins\\Logo\\x.tga", "C:\\..."), as the
// "Skins" search path gives them; the host's file functions want its own.
std::string HostPath(const char* path) {
  auto host = quellor::win32::ToHostPath(path);
  return host ? *host : std::string(path);
}

}  // namespace

bool WindowBitmap::ReadBitmapFile(char* path) {
  if (path == nullptr || *path == '\0') return false;
  if (IsJpegName(path)) return Read_JPEG(path, false);
  return ReadThroughCodecs(HostPath(path).c_str());
}

bool WindowBitmap::ReadThroughCodecs(const char* path) {
  using namespace quellor::codecs;
  int format = 0;
  if (ImageCodecIdentify(path, &format) != kCodecOk) return false;
  File file(quellor::OpenRegularFileForReading(path));  // never a pipe
  if (!file) return false;
  BitmapRecord record;
  if (ImageCodecReadHeader(path, file.get(), format, &record, nullptr) != kCodecOk) return false;
  const int depth = record.bitsPerPixel;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32) return false;
  if (record.width <= 0 || record.height <= 0) return false;
  std::uint8_t palette[kPaletteBytes] = {};
  if (depth <= 8 && ImageCodecReadPalette(file.get(), format, &record, palette) != kCodecOk)
    return false;
  const std::size_t size = ImageDataSize(record);
  if (size == 0 || size > kMaxPictureBytes) return false;
  std::vector<std::uint8_t> data(size);
  if (ImageCodecReadData(file.get(), format, &record, data.data()) != kCodecOk) return false;
  if (!Resize(static_cast<unsigned long>(record.width),
              static_cast<unsigned long>(record.height)) ||
      m_pixels == nullptr)
    return false;
  const std::size_t stride = RowStride(static_cast<std::uint64_t>(record.width), depth);
  for (unsigned long y = 0; y < m_height; ++y) {
    // The library's rows run bottom-up.
    const std::uint8_t* row = data.data() + (m_height - 1 - y) * stride;
    WindowPixel* out = GetPixel(0, y);
    for (unsigned long x = 0; x < m_width; ++x) {
      unsigned index = 0;
      switch (depth) {
        case 1:
          index = (row[x / 8] >> (7 - x % 8)) & 1u;
          break;
        case 4:
          index = (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0Fu;
          break;
        case 8:
          index = row[x];
          break;
        case 24:
          out[x] = WindowPixel{row[3 * x], row[3 * x + 1], row[3 * x + 2], 255};
          continue;
        default:
          std::memcpy(&out[x], row + 4 * x, 4);
          continue;
      }
      out[x] = WindowPixel{palette[3 * index + 2], palette[3 * index + 1], palette[3 * index], 255};
    }
  }
  return true;
}

bool WindowBitmap::Read_JPEG(char* path, bool alphaOnly) {
  if (path == nullptr) return false;
  return quellor::win::ReadJpeg(HostPath(path).c_str(), alphaOnly,
                                [this](unsigned long width, unsigned long height) -> std::uint8_t* {
                                  if (!Resize(width, height) || m_pixels == nullptr) return nullptr;
                                  return reinterpret_cast<std::uint8_t*>(m_pixels);
                                });
}

bool WindowBitmap::Write_JPEG(char* path, int quality, bool alphaOnly) {
  if (path == nullptr || m_pixels == nullptr) return false;
  return quellor::win::WriteJpeg(HostPath(path).c_str(),
                                 reinterpret_cast<const std::uint8_t*>(m_pixels), m_width, m_height,
                                 quality, alphaOnly);
}
