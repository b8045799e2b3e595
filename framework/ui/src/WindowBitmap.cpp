// WindowBitmap: the picture, its system objects, and drawing it.
#include "qlxrapi/WindowBitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include <win32/surface_spans.h>

#include "AlphaRows.h"
#include "ScratchPicture.h"
#include "StretchedCopies.h"

HDC BuildHDC(int bitsPerPixel) {
  DEVMODEA mode{};
  mode.dmSize = sizeof(mode);
  if (!EnumDisplaySettingsA(nullptr, 0, &mode)) return nullptr;
  mode.dmBitsPerPel = static_cast<DWORD>(bitsPerPixel);
  HDC information = CreateICA("DISPLAY", nullptr, nullptr, &mode);
  if (information == nullptr) return nullptr;
  HDC memory = CreateCompatibleDC(information);
  DeleteDC(information);
  return memory;
}

WindowBitmap::WindowBitmap(unsigned long width, unsigned long height) {
  if (!Resize(width, height)) throw "Could not allocate the windows bitmap.";
}

WindowBitmap::~WindowBitmap() {
  Free();
}

void WindowBitmap::Free() {
  if (m_pixels != nullptr) quellor::win::ForgetStretchedCopies(this);
  if (m_dc != nullptr && m_oldBitmap != nullptr) SelectObject(m_dc, m_oldBitmap);
  if (m_section != nullptr) DeleteObject(m_section);
  if (m_dc != nullptr) DeleteDC(m_dc);
  m_dc = nullptr;
  m_section = nullptr;
  m_oldBitmap = nullptr;
  m_pixels = nullptr;
  m_width = m_height = 0;
}

bool WindowBitmap::Resize(unsigned long width, unsigned long height) {
  if (width == m_width && height == m_height) return true;
  Free();
  if (width == 0 || height == 0) return true;
  // The section is addressed with 32-bit signed sizes and byte counts.
  if (width > 0x7FFFFFFFul || height > 0x7FFFFFFFul ||
      std::uint64_t{width} * height * 4 > 0x7FFFFFFFull)
    return false;
  m_width = width;
  m_height = height;
  m_dc = BuildHDC(32);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  if (m_dc != nullptr) m_section = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (m_section == nullptr || bits == nullptr) {
    Free();
    return false;
  }
  m_oldBitmap = SelectObject(m_dc, m_section);
  m_pixels = static_cast<WindowPixel*>(bits);
  return true;
}

void WindowBitmap::Clear() {
  if (m_pixels) std::fill(m_pixels, m_pixels + std::size_t{m_width} * m_height, WindowPixel{});
}

void WindowBitmap::Clear(WindowPixel value) {
  if (m_pixels) std::fill(m_pixels, m_pixels + std::size_t{m_width} * m_height, value);
}

bool WindowBitmap::CopyFrom(WindowBitmap* source) {
  if (source == nullptr || source == this) return source == this;
  if (!Resize(source->m_width, source->m_height)) return false;
  if (m_pixels) std::memcpy(m_pixels, source->m_pixels, std::size_t{m_width} * m_height * 4);
  return true;
}

void WindowBitmap::SwapData(WindowBitmap* other) {
  if (other == nullptr) return;
  std::swap(m_width, other->m_width);
  std::swap(m_height, other->m_height);
  std::swap(m_dc, other->m_dc);
  std::swap(m_section, other->m_section);
  std::swap(m_oldBitmap, other->m_oldBitmap);
  std::swap(m_pixels, other->m_pixels);
}

