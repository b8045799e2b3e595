#include "ClipboardText.h"

#include <cstring>

namespace quellor::display {

namespace {

uint32_t Read32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Read16(const uint8_t* p) {
  return uint16_t(p[0] | p[1] << 8);
}
void Write32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;  // BITMAPINFOHEADER
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// Bytes of the header, colour table and masks in front of a DIB's pixels,
// and of the pixels; 0 when the header is not one the subset can read.
bool DibLayout(const uint8_t* dib, size_t size, size_t& headerBytes, size_t& pixelBytes,
               std::string& error) {
  if (size < kInfoHeaderBytes) {
    error = "the picture's header is cut short";
    return false;
  }
  const uint32_t infoSize = Read32(dib);
  if (infoSize < kInfoHeaderBytes || infoSize > size) {
    error = "the picture's header is not a bitmap header";
    return false;
  }
  const int32_t width = int32_t(Read32(dib + 4));
  int32_t height = int32_t(Read32(dib + 8));
  if (height < 0 && height != INT32_MIN) height = -height;
  const uint16_t bits = Read16(dib + 14);
  const uint32_t compression = Read32(dib + 16);
  uint32_t colours = Read32(dib + 32);
  if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) {
    error = "the picture's size is out of range";
    return false;
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    error = "the picture's pixel depth is not supported";
    return false;
  }
  if (compression != kBiRgb && !(compression == kBiBitfields && (bits == 16 || bits == 32))) {
    error = "the picture is compressed";
    return false;
  }
  if (bits <= 8) {
    if (colours == 0 || colours > (1u << bits)) colours = 1u << bits;
  } else {
    colours = 0;
  }
  headerBytes = infoSize + size_t(colours) * 4 +
                (compression == kBiBitfields && infoSize == kInfoHeaderBytes ? 12 : 0);
  const size_t stride = ((size_t(width) * bits + 31) / 32) * 4;
  pixelBytes = stride * size_t(height);
  if (headerBytes + pixelBytes > kMaxTransferBytes) {
    error = "the picture is too large";
    return false;
  }
  if (headerBytes + pixelBytes > size) {
    error = "the picture's pixels are cut short";
    return false;
  }
  return true;
}

}  // namespace

std::string Utf8ToSubsetText(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const uint8_t lead = uint8_t(utf8[i]);
    uint32_t code = 0;
    size_t length = 1;
    if (lead < 0x80) {
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      code = lead & 0x1F, length = 2;
    } else if ((lead & 0xF0) == 0xE0) {
      code = lead & 0x0F, length = 3;
    } else if ((lead & 0xF8) == 0xF0) {
      code = lead & 0x07, length = 4;
    } else {
      out += '?';
      ++i;
      continue;
    }
    bool good = i + length <= utf8.size();
    for (size_t k = 1; good && k < length; ++k) {
      const uint8_t next = uint8_t(utf8[i + k]);
      good = (next & 0xC0) == 0x80;
      code = code << 6 | (next & 0x3F);
    }
    if (!good) {
      out += '?';
      ++i;
      continue;
    }
    i += length;
    if (code == '\n' && !(out.size() && out.back() == '\r'))
      out += "\r\n";
    else if (code == 0)
      break;  // the subset's text ends at the first NUL
    else
      out += code < 0x100 ? char(code) : '?';
  }
  return out;
}

std::string SubsetTextToUtf8(const std::string& latin1) {
  std::string out;
  out.reserve(latin1.size() + latin1.size() / 8);
  for (size_t i = 0; i < latin1.size(); ++i) {
    const uint8_t c = uint8_t(latin1[i]);
    if (c == '\r') {
      out += '\n';
      if (i + 1 < latin1.size() && latin1[i + 1] == '\n') ++i;
    } else if (c < 0x80) {
      out += char(c);
    } else {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string Latin1ToSubsetText(const std::string& latin1) {
  std::string out;
  out.reserve(latin1.size());
  for (char c : latin1) {
    if (c == '\0') break;
    if (c == '\n' && !(out.size() && out.back() == '\r')) out += '\r';
    out += c;
  }
  return out;
}

std::vector<uint8_t> BmpFileToDib(const std::vector<uint8_t>& file, std::string& error) {
  if (file.size() < kFileHeaderBytes + kInfoHeaderBytes || file[0] != 'B' || file[1] != 'M') {
    error = "not a BMP file";
    return {};
  }
  const uint8_t* dib = file.data() + kFileHeaderBytes;
  const size_t size = file.size() - kFileHeaderBytes;
  size_t headerBytes = 0, pixelBytes = 0;
  if (!DibLayout(dib, size, headerBytes, pixelBytes, error)) return {};
  // The file says where its pixels start; a packed DIB has them right after
  // the colour table, so move them there if there is a gap.
  const uint32_t offset = Read32(file.data() + 10);
  if (offset < kFileHeaderBytes + headerBytes || offset - kFileHeaderBytes + pixelBytes > size) {
    error = "the picture's pixel offset is out of range";
    return {};
  }
  std::vector<uint8_t> out(headerBytes + pixelBytes);
  std::memcpy(out.data(), dib, headerBytes);
  std::memcpy(out.data() + headerBytes, dib + (offset - kFileHeaderBytes), pixelBytes);
  return out;
}

std::vector<uint8_t> DibToBmpFile(const std::vector<uint8_t>& dib) {
  size_t headerBytes = 0, pixelBytes = 0;
  std::string error;
  if (!DibLayout(dib.data(), dib.size(), headerBytes, pixelBytes, error)) return {};
  std::vector<uint8_t> file(kFileHeaderBytes + headerBytes + pixelBytes);
  file[0] = 'B';
  file[1] = 'M';
  Write32(file.data() + 2, uint32_t(file.size()));
  Write32(file.data() + 10, uint32_t(kFileHeaderBytes + headerBytes));
  std::memcpy(file.data() + kFileHeaderBytes, dib.data(), headerBytes + pixelBytes);
  return file;
}

}  // namespace quellor::display
