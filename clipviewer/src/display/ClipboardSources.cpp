#include "display/ClipboardSources.h"

#include <cstdlib>
#include <cstring>

#include "win32/metafile.h"

namespace quellor::clipviewer {
namespace {

RECT WholePicture(const PictureBuffer& picture) {
  return RECT{0, 0, picture.Width(), picture.Height()};
}

void Note(const char* text) {
  OutputDebugStringA(text);
}

}  // namespace

bool ReadBitmap(HBITMAP bitmap, std::unique_ptr<PictureBuffer>& temporary, int& width,
                int& height) {
  BITMAP description = {};
  if (bitmap == nullptr || GetObjectA(bitmap, sizeof description, &description) == 0) return false;
  width = description.bmWidth;
  height = std::abs(description.bmHeight);
  if (width <= 0 || height <= 0) {
    Note("clipviewer: the clipboard's bitmap has no pixels; the output keeps its frame\n");
    return false;
  }
  if (width > kMaxPictureSide || height > kMaxPictureSide) {
    Note(
        "clipviewer: the clipboard's bitmap is larger than 16384 pixels on a side; the output "
        "keeps its frame\n");
    return false;
  }
  if (!temporary || temporary->Width() != RoundedPictureWidth(width) ||
      temporary->Height() != height) {
    temporary.reset();  // the old one goes before the new one is made
    temporary = std::make_unique<PictureBuffer>(width, height);
  }
  BITMAPINFO info = {};
  info.bmiHeader = temporary->Header();
  const int lines = GetDIBits(temporary->Dc(), bitmap, 0, static_cast<UINT>(height),
                              temporary->Bits(), &info, DIB_RGB_COLORS);
  return lines > 0;
}

bool DrawMetafile(HENHMETAFILE metafile, PictureBuffer& picture) {
  picture.Clear();
  if (metafile == nullptr) return false;
  const RECT frame = WholePicture(picture);
  PlayEnhMetaFile(picture.Dc(), metafile, &frame);
  return true;
}

bool DrawClipboardText(HANDLE textMemory, PictureBuffer& picture) {
  picture.Clear();
  if (textMemory == nullptr) return false;
  const char* text = static_cast<const char*>(GlobalLock(textMemory));
  if (text == nullptr) return false;
  // Text put there by another program need not end inside its block.
  std::size_t limit = GlobalSize(textMemory);
  if (limit > kMaxClipboardText) limit = kMaxClipboardText;
  const int length = static_cast<int>(strnlen(text, limit));

  HDC dc = picture.Dc();
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  const UINT format = DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
  // DrawText centres only single lines vertically: measure the wrapped text
  // and move its rectangle to the middle of the frame.
  RECT measured = WholePicture(picture);
  DrawTextA(dc, text, length, &measured, format | DT_CALCRECT);
  RECT target = WholePicture(picture);
  const int textHeight = measured.bottom - measured.top;
  target.top = (picture.Height() - textHeight) / 2;
  target.bottom = target.top + textHeight;
  DrawTextA(dc, text, length, &target, format);
  GlobalUnlock(textMemory);
  return true;
}

}  // namespace quellor::clipviewer
