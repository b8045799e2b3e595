#include <cstdio>
#include <memory>

#include "Graticules.h"

namespace quellor::graticules {

bool WriteTarga(const Canvas& canvas, const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                       &std::fclose);
  if (!file) return false;
  // Type 2 (true colour, uncompressed), 24 bits, origin at the bottom left.
  unsigned char header[18] = {};
  header[2] = 2;
  header[12] = kCanvasWidth & 0xFF;
  header[13] = kCanvasWidth >> 8;
  header[14] = kCanvasHeight & 0xFF;
  header[15] = kCanvasHeight >> 8;
  header[16] = 24;
  if (std::fwrite(header, 1, sizeof header, file.get()) != sizeof header) return false;
  std::vector<unsigned char> row(kCanvasWidth * 3);
  for (int y = kCanvasHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kCanvasWidth; ++x) {
      const unsigned char value = canvas.At(x, y);
      row[x * 3] = value / 4;  // blue: a touch, so the lines are a green-grey
      row[x * 3 + 1] = value;
      row[x * 3 + 2] = value / 4;
    }
    if (std::fwrite(row.data(), 1, row.size(), file.get()) != row.size()) return false;
  }
  return std::fflush(file.get()) == 0;
}

const std::vector<GraticuleFile>& GraticuleFiles() {
  static const std::vector<GraticuleFile> files = {
      {"VectorScope.tga", &DrawVectorScope},
      {"CompositeYc.tga", [] { return DrawCompositeYc(false); }},
      {"CompositeYc_Japanese.tga", [] { return DrawCompositeYc(true); }},
      {"ComponentYUV.tga", [] { return DrawComponentYuv(false); }},
      {"ComponentYUV_Japanese.tga", [] { return DrawComponentYuv(true); }},
      {"ComponentRGB.tga", &DrawComponentRgb},
  };
  return files;
}

}  // namespace quellor::graticules
