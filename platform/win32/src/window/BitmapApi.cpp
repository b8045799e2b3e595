// Bitmaps, DIB sections and the transfers between them and device contexts.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "Painter.h"
#include "metafile/MetafileRecording.h"
#include "win32/errors.h"
#include "win32/kernel.h"

using namespace quellor::win32;

namespace {

// A checked reading of a BITMAPINFO header.
struct DibFormat {
  int width = 0;
  int height = 0;  // absolute
  bool bottomUp = true;
  int bits = 0;
  int colours = 0;  // colour table entries that follow the header
};

bool ParseDib(const BITMAPINFO* bmi, DibFormat& f) {
  if (!bmi) return false;
  const BITMAPINFOHEADER& h = bmi->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 ||
      h.biHeight == LONG(0x80000000) || h.biPlanes != 1) {
    return false;
  }
  if (h.biBitCount != 1 && h.biBitCount != 8 && h.biBitCount != 24 && h.biBitCount != 32)
    return false;
  bool bitfields = h.biCompression == BI_BITFIELDS && h.biBitCount == 32;
  if (h.biCompression != BI_RGB && !bitfields) return false;
  f.width = h.biWidth;
  f.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  f.bottomUp = h.biHeight > 0;
  f.bits = h.biBitCount;
  if (f.bits <= 8) {
    int maximum = 1 << f.bits;
    f.colours = h.biClrUsed && int(h.biClrUsed) < maximum ? int(h.biClrUsed) : maximum;
  }
  return true;
}

void LoadColourTable(PixelBuffer& px, const BITMAPINFO* bmi, const DibFormat& f, UINT usage) {
  if (f.bits > 8) return;
  auto& table = px.ColorTable();
  const RGBQUAD* colours = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(bmi) +
                                                            bmi->bmiHeader.biSize);
  for (int i = 0; i < f.colours && i < int(table.size()); ++i) {
    // DIB_PAL_COLORS indexes a palette; with no palettes here the index is grey.
    table[size_t(i)] = usage == DIB_PAL_COLORS ? RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0} : colours[i];
  }
}

// Wraps caller memory holding `lines` scan lines of a DIB.
std::shared_ptr<PixelBuffer> WrapDib(const void* bits, const BITMAPINFO* bmi, const DibFormat& f,
                                     int lines, UINT usage) {
  auto px = PixelBuffer::Wrap(const_cast<uint8_t*>(static_cast<const uint8_t*>(bits)), f.width,
                              lines, f.bits, f.bottomUp);
  if (px) LoadColourTable(*px, bmi, f, usage);
  return px;
}

// Locks the pixels of two targets without deadlocking, even when they are
// the same surface.
struct PairLock {
  std::unique_lock<std::mutex> a, b;
  PairLock(PixelBuffer* x, PixelBuffer* y) {
    if (x == y || !y) {
      a = std::unique_lock<std::mutex>(x->Mutex());
    } else {
      a = std::unique_lock<std::mutex>(x->Mutex(), std::defer_lock);
      b = std::unique_lock<std::mutex>(y->Mutex(), std::defer_lock);
      std::lock(a, b);
    }
  }
};

bool RopUsesSource(DWORD rop) {
  uint8_t code = uint8_t(rop >> 16);
  return ((code >> 2) & 0x33) != (code & 0x33);
}

// Source and destination of a blit, both locked.
template <class F>
BOOL WithTwoContexts(HDC hdcDest, HDC hdcSrc, F&& transfer) {
  auto dst = FindDC(hdcDest);
  auto src = FindDC(hdcSrc);
  if (!dst || !src) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // Both contexts are locked in a fixed order (by address) so that two threads
  // blitting in opposite directions never wait on each other.
  std::unique_lock<std::mutex> first, second;
  if (dst == src) {
    first = dst->Lock();
  } else {
    DeviceContext* a = std::min(dst.get(), src.get());
    DeviceContext* b = std::max(dst.get(), src.get());
    first = a->Lock();
    second = b->Lock();
  }
  DrawTarget to, from;
  if (!dst->AcquireTarget(to, false) || !src->AcquireTarget(from, false, false)) return FALSE;
  if (to.pixels->BitsPerPixel() != 32) return FALSE;
  PairLock pixels(to.Guarded(), from.Guarded());
  transfer(*dst, to, *src, from);
  to.Commit();  // while both surfaces are still locked
  return TRUE;
}

