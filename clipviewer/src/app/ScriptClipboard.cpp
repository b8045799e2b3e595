#include "app/ScriptClipboard.h"

#include <png.h>

#include <cstdio>
#include <cstring>

#include "win32/clipboard.h"
#include "win32/metafile.h"

namespace quellor::clipviewer {
namespace {

bool PutOnClipboard(HWND owner, UINT format, HANDLE data) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  const bool put = SetClipboardData(format, data) != nullptr;
  CloseClipboard();
  return put;
}

// A 32-bit top-down DIB section holding the PNG's pixels; null on failure.
HBITMAP ReadPng(const std::string& path) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    std::fprintf(stderr, "clipviewer: script: cannot read \"%s\": %s\n", path.c_str(),
                 image.message);
    return nullptr;
  }
  image.format = PNG_FORMAT_BGRA;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(image.width);
  info.bmiHeader.biHeight = -static_cast<LONG>(image.height);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) {
    png_image_free(&image);
    std::fprintf(stderr, "clipviewer: script: no memory for the %ux%u picture of \"%s\"\n",
                 image.width, image.height, path.c_str());
    return nullptr;
  }
  if (!png_image_finish_read(&image, nullptr, bits, static_cast<png_int_32>(image.width * 4),
                             nullptr)) {
    std::fprintf(stderr, "clipviewer: script: cannot read \"%s\": %s\n", path.c_str(),
                 image.message);
    DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

}  // namespace

bool CopyPngAsBitmap(HWND owner, const std::string& pngPath) {
  HBITMAP bitmap = ReadPng(pngPath);
  if (bitmap == nullptr) return false;
  if (PutOnClipboard(owner, CF_BITMAP, bitmap)) return true;
  DeleteObject(bitmap);
  return false;
}

bool CopyDrawingAsMetafile(HWND owner, const std::string& caption) {
  // Drawn in 640 x 480 units; the picture's frame is what is drawn.
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, "clipviewer script\0drawing\0");
  if (dc == nullptr) return false;
  const RECT whole = {0, 0, 640, 480};
  HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 200));
  HBRUSH red = CreateSolidBrush(RGB(220, 0, 0));
  FillRect(dc, &whole, yellow);
  const RECT inside = {20, 20, 620, 460};
  FillRect(dc, &inside, blue);
  const RECT bar = {20, 380, 620, 440};
  FillRect(dc, &bar, red);
  HPEN white = CreatePen(PS_SOLID, 3, RGB(255, 255, 255));
  HGDIOBJ oldPen = SelectObject(dc, white);
  MoveToEx(dc, 20, 20, nullptr);
  LineTo(dc, 620, 380);
  MoveToEx(dc, 620, 20, nullptr);
  LineTo(dc, 20, 380);
  SelectObject(dc, oldPen);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  RECT text = {20, 180, 620, 220};
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  HENHMETAFILE metafile = CloseEnhMetaFile(dc);
  DeleteObject(white);
  DeleteObject(yellow);
  DeleteObject(blue);
  DeleteObject(red);
  if (metafile == nullptr) return false;
  if (PutOnClipboard(owner, CF_ENHMETAFILE, metafile)) return true;
  DeleteEnhMetaFile(metafile);
  return false;
}

bool CopyText(HWND owner, const std::string& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (memory == nullptr) return false;
  std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  if (PutOnClipboard(owner, CF_TEXT, memory)) return true;
  GlobalFree(memory);
  return false;
}

}  // namespace quellor::clipviewer
