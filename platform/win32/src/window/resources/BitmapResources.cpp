// LoadBitmapA and LoadImageA for bitmaps: a new 32-bit bitmap holding the
// pixels of a registered bitmap resource.
#include <cstring>

#include "ResourceRegistry.h"
#include "win32/errors.h"
#include "win32/gdi.h"
#include "win32/kernel.h"
#include "win32/user.h"

#ifndef ERROR_RESOURCE_NAME_NOT_FOUND
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#endif

using namespace quellor::win32;

namespace {

HBITMAP MakeBitmap(const PixelTemplate& picture, bool dibSection) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() != size_t(picture.width) * size_t(picture.height)) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  BITMAPINFO bmi{};
  bmi.bmiHeader = BITMAPINFOHEADER{
      sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap;
  if (dibSection) {
    void* bits = nullptr;
    bitmap = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) std::memcpy(bits, picture.pixels.data(), picture.pixels.size() * 4);
  } else {
    bitmap = CreateCompatibleBitmap(screen, picture.width, picture.height);
    if (bitmap) {
      SetDIBits(screen, bitmap, 0, UINT(picture.height), picture.pixels.data(), &bmi,
                DIB_RGB_COLORS);
    }
  }
  ReleaseDC(nullptr, screen);
  return bitmap;
}

}  // namespace

extern "C" {

HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName) {
  auto picture = FindPixelResource(ResourceKind::Bitmap, hInstance, lpBitmapName);
  if (!picture) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return MakeBitmap(*picture, false);
}

HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int, int, UINT fuLoad) {
  if (type == IMAGE_ICON) return LoadIconA(hInst, name);
  if (type != IMAGE_BITMAP) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto picture = FindPixelResource(ResourceKind::Bitmap, hInst, name);
  if (!picture) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return MakeBitmap(*picture, (fuLoad & LR_CREATEDIBSECTION) != 0);
}

}  // extern "C"
