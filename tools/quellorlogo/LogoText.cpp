#include "LogoText.h"

#include <windows.h>

namespace quellor::logo {
namespace {

// A memory context with a white-on-black 32-bit section and the run's font
// selected; everything is released when it goes.
class TextSurface {
 public:
  TextSurface(int width, int height, const TextRun& run) : m_width(width), m_height(height) {
    m_dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_section = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
    m_oldBitmap = SelectObject(m_dc, m_section);
    m_font = CreateFontA(-run.height, 0, 0, 0, run.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                         DEFAULT_PITCH, run.face.c_str());
    m_oldFont = SelectObject(m_dc, m_font);
    SetBkMode(m_dc, TRANSPARENT);
    SetTextColor(m_dc, RGB(255, 255, 255));
  }
  ~TextSurface() {
    SelectObject(m_dc, m_oldFont);
    DeleteObject(m_font);
    SelectObject(m_dc, m_oldBitmap);
    DeleteObject(m_section);
    DeleteDC(m_dc);
  }
  TextSurface(const TextSurface&) = delete;
  TextSurface& operator=(const TextSurface&) = delete;

  HDC Dc() const { return m_dc; }
  bool Ready() const { return m_bits != nullptr; }
  // The green channel of pixel (x, y), as coverage.
  float Coverage(int x, int y) const {
    const auto* pixel = static_cast<const unsigned char*>(m_bits) +
                        (std::size_t(y) * std::size_t(m_width) + std::size_t(x)) * 4;
    return float(pixel[1]) / 255.0f;
  }

 private:
  int m_width, m_height;
  HDC m_dc = nullptr;
  HBITMAP m_section = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
  HFONT m_font = nullptr;
  HGDIOBJ m_oldFont = nullptr;
  void* m_bits = nullptr;
};

int LetterWidth(HDC dc, char letter) {
  SIZE size{};
  GetTextExtentPoint32A(dc, &letter, 1, &size);
  return size.cx;
}

}  // namespace

int TextWidth(const TextRun& run) {
  TextSurface surface(1, 1, run);
  int width = 0;
  for (char letter : run.text) width += LetterWidth(surface.Dc(), letter) + run.tracking;
  return run.text.empty() ? 0 : width - run.tracking;
}

std::vector<float> TextCoverage(int width, int height, const TextRun& run) {
  std::vector<float> coverage(std::size_t(width) * std::size_t(height), 0.0f);
  TextSurface surface(width, height, run);
  if (!surface.Ready()) return coverage;
  int x = run.x;
  for (char letter : run.text) {
    TextOutA(surface.Dc(), x, run.y, &letter, 1);
    x += LetterWidth(surface.Dc(), letter) + run.tracking;
  }
  for (int y = 0; y < height; ++y)
    for (int px = 0; px < width; ++px)
      coverage[std::size_t(y) * std::size_t(width) + std::size_t(px)] = surface.Coverage(px, y);
  return coverage;
}

}  // namespace quellor::logo
