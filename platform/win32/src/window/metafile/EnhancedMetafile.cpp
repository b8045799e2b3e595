// Enhanced metafiles. A metafile context is a memory context over a surface
// that starts out as "nothing drawn" (a key colour with full alpha); the GDI
// calls made on it draw there as on any context. Closing keeps the pixels
// that were drawn, inside the picture frame; playing scales them into the
// destination rectangle and leaves everything else of the destination as it
// was, so a metafile shows over whatever lies below it.
//
// Drawing writes alpha 0 on 32-bit surfaces, and text blends its colour into
// the key colour, so a pixel counts as drawn when its alpha is 0 or its
// colour left the key. The key is near black, so anti-aliased text edges
// fade towards black.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "win32/errors.h"
#include "win32/gdi.h"
#include "win32/kernel.h"
#include "win32/metafile.h"
#include "win32/user.h"

namespace {

constexpr uint32_t kUndrawn = 0xFF010203u;  // alpha 255 and the key colour
constexpr int kLargestSide = 8192;          // pixels

struct Recording {
  HBITMAP bitmap = nullptr;
  HGDIOBJ previousBitmap = nullptr;
  uint32_t* bits = nullptr;
  int width = 0;
  int height = 0;
  bool frameGiven = false;
  RECT frame{};  // pixels
};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // drawn pixels have alpha 255, the others are 0
};

std::mutex gMutex;
std::map<HDC, Recording>& Recordings() {
  static std::map<HDC, Recording> table;
  return table;
}
std::map<uintptr_t, std::shared_ptr<Picture>>& Pictures() {
  static std::map<uintptr_t, std::shared_ptr<Picture>> table;
  return table;
}

HENHMETAFILE AddPicture(std::shared_ptr<Picture> picture) {
  static uintptr_t next = 0x4E000;
  std::lock_guard<std::mutex> lock(gMutex);
  next += 4;  // never reused
  Pictures()[next] = std::move(picture);
  return reinterpret_cast<HENHMETAFILE>(next);
}

std::shared_ptr<Picture> FindPicture(HENHMETAFILE handle) {
  std::lock_guard<std::mutex> lock(gMutex);
  auto it = Pictures().find(reinterpret_cast<uintptr_t>(handle));
  return it == Pictures().end() ? nullptr : it->second;
}

int PixelsPerInch(HDC reference) {
  HDC dc = reference ? reference : GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  if (!reference) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

// 0.01 mm to pixels, rounded.
LONG ToPixels(LONG hundredthsOfMm, int dpi) {
  return LONG((int64_t(hundredthsOfMm) * dpi + (hundredthsOfMm >= 0 ? 1270 : -1270)) / 2540);
}

bool IsDrawn(uint32_t pixel) {
  return pixel != kUndrawn;
}

RECT DrawnBounds(const Recording& r) {
  RECT b{r.width, r.height, 0, 0};
  for (int y = 0; y < r.height; ++y) {
    const uint32_t* row = r.bits + size_t(y) * size_t(r.width);
    for (int x = 0; x < r.width; ++x) {
      if (!IsDrawn(row[x])) continue;
      b.left = std::min<LONG>(b.left, x);
      b.right = std::max<LONG>(b.right, x + 1);
      b.top = std::min<LONG>(b.top, y);
      b.bottom = std::max<LONG>(b.bottom, y + 1);
    }
  }
  if (b.right <= b.left) return RECT{0, 0, 0, 0};
  return b;
}

HBITMAP CreateTopDownDib(HDC hdc, int width, int height, uint32_t** bits) {
  BITMAPINFO bmi{};
  bmi.bmiHeader =
      BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* p = nullptr;
  HBITMAP bitmap = CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &p, nullptr, 0);
  *bits = static_cast<uint32_t*>(p);
  return bitmap;
}

}  // namespace