bool WindowBitmap::GetBitmap(HBITMAP bitmap) {
  BITMAP description{};
  if (bitmap == nullptr || GetObjectA(bitmap, sizeof(description), &description) == 0) return false;
  const LONG height = description.bmHeight < 0 ? -description.bmHeight : description.bmHeight;
  if (!Resize(static_cast<unsigned long>(description.bmWidth),
              static_cast<unsigned long>(height)) ||
      m_pixels == nullptr)
    return false;
  HDC dc = BuildHDC(32);
  if (dc == nullptr) return false;
  SetStretchBltMode(dc, HALFTONE);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = static_cast<LONG>(m_width);
  info.bmiHeader.biHeight = -static_cast<LONG>(m_height);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const int lines =
      GetDIBits(dc, bitmap, 0, static_cast<UINT>(m_height), m_pixels, &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  return lines > 0;
}

namespace {

BITMAPINFO HeaderOf(unsigned long width, unsigned long height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

bool WindowBitmap::BitBlit(HDC dc, long x, long y, long width, long height) {
  if (m_pixels == nullptr || dc == nullptr) return false;
  if (width < 0) width = static_cast<long>(m_width);
  if (height < 0) height = static_cast<long>(m_height);
  width = std::min<long>(width, static_cast<long>(m_width));
  height = std::min<long>(height, static_cast<long>(m_height));
  BITMAPINFO info = HeaderOf(m_width, m_height);
  // Top-down source: start scan 0 and all lines, the top-left corner drawn.
  const int lines = SetDIBitsToDevice(dc, static_cast<int>(x), static_cast<int>(y),
                                      static_cast<DWORD>(width), static_cast<DWORD>(height), 0,
                                      static_cast<int>(m_height) - static_cast<int>(height), 0,
                                      static_cast<UINT>(m_height), m_pixels, &info, DIB_RGB_COLORS);
  return lines >= height;
}

bool WindowBitmap::BitBlit(HWND window, long x, long y) {
  HDC dc = GetDC(window);
  if (dc == nullptr) return false;
  const bool done = BitBlit(dc, x, y);
  ReleaseDC(window, dc);
  return done;
}

bool WindowBitmap::BitBlitStretch(HDC dc, long x, long y, long width, long height) {
  if (m_pixels == nullptr || dc == nullptr) return false;
  if (SetStretchBltMode(dc, HALFTONE) == 0) return false;
  if (width == static_cast<long>(m_width) && height == static_cast<long>(m_height))
    return BitBlit(dc, x, y, width, height);
  BITMAPINFO info = HeaderOf(m_width, m_height);
  return StretchDIBits(dc, static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                       static_cast<int>(height), 0, 0, static_cast<int>(m_width),
                       static_cast<int>(m_height), m_pixels, &info, DIB_RGB_COLORS,
                       SRCCOPY) == static_cast<int>(m_height);
}

bool WindowBitmap::BitBlitStretch(HWND window, long x, long y, long width, long height) {
  HDC dc = GetDC(window);
  if (dc == nullptr) return false;
  const bool done = BitBlitStretch(dc, x, y, width, height);
  ReleaseDC(window, dc);
  return done;
}

namespace {

// The picture blended straight into the visible spans of the destination.
struct DirectBlend {
  WindowBitmap* picture;
  long x, y;

  static void Span(void* self, std::uint32_t* pixels, int x, int y, int count) {
    auto* blend = static_cast<DirectBlend*>(self);
    const WindowPixel* source = blend->picture->GetPixel(static_cast<unsigned long>(x - blend->x),
                                                         static_cast<unsigned long>(y - blend->y));
    quellor::win::BlendRowBGRA(reinterpret_cast<const std::uint8_t*>(source),
                               reinterpret_cast<std::uint8_t*>(pixels), count);
  }
};

// Other destinations (metafiles, 8-bit bitmaps) pass through the scratch
// picture a band of rows at a time, so that the band is still in the cache
// when it is blended and written back.
bool AlphaBitBlitThroughScratch(WindowBitmap& picture, HDC dc, long x, long y) {
  constexpr int kBandRows = 16;
  const int w = static_cast<int>(picture.GetWidth()), h = static_cast<int>(picture.GetHeight());
  WindowBitmap* grown = quellor::win::ScratchPicture(
      picture.GetWidth(), static_cast<unsigned long>(std::min(h, kBandRows)));
  if (grown == nullptr) return false;
  WindowBitmap& scratch = *grown;
  for (int top = 0; top < h; top += kBandRows) {
    const int rows = std::min(kBandRows, h - top);
    const int bandY = static_cast<int>(y) + top;
    if (!::BitBlt(scratch.GetHDC(), 0, 0, w, rows, dc, static_cast<int>(x), bandY, SRCCOPY))
      return false;
    GdiFlush();
    for (int row = 0; row < rows; ++row)
      quellor::win::BlendRowBGRA(
          reinterpret_cast<const std::uint8_t*>(picture.GetPixel(0, top + row)),
          reinterpret_cast<std::uint8_t*>(scratch.GetPixel(0, row)), w);
    if (!::BitBlt(dc, static_cast<int>(x), bandY, w, rows, scratch.GetHDC(), 0, 0, SRCCOPY))
      return false;
  }
  return true;
}

}  // namespace

bool WindowBitmap::AlphaBitBlit(HDC dc, long x, long y) {
  if (m_pixels == nullptr || dc == nullptr) return false;
  // Straight into the destination's pixels when the window system hands
  // them over: no copy out and back.
  DirectBlend direct{this, x, y};
  const RECT area{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + m_width),
                  static_cast<LONG>(y + m_height)};
  if (quellor::win32::VisitSurfaceSpans(dc, area, &DirectBlend::Span, &direct)) return true;
  return AlphaBitBlitThroughScratch(*this, dc, x, y);
}

bool WindowBitmap::ApplyAsMask(HWND window) {
  std::vector<RECT> runs;
  for (unsigned long y = 0; y < m_height; ++y) {
    const WindowPixel* row = GetPixel(0, y);
    for (unsigned long x = 0; x < m_width;) {
      if (row[x].alpha <= 253) {
        ++x;
        continue;
      }
      const unsigned long start = x;
      while (x < m_width && row[x].alpha > 253) ++x;
      runs.push_back(RECT{static_cast<LONG>(start), static_cast<LONG>(y), static_cast<LONG>(x),
                          static_cast<LONG>(y + 1)});
    }
  }
  std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  auto* region = reinterpret_cast<RGNDATA*>(data.data());
  region->rdh.dwSize = sizeof(RGNDATAHEADER);
  region->rdh.iType = RDH_RECTANGLES;
  region->rdh.nCount = static_cast<DWORD>(runs.size());
  region->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
  region->rdh.rcBound = RECT{0, 0, static_cast<LONG>(m_width), static_cast<LONG>(m_height)};
  if (!runs.empty())
    std::memcpy(data.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
  HRGN shape = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region);
  if (shape == nullptr) return false;
  return SetWindowRgn(window, shape, TRUE) != 0;
}
