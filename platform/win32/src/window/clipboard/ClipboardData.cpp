#include "ClipboardData.h"

#include <cstring>

#include "win32/clipboard.h"
#include "win32/gdi.h"
#include "win32/kernel.h"
#include "win32/metafile.h"
#include "win32/user.h"

namespace quellor::win32 {

HANDLE BitmapToPackedDib(HANDLE handle) {
  HBITMAP bitmap = static_cast<HBITMAP>(handle);
  BITMAP bm{};
  if (!GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return nullptr;
  size_t bytes = size_t(bm.bmWidth) * size_t(bm.bmHeight) * 4;
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + bytes);
  if (!global) return nullptr;
  auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(global));
  *header = BITMAPINFOHEADER{
      sizeof(BITMAPINFOHEADER), bm.bmWidth, bm.bmHeight, 1, 32, BI_RGB, DWORD(bytes), 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  int lines = GetDIBits(screen, bitmap, 0, UINT(bm.bmHeight), header + 1,
                        reinterpret_cast<BITMAPINFO*>(header), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  GlobalUnlock(global);
  if (lines != bm.bmHeight) {
    GlobalFree(global);
    return nullptr;
  }
  return global;
}

HANDLE PackedDibToBitmap(HANDLE global) {
  SIZE_T size = GlobalSize(global);
  if (size < sizeof(BITMAPINFOHEADER)) return nullptr;
  auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(global));
  if (!header) return nullptr;
  HBITMAP result = nullptr;
  // Colour table: biClrUsed entries, or all of them at 8 bits or fewer;
  // BI_BITFIELDS puts three masks there instead.
  size_t colours = header->biClrUsed         ? header->biClrUsed
                   : header->biBitCount <= 8 ? (size_t(1) << header->biBitCount)
                                             : 0;
  size_t tableBytes = header->biCompression == BI_BITFIELDS ? 12 : colours * sizeof(RGBQUAD);
  LONG height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
  size_t stride = ((size_t(header->biWidth) * header->biBitCount + 31) / 32) * 4;
  size_t offset = header->biSize + tableBytes;
  bool whole = header->biSize >= sizeof(BITMAPINFOHEADER) && header->biWidth > 0 && height > 0 &&
               header->biWidth <= 32768 && height <= 32768 &&
               offset + stride * size_t(height) <= size;
  if (whole) {
    HDC screen = GetDC(nullptr);
    result = CreateCompatibleBitmap(screen, header->biWidth, height);
    if (result &&
        SetDIBits(screen, result, 0, UINT(height), reinterpret_cast<const BYTE*>(header) + offset,
                  reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS) != height) {
      DeleteObject(result);
      result = nullptr;
    }
    ReleaseDC(nullptr, screen);
  }
  GlobalUnlock(global);
  return result;
}

void FreeClipboardData(UINT format, HANDLE data) {
  if (!data) return;
  switch (format) {
    case CF_BITMAP:
      DeleteObject(data);
      break;
    case CF_ENHMETAFILE:
      DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
      break;
    default:
      GlobalFree(data);
  }
}

}  // namespace quellor::win32
