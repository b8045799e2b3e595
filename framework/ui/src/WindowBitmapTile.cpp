// WindowBitmap: the aligned draw of the whole picture into a rectangle, each
// copy blended by the picture's alpha.
#include "qlxrapi/Placement.h"
#include "qlxrapi/WindowBitmap.h"
#include "StretchedCopies.h"

namespace {

// A copy of picture at (x, y) in width x height: blended as it is, or
// stretched (halftone) into a picture of that size first.
bool DrawCopy(WindowBitmap* picture, HDC dc, long x, long y, long width, long height) {
  if (width == static_cast<long>(picture->GetWidth()) &&
      height == static_cast<long>(picture->GetHeight()))
    return picture->AlphaBitBlit(dc, x, y);
  if (width <= 0 || height <= 0) return true;
  const auto stretched = quellor::win::StretchedCopy(*picture, width, height);
  return stretched != nullptr && stretched->AlphaBitBlit(dc, x, y);
}

}  // namespace

bool WindowBitmap_AlphaBlend(WindowBitmap* bitmap, HDC dc, RECT& rectangle, long flags,
                             RECT* clip) {
  if (bitmap == nullptr || dc == nullptr) return false;
  if (clip != nullptr) {
    HRGN region = CreateRectRgn(clip->left, clip->top, clip->right, clip->bottom);
    SelectClipRgn(dc, region);
    DeleteObject(region);
  }
  const bool drawn = quellor::win::PlaceInRectangle(
      static_cast<long>(bitmap->GetWidth()), static_cast<long>(bitmap->GetHeight()), rectangle,
      static_cast<unsigned long>(flags),
      [&](long x, long y, long w, long h) { return DrawCopy(bitmap, dc, x, y, w, h); });
  if (clip != nullptr) SelectClipRgn(dc, nullptr);
  return drawn;
}

bool WindowBitmap::BitBlitTile(RECT* rectangle, HDC dc, unsigned long flags) {
  if (rectangle == nullptr) return false;
  return WindowBitmap_AlphaBlend(this, dc, *rectangle, static_cast<long>(flags), nullptr);
}

bool WindowBitmap::BitBlitTile(HWND window, HDC dc, unsigned long flags) {
  RECT client{};
  if (!GetClientRect(window, &client)) return false;
  return BitBlitTile(&client, dc, flags);
}