uint32_t PatternOf(DeviceContext& dc) {
  return dc.Attributes().brush->style == BS_NULL ? 0 : ColorRefToPixel(dc.BrushColor());
}

}  // namespace

extern "C" {

HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits,
                                HANDLE hSection, DWORD) {
  DibFormat f;
  if (ppvBits) *ppvBits = nullptr;
  if (!ParseDib(pbmi, f) || hSection) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto px = PixelBuffer::Create(f.width, f.height, f.bits, f.bottomUp);
  if (!px) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  LoadColourTable(*px, pbmi, f, usage);
  auto bitmap = std::make_shared<BitmapObject>(px, true);
  bitmap->header = pbmi->bmiHeader;
  bitmap->header.biSize = sizeof(BITMAPINFOHEADER);
  if (ppvBits) *ppvBits = px->Bits();
  return static_cast<HBITMAP>(GdiTable::Add(bitmap));
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  if (!FindDC(hdc) || cx < 0 || cy < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // Every bitmap compatible with a context here is 32-bit colour, including
  // one made for a fresh memory context (Windows would make it monochrome).
  auto px = PixelBuffer::Create(std::max(cx, 1), std::max(cy, 1), 32, false);
  if (!px) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return static_cast<HBITMAP>(GdiTable::Add(std::make_shared<BitmapObject>(px, false)));
}

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount,
                            const void* lpBits) {
  if (nPlanes != 1 || (nBitCount != 1 && nBitCount != 32)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto px = PixelBuffer::Create(std::max(nWidth, 1), std::max(nHeight, 1), int(nBitCount), false);
  if (!px) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (nBitCount == 1) {
    px->ColorTable()[0] = RGBQUAD{0, 0, 0, 0};
    px->ColorTable()[1] = RGBQUAD{255, 255, 255, 0};
  }
  if (lpBits) {
    // Device-dependent bitmaps have rows aligned to 16 bits.
    size_t srcStride = ((size_t(px->Width()) * nBitCount + 15) / 16) * 2;
    size_t rowBytes = (size_t(px->Width()) * nBitCount + 7) / 8;
    for (int y = 0; y < px->Height(); ++y) {
      std::memcpy(px->Row(y), static_cast<const uint8_t*>(lpBits) + srcStride * size_t(y),
                  rowBytes);
    }
  }
  return static_cast<HBITMAP>(GdiTable::Add(std::make_shared<BitmapObject>(px, false)));
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits,
                     LPBITMAPINFO lpbmi, UINT) {
  auto bitmap = GdiTable::FindAs<BitmapObject>(hbm);
  if (!bitmap || !lpbmi || !FindDC(hdc)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  PixelBuffer& px = *bitmap->pixels;
  BITMAPINFOHEADER& h = lpbmi->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  if (!lpvBits && h.biBitCount == 0) {
    // Describe the bitmap.
    h.biWidth = px.Width();
    h.biHeight = px.BottomUp() || !bitmap->dibSection ? px.Height() : -px.Height();
    h.biPlanes = 1;
    h.biBitCount = WORD(px.BitsPerPixel());
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(px.SizeBytes());
    h.biClrUsed = 0;
    return 1;
  }
  DibFormat out;
  if (!ParseDib(lpbmi, out) || (out.bits != 32 && out.bits != 24)) {
    if (!lpvBits && h.biBitCount) {
      h.biSizeImage =
          DWORD(PixelBuffer::StrideFor(h.biWidth, h.biBitCount) * size_t(std::abs(h.biHeight)));
      return 1;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  h.biSizeImage = DWORD(PixelBuffer::StrideFor(out.width, out.bits) * size_t(out.height));
  if (!lpvBits) return 1;
  std::lock_guard<std::mutex> lock(px.Mutex());
  size_t stride = PixelBuffer::StrideFor(out.width, out.bits);
  int copied = 0;
  std::vector<uint32_t> row(size_t(out.width), 0);
  int n = std::min(out.width, px.Width());
  for (UINT i = 0; i < cLines; ++i) {
    int scan = int(start + i);  // counted from the bottom for bottom-up output
    if (scan >= out.height || scan >= px.Height()) break;
    int visual = out.bottomUp ? px.Height() - 1 - scan : scan;
    std::fill(row.begin(), row.end(), 0);
    ReadRowBgra(px, 0, visual, n, row.data());
    uint8_t* dst = static_cast<uint8_t*>(lpvBits) + size_t(i) * stride;
    if (out.bits == 32) {
      std::memcpy(dst, row.data(), size_t(out.width) * 4);
    } else {
      for (int x = 0; x < out.width; ++x) {
        dst[x * 3] = uint8_t(row[size_t(x)]);
        dst[x * 3 + 1] = uint8_t(row[size_t(x)] >> 8);
        dst[x * 3 + 2] = uint8_t(row[size_t(x)] >> 16);
      }
    }
    ++copied;
  }
  return copied;
}

int WINAPI SetDIBits(HDC, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits,
                     const BITMAPINFO* lpbmi, UINT ColorUse) {
  auto bitmap = GdiTable::FindAs<BitmapObject>(hbm);
  DibFormat f;
  if (!bitmap || !lpBits || !ParseDib(lpbmi, f) || bitmap->pixels->BitsPerPixel() != 32) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto src = WrapDib(lpBits, lpbmi, f, int(std::min<UINT>(cLines, UINT(f.height))), ColorUse);
  if (!src) return 0;
  PixelBuffer& px = *bitmap->pixels;
  std::lock_guard<std::mutex> lock(px.Mutex());
  int n = std::min(f.width, px.Width());
  int copied = 0;
  for (int i = 0; i < src->Height(); ++i) {
    int scan = int(start) + i;
    if (scan >= f.height) break;
    int visual = f.bottomUp ? f.height - 1 - scan : scan;
    if (visual >= px.Height()) continue;
    // Row i of the band is scan start + i, stored in memory order.
    int bandRow = f.bottomUp ? src->Height() - 1 - i : i;
    ReadRowBgra(*src, 0, bandRow, n, px.Row32(visual));
    ++copied;
  }
  return copied;
}

int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc,
                             UINT StartScan, UINT cLines, const void* lpvBits,
                             const BITMAPINFO* lpbmi, UINT ColorUse) {
  auto dc = FindDC(hdc);
  DibFormat f;
  if (!dc || !lpvBits || !ParseDib(lpbmi, f) || cLines == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  metafile::RecordSetDIBitsToDevice(hdc, xDest, yDest, w, h, xSrc, ySrc, StartScan, cLines, lpvBits,
                                    lpbmi, ColorUse);
  int lines = int(std::min<UINT>(cLines, UINT(f.height)));
  auto band = WrapDib(lpvBits, lpbmi, f, lines, ColorUse);
  if (!band) return 0;
  auto lock = dc->Lock();
  DrawTarget t;
  if (!dc->AcquireTarget(t) || t.pixels->BitsPerPixel() != 32) return 0;
  // Source rows of the rectangle, top row first. A bottom-up DIB counts ySrc
  // and the scan lines from its bottom edge, a top-down DIB from its top.
  int rowsSet = 0;
  std::vector<uint32_t> row(w);
  for (int j = 0; j < int(h); ++j) {
    int scan = f.bottomUp ? ySrc + int(h) - 1 - j : ySrc + j;
    if (scan < int(StartScan) || scan >= int(StartScan) + lines || scan >= f.height) continue;
    int bandIndex = scan - int(StartScan);
    int bandRow = f.bottomUp ? lines - 1 - bandIndex : bandIndex;
    int x0 = std::max(xSrc, 0), x1 = std::min(xSrc + int(w), f.width);
    if (x1 <= x0) continue;
    std::fill(row.begin(), row.end(), 0);
    ReadRowBgra(*band, x0, bandRow, x1 - x0, row.data() + (x0 - xSrc));
    PutPixels(t, xDest + (x0 - xSrc), yDest + j, x1 - x0, 1, row.data() + (x0 - xSrc), int(w),
              SRCCOPY, 0);
    ++rowsSet;
  }
  return rowsSet;
}

int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc,
                         int ySrc, int SrcWidth, int SrcHeight, const void* lpBits,
                         const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop) {
  auto dc = FindDC(hdc);
  DibFormat f;
  if (!dc || !lpBits || !ParseDib(lpbmi, f)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  metafile::RecordStretchDIBits(hdc, xDest, yDest, DestWidth, DestHeight, xSrc, ySrc, SrcWidth,
                                SrcHeight, lpBits, lpbmi, iUsage, rop);
  auto src = WrapDib(lpBits, lpbmi, f, f.height, iUsage);
  if (!src) return 0;
  auto lock = dc->Lock();
  DrawTarget t;
  if (!dc->AcquireTarget(t) || t.pixels->BitsPerPixel() != 32) return 0;
  // The visual top of the source rectangle (see SetDIBitsToDevice).
  int top = f.bottomUp ? f.height - (ySrc + SrcHeight) : ySrc;
  if (SrcWidth == DestWidth && SrcHeight == DestHeight && SrcWidth > 0 && SrcHeight > 0) {
    BlitBlock(t, xDest, yDest, DestWidth, DestHeight, *src, xSrc, top, rop, PatternOf(*dc));
  } else {
    StretchBlock(t, xDest, yDest, DestWidth, DestHeight, *src, xSrc, top, SrcWidth, SrcHeight,
                 dc->Attributes().stretchMode, rop, PatternOf(*dc));
  }
  return std::abs(SrcHeight);
}

UINT WINAPI SetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, const RGBQUAD* prgbq) {
  auto dc = FindDC(hdc);
  if (!dc || !prgbq) return 0;
  auto lock = dc->Lock();
  auto px = dc->Attributes().bitmap->pixels;
  std::lock_guard<std::mutex> pixelLock(px->Mutex());
  auto& table = px->ColorTable();
  UINT n = 0;
  for (; n < cEntries && iStart + n < table.size(); ++n) table[iStart + n] = prgbq[n];
  return n;
}

UINT WINAPI GetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, RGBQUAD* prgbq) {
  auto dc = FindDC(hdc);
  if (!dc || !prgbq) return 0;
  auto lock = dc->Lock();
  auto px = dc->Attributes().bitmap->pixels;
  std::lock_guard<std::mutex> pixelLock(px->Mutex());
  auto& table = px->ColorTable();
  UINT n = 0;
  for (; n < cEntries && iStart + n < table.size(); ++n) prgbq[n] = table[iStart + n];
  return n;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  if (!RopUsesSource(rop)) return PatBlt(hdc, x, y, cx, cy, rop);
  metafile::RecordStretchBlt(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop);
  return WithTwoContexts(
      hdc, hdcSrc, [&](DeviceContext& dst, DrawTarget& to, DeviceContext&, DrawTarget& from) {
        BlitBlock(to, x, y, cx, cy, *from.pixels, x1 + from.dx, y1 + from.dy, rop, PatternOf(dst));
      });
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc,
                       int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop) {
  if (!RopUsesSource(rop)) return PatBlt(hdcDest, xDest, yDest, wDest, hDest, rop);
  metafile::RecordStretchBlt(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc,
                             rop);
  return WithTwoContexts(
      hdcDest, hdcSrc, [&](DeviceContext& dst, DrawTarget& to, DeviceContext&, DrawTarget& from) {
        if (wDest == wSrc && hDest == hSrc && wSrc > 0 && hSrc > 0) {
          BlitBlock(to, xDest, yDest, wDest, hDest, *from.pixels, xSrc + from.dx, ySrc + from.dy,
                    rop, PatternOf(dst));
          return;
        }
        StretchBlock(to, xDest, yDest, wDest, hDest, *from.pixels, xSrc + from.dx, ySrc + from.dy,
                     wSrc, hSrc, dst.Attributes().stretchMode, rop, PatternOf(dst));
      });
}

}  // extern "C"
