// xwdtopng: an X window dump (xwd, 24 or 32 bits per pixel, true colour) as
// a PNG file, optionally cut to a rectangle. Used to make the README's
// screenshots from a virtual X server.
//
//   xwdtopng IN.xwd OUT.png [X Y WIDTH HEIGHT]
//
// Status 0 when written; 1 when the dump cannot be read or is not a kind
// this reads; 2 for bad arguments.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The dump's header: 25 big-endian 32-bit words, then the window name.
enum Field {
  kHeaderSize = 0,
  kVersion = 1,
  kFormat = 2,
  kWidth = 4,
  kHeight = 5,
  kByteOrder = 7,
  kBitsPerPixel = 11,
  kBytesPerLine = 12,
  kVisualClass = 13,
  kRedMask = 14,
  kGreenMask = 15,
  kBlueMask = 16,
  kColours = 19,
  kFields = 25
};
constexpr uint32_t kZPixmap = 2;
constexpr uint32_t kTrueColor = 4;
constexpr uint32_t kColourEntryBytes = 12;

uint32_t BigEndian(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

int Shift(uint32_t mask) {
  int shift = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

bool Fail(const char* why) {
  std::fprintf(stderr, "xwdtopng: %s\n", why);
  return false;
}

bool Convert(const std::vector<uint8_t>& dump, const char* out, long cx, long cy, long cw,
             long ch) {
  if (dump.size() < kFields * 4) return Fail("not a window dump (too short)");
  uint32_t h[kFields];
  for (int i = 0; i < kFields; ++i) h[i] = BigEndian(&dump[size_t(i) * 4]);
  if (h[kVersion] != 7 || h[kFormat] != kZPixmap || h[kVisualClass] != kTrueColor)
    return Fail("only version 7 true-colour ZPixmap dumps are read");
  const uint32_t bpp = h[kBitsPerPixel];
  if (bpp != 24 && bpp != 32) return Fail("only 24 or 32 bits per pixel are read");
  const uint64_t width = h[kWidth], height = h[kHeight], stride = h[kBytesPerLine];
  if (width == 0 || height == 0 || width > 32768 || height > 32768 || stride < width * (bpp / 8))
    return Fail("the dump's size is out of range");
  const uint64_t start = uint64_t(h[kHeaderSize]) + uint64_t(h[kColours]) * kColourEntryBytes;
  if (start + stride * height > dump.size()) return Fail("the dump's pixels are cut short");
  if (cw <= 0) cx = 0, cy = 0, cw = long(width), ch = long(height);
  if (cx < 0 || cy < 0 || ch <= 0 || uint64_t(cx + cw) > width || uint64_t(cy + ch) > height)
    return Fail("the rectangle lies outside the dump");
  const bool msbFirst = h[kByteOrder] != 0;
  const int rs = Shift(h[kRedMask]), gs = Shift(h[kGreenMask]), bs = Shift(h[kBlueMask]);
  std::vector<uint8_t> rgb(size_t(cw) * size_t(ch) * 3);
  for (long y = 0; y < ch; ++y) {
    const uint8_t* row = &dump[start + stride * uint64_t(cy + y)];
    for (long x = 0; x < cw; ++x) {
      const uint8_t* p = row + size_t(cx + x) * (bpp / 8);
      uint32_t v = 0;
      for (uint32_t b = 0; b < bpp / 8; ++b)
        v |= uint32_t(p[b]) << (msbFirst ? 8 * (bpp / 8 - 1 - b) : 8 * b);
      uint8_t* o = &rgb[(size_t(y) * size_t(cw) + size_t(x)) * 3];
      o[0] = uint8_t((v & h[kRedMask]) >> rs);
      o[1] = uint8_t((v & h[kGreenMask]) >> gs);
      o[2] = uint8_t((v & h[kBlueMask]) >> bs);
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(cw);
  image.height = png_uint_32(ch);
  image.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, out, 0, rgb.data(), 0, nullptr)) return Fail(image.message);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 7) {
    std::fprintf(stderr, "usage: xwdtopng IN.xwd OUT.png [X Y WIDTH HEIGHT]\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "xwdtopng: cannot read %s\n", argv[1]);
    return 1;
  }
  const std::vector<uint8_t> dump{std::istreambuf_iterator<char>(in), {}};
  long rect[4] = {0, 0, 0, 0};
  for (int i = 0; argc == 7 && i < 4; ++i) rect[i] = std::strtol(argv[3 + i], nullptr, 10);
  return Convert(dump, argv[2], rect[0], rect[1], rect[2], rect[3]) ? 0 : 1;
}
