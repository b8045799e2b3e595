// WindowBitmap: a 32-bit picture whose pixels are at once the program's to
// touch and a DIB section selected into its own memory device context. Rows
// run top-down with no padding; pixel (x, y) is at byte (x + y * width) * 4.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include <cstdint>

// One pixel in memory order blue, green, red, alpha (255 opaque).
struct WindowPixel {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  std::uint8_t alpha = 0;
};
static_assert(sizeof(WindowPixel) == 4);

// A memory device context compatible with the display at bitsPerPixel; null
// on failure. The caller deletes it.
QUELLOR_EXPORT HDC BuildHDC(int bitsPerPixel);

class QUELLOR_EXPORT WindowBitmap {
 public:
  // Throws "Could not allocate the windows bitmap." when the picture cannot
  // be made.
  WindowBitmap(unsigned long width = 0, unsigned long height = 0);
  virtual ~WindowBitmap();
  WindowBitmap(const WindowBitmap&) = delete;
  WindowBitmap& operator=(const WindowBitmap&) = delete;

  // Keeps the pixels when the size is unchanged; otherwise their contents are
  // undefined. False (and an empty picture) on failure.
  virtual bool Resize(unsigned long width, unsigned long height);
  virtual void Free();

  unsigned long GetWidth() const { return m_width; }
  unsigned long GetHeight() const { return m_height; }
  HDC GetHDC() const { return m_dc; }
  HBITMAP GetHBITMAP() const { return m_section; }
  // No bounds check.
  WindowPixel* GetPixel(unsigned long x, unsigned long y) { return m_pixels + x + y * m_width; }
  WindowPixel* GetPixels() { return m_pixels; }

  void Clear();
  void Clear(WindowPixel value);
  bool CopyFrom(WindowBitmap* source);
  void SwapData(WindowBitmap* other);
  // Reads a system bitmap as 32-bit top-down pixels; true when a line was read.
  bool GetBitmap(HBITMAP bitmap);

  // The top-left width x height of the picture at (x, y), unscaled; a
  // negative size means the whole width or height.
  bool BitBlit(HDC dc, long x, long y, long width = -1, long height = -1);
  bool BitBlit(HWND window, long x, long y);
  bool BitBlitStretch(HDC dc, long x, long y, long width, long height);
  bool BitBlitStretch(HWND window, long x, long y, long width, long height);
  // Blends the picture by its own alpha over what dc holds at (x, y).
  bool AlphaBitBlit(HDC dc, long x, long y);
  // The whole picture drawn into a rectangle by the screen-object alignment
  // flags (centred, edges, tiled, stretched), blended by its alpha.
  bool BitBlitTile(HWND window, HDC dc, unsigned long flags);
  bool BitBlitTile(RECT* rectangle, HDC dc, unsigned long flags);
  // Shapes window to the pixels whose alpha is above 253.
  bool ApplyAsMask(HWND window);

  // JPEG (.jpg .jfif .jpeg .jpe, any case) through libjpeg, every other
  // format through the image codec library.
  bool ReadBitmapFile(char* path);
  bool Read_JPEG(char* path, bool alphaOnly);
  // Baseline JPEG of the colours, or of the alpha as grey.
  bool Write_JPEG(char* path, int quality, bool alphaOnly);

 private:
  bool ReadThroughCodecs(const char* path);

  unsigned long m_width = 0;
  unsigned long m_height = 0;
  HDC m_dc = nullptr;
  HBITMAP m_section = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
  WindowPixel* m_pixels = nullptr;
};

// Draws bitmap into rectangle by the alignment flags, clipped to clip when
// one is given; true when it drew.
QUELLOR_EXPORT bool WindowBitmap_AlphaBlend(WindowBitmap* bitmap, HDC dc, RECT& rectangle,
                                            long flags, RECT* clip);