extern "C" {

HDC WINAPI CreateEnhMetaFileA(HDC hdc, LPCSTR, const RECT* lprc, LPCSTR) {
  // The metafile is kept in memory; a file name is not written.
  int dpi = PixelsPerInch(hdc);
  Recording rec;
  if (lprc) {
    rec.frameGiven = true;
    rec.frame = RECT{ToPixels(std::min(lprc->left, lprc->right), dpi),
                     ToPixels(std::min(lprc->top, lprc->bottom), dpi),
                     ToPixels(std::max(lprc->left, lprc->right), dpi),
                     ToPixels(std::max(lprc->top, lprc->bottom), dpi)};
    rec.frame.left = std::max<LONG>(0, rec.frame.left);
    rec.frame.top = std::max<LONG>(0, rec.frame.top);
    rec.width = std::clamp<int>(rec.frame.right, 1, kLargestSide);
    rec.height = std::clamp<int>(rec.frame.bottom, 1, kLargestSide);
  } else {
    rec.width = std::clamp(GetSystemMetrics(SM_CXSCREEN), 1, kLargestSide);
    rec.height = std::clamp(GetSystemMetrics(SM_CYSCREEN), 1, kLargestSide);
  }
  HDC dc = CreateCompatibleDC(hdc);
  if (!dc) return nullptr;
  rec.bitmap = CreateTopDownDib(dc, rec.width, rec.height, &rec.bits);
  if (!rec.bitmap) {
    DeleteDC(dc);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::fill(rec.bits, rec.bits + size_t(rec.width) * size_t(rec.height), kUndrawn);
  rec.previousBitmap = SelectObject(dc, rec.bitmap);
  std::lock_guard<std::mutex> lock(gMutex);
  Recordings()[dc] = rec;
  return dc;
}

HENHMETAFILE WINAPI CloseEnhMetaFile(HDC hdc) {
  Recording rec;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    auto it = Recordings().find(hdc);
    if (it == Recordings().end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    rec = it->second;
    Recordings().erase(it);
  }
  GdiFlush();
  RECT frame = rec.frameGiven ? rec.frame : DrawnBounds(rec);
  frame.right = std::min<LONG>(frame.right, rec.width);
  frame.bottom = std::min<LONG>(frame.bottom, rec.height);
  auto picture = std::make_shared<Picture>();
  picture->width = std::max<LONG>(0, frame.right - frame.left);
  picture->height = std::max<LONG>(0, frame.bottom - frame.top);
  picture->pixels.resize(size_t(picture->width) * size_t(picture->height));
  for (int y = 0; y < picture->height; ++y) {
    const uint32_t* src = rec.bits + size_t(frame.top + y) * size_t(rec.width) + size_t(frame.left);
    uint32_t* dst = picture->pixels.data() + size_t(y) * size_t(picture->width);
    for (int x = 0; x < picture->width; ++x) {
      dst[x] = IsDrawn(src[x]) ? (src[x] | 0xFF000000u) : 0;
    }
  }
  SelectObject(hdc, rec.previousBitmap);
  DeleteObject(rec.bitmap);
  DeleteDC(hdc);
  return AddPicture(std::move(picture));
}

BOOL WINAPI PlayEnhMetaFile(HDC hdc, HENHMETAFILE hmf, const RECT* lprect) {
  auto picture = FindPicture(hmf);
  if (!picture || !lprect || !hdc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RECT r{std::min(lprect->left, lprect->right), std::min(lprect->top, lprect->bottom),
         std::max(lprect->left, lprect->right), std::max(lprect->top, lprect->bottom)};
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0 || picture->width == 0 || picture->height == 0) return TRUE;
  if (w > kLargestSide || h > kLargestSide) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Compose over what the destination holds: read it, draw, write it back.
  HDC mem = CreateCompatibleDC(hdc);
  uint32_t* bits = nullptr;
  HBITMAP canvas = CreateTopDownDib(mem, w, h, &bits);
  if (!mem || !canvas) {
    if (canvas) DeleteObject(canvas);
    if (mem) DeleteDC(mem);
    return FALSE;
  }
  HGDIOBJ old = SelectObject(mem, canvas);
  BitBlt(mem, 0, 0, w, h, hdc, r.left, r.top, SRCCOPY);
  GdiFlush();
  for (int y = 0; y < h; ++y) {
    int sy = int(int64_t(y) * picture->height / h);
    const uint32_t* src = picture->pixels.data() + size_t(sy) * size_t(picture->width);
    uint32_t* dst = bits + size_t(y) * size_t(w);
    for (int x = 0; x < w; ++x) {
      uint32_t p = src[size_t(int64_t(x) * picture->width / w)];
      if (p & 0xFF000000u) dst[x] = p & 0x00FFFFFFu;
    }
  }
  BitBlt(hdc, r.left, r.top, w, h, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(canvas);
  DeleteDC(mem);
  return TRUE;
}

BOOL WINAPI DeleteEnhMetaFile(HENHMETAFILE hmf) {
  std::lock_guard<std::mutex> lock(gMutex);
  return Pictures().erase(reinterpret_cast<uintptr_t>(hmf)) ? TRUE : FALSE;
}

HENHMETAFILE WINAPI CopyEnhMetaFileA(HENHMETAFILE hEnh, LPCSTR) {
  auto picture = FindPicture(hEnh);
  if (!picture) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return AddPicture(std::make_shared<Picture>(*picture));
}

}  // extern "C"
