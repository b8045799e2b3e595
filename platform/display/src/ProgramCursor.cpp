#include "ProgramCursor.h"

#include <X11/Xutil.h>
#ifdef QUELLOR_HAVE_XRENDER
#include <X11/extensions/Xrender.h>
#endif

#include <algorithm>

#include "IconPixels.h"

namespace quellor::display {

// DrawIcon blends by alpha; drawn once on black and once on white, the
// difference of the two gives the alpha back (white - black = 255 - alpha)
// and the drawing on black the colour times alpha.
std::vector<uint32_t> CursorPicture(HCURSOR cursor, int side) {
  const std::vector<uint32_t> onBlack = IconOnBackground(cursor, side, 0x000000);
  const std::vector<uint32_t> onWhite = IconOnBackground(cursor, side, 0xFFFFFF);
  if (onBlack.empty() || onWhite.size() != onBlack.size()) return {};
  std::vector<uint32_t> out(onBlack.size(), 0);
  for (size_t i = 0; i < out.size(); ++i) {
    const uint32_t black = onBlack[i], white = onWhite[i];
    int alpha = 255;
    for (int shift = 0; shift < 24; shift += 8)
      alpha = std::min(alpha, 255 - (int((white >> shift) & 0xFF) - int((black >> shift) & 0xFF)));
    alpha = std::clamp(alpha, 0, 255);
    if (alpha == 0) continue;
    uint32_t pixel = uint32_t(alpha) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
      const int premultiplied = int((black >> shift) & 0xFF);
      pixel |= uint32_t(std::min(255, (premultiplied * 255 + alpha / 2) / alpha)) << shift;
    }
    out[i] = pixel;
  }
  return out;
}

namespace {

#ifdef QUELLOR_HAVE_XRENDER
Cursor RenderCursor(Display* display, const std::vector<uint32_t>& argb, int side) {
  int eventBase = 0, errorBase = 0;
  if (!XRenderQueryExtension(display, &eventBase, &errorBase)) return 0;
  XRenderPictFormat* format = XRenderFindStandardFormat(display, PictStandardARGB32);
  if (!format) return 0;
  // RENDER wants premultiplied alpha.
  std::vector<uint32_t> premultiplied(argb.size());
  for (size_t i = 0; i < argb.size(); ++i) {
    const uint32_t a = argb[i] >> 24;
    uint32_t pixel = a << 24;
    for (int shift = 0; shift < 24; shift += 8)
      pixel |= (((argb[i] >> shift) & 0xFF) * a + 127) / 255 << shift;
    premultiplied[i] = pixel;
  }
  const Window root = DefaultRootWindow(display);
  Pixmap pixmap = XCreatePixmap(display, root, unsigned(side), unsigned(side), 32);
  XImage* image =
      XCreateImage(display, nullptr, 32, ZPixmap, 0, reinterpret_cast<char*>(premultiplied.data()),
                   unsigned(side), unsigned(side), 32, side * 4);
  if (!image) {
    XFreePixmap(display, pixmap);
    return 0;
  }
  GC gc = XCreateGC(display, pixmap, 0, nullptr);
  XPutImage(display, pixmap, gc, image, 0, 0, 0, 0, unsigned(side), unsigned(side));
  image->data = nullptr;  // the vector owns the pixels
  XDestroyImage(image);
  XFreeGC(display, gc);
  Picture picture = XRenderCreatePicture(display, pixmap, format, 0, nullptr);
  const Cursor cursor = XRenderCreateCursor(display, picture, 0, 0);
  XRenderFreePicture(display, picture);
  XFreePixmap(display, pixmap);
  return cursor;
}
#endif

// Two colours: black and white by brightness, shown where alpha is at least
// half.
Cursor BitmapCursor(Display* display, const std::vector<uint32_t>& argb, int side) {
  const int rowBytes = (side + 7) / 8;
  std::vector<char> shape(size_t(rowBytes) * size_t(side), 0);
  std::vector<char> mask(shape.size(), 0);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const uint32_t pixel = argb[size_t(y) * size_t(side) + size_t(x)];
      if ((pixel >> 24) < 128) continue;
      const int bright = int((pixel >> 16) & 0xFF) * 3 + int((pixel >> 8) & 0xFF) * 6 +
                         int(pixel & 0xFF);  // times ten
      const size_t at = size_t(y) * size_t(rowBytes) + size_t(x / 8);
      mask[at] = char(mask[at] | (1 << (x % 8)));
      if (bright >= 1280) shape[at] = char(shape[at] | (1 << (x % 8)));  // white
    }
  const Window root = DefaultRootWindow(display);
  Pixmap source =
      XCreateBitmapFromData(display, root, shape.data(), unsigned(side), unsigned(side));
  Pixmap maskMap =
      XCreateBitmapFromData(display, root, mask.data(), unsigned(side), unsigned(side));
  XColor white{}, black{};
  white.red = white.green = white.blue = 0xFFFF;
  white.flags = black.flags = DoRed | DoGreen | DoBlue;
  const Cursor cursor = XCreatePixmapCursor(display, source, maskMap, &white, &black, 0, 0);
  XFreePixmap(display, source);
  XFreePixmap(display, maskMap);
  return cursor;
}

}  // namespace

Cursor MakeProgramCursor(Display* display, HCURSOR cursor, bool fullColour) {
  const int side = std::max(16, GetSystemMetrics(SM_CXCURSOR));
  const std::vector<uint32_t> argb = CursorPicture(cursor, side);
  if (argb.empty()) return 0;
#ifdef QUELLOR_HAVE_XRENDER
  if (fullColour)
    if (const Cursor made = RenderCursor(display, argb, side)) return made;
#else
  (void)fullColour;
#endif
  return BitmapCursor(display, argb, side);
}

}  // namespace quellor::display
