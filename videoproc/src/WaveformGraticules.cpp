// The six graticules every waveform monitor of the process draws over,
// loaded from the skins when the plug-in loads and freed when it unloads.
#include <qlxrapi/FindFiles.h>
#include <qlxrapi/WindowBitmap.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "ScopeRows.h"
#include "videoproc/WaveformMonitor.h"

using namespace quellor::videoproc;

std::uint8_t* WaveformMonitor::VectorScopeOverlay = nullptr;
std::uint8_t* WaveformMonitor::CompositeYcOverlay = nullptr;
std::uint8_t* WaveformMonitor::CompositeYcOverlay_Jap = nullptr;
std::uint8_t* WaveformMonitor::ComponentYUVOverlay = nullptr;
std::uint8_t* WaveformMonitor::ComponentYUVOverlay_Jap = nullptr;
std::uint8_t* WaveformMonitor::ComponentRGBOverlay = nullptr;

namespace {

struct GraticuleFile {
  std::uint8_t** overlay;
  const char* name;
};

const GraticuleFile kGraticules[] = {
    {&WaveformMonitor::VectorScopeOverlay, "QuellorScope\\VectorScope.tga"},
    {&WaveformMonitor::CompositeYcOverlay, "QuellorScope\\CompositeYc.tga"},
    {&WaveformMonitor::CompositeYcOverlay_Jap, "QuellorScope\\CompositeYc_Japanese.tga"},
    {&WaveformMonitor::ComponentYUVOverlay, "QuellorScope\\ComponentYUV.tga"},
    {&WaveformMonitor::ComponentYUVOverlay_Jap, "QuellorScope\\ComponentYUV_Japanese.tga"},
    {&WaveformMonitor::ComponentRGBOverlay, "QuellorScope\\ComponentRGB.tga"},
};

// The picture's top-left 360 x 256 pixels, each the largest of its blue,
// green and red; what the picture lacks (a missing file, a small picture)
// stays blank.
void LoadGraticule(const char* name, std::uint8_t* bytes) {
  std::memset(bytes, 0, kScopeBytes);
  const char* found = FindFiles_FindFile("Skins", name);
  if (found == nullptr) return;
  std::string path = found;  // the finder's buffer is reused by its next call
  // The finder joins with '\\'; the picture reader opens files with the C
  // library, which takes only '/' as a separator here.
  std::replace(path.begin(), path.end(), '\\', '/');
  WindowBitmap picture;
  if (!picture.ReadBitmapFile(path.data())) return;
  const unsigned long width = std::min<unsigned long>(picture.GetWidth(), kScopeWidth);
  const unsigned long height = std::min<unsigned long>(picture.GetHeight(), kScopeHeight);
  for (unsigned long y = 0; y < height; ++y) {
    const WindowPixel* row = picture.GetPixel(0, y);
    std::uint8_t* out = bytes + y * kScopeWidth;
    for (unsigned long x = 0; x < width; ++x) {
      out[x] = std::max({row[x].blue, row[x].green, row[x].red});
    }
  }
}

}  // namespace

void WaveFormVectorScopeInit() {
  for (const GraticuleFile& file : kGraticules) {
    if (*file.overlay == nullptr) *file.overlay = new std::uint8_t[kScopeBytes];
    LoadGraticule(file.name, *file.overlay);
  }
}

void WaveFormVectorScopeFree() {
  for (const GraticuleFile& file : kGraticules) {
    delete[] * file.overlay;
    *file.overlay = nullptr;
  }
}
