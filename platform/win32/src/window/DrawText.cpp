// DrawTextA: formatted text in a rectangle.
#include <algorithm>
#include <cstring>

#include "TextLayout.h"
#include "TextRun.h"
#include "metafile/MetafileRecording.h"
#include "win32/user.h"

using namespace quellor::win32;

extern "C" int WINAPI DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  auto dc = FindDC(hdc);
  if (!dc || !lprc || (!lpchText && cchText != 0)) return 0;
  size_t length = cchText < 0 ? std::strlen(lpchText) : size_t(cchText);
  metafile::RecordDrawText(hdc, std::string_view(lpchText ? lpchText : "", length), *lprc, format);
  auto lock = dc->Lock();
  auto& s = dc->Attributes();
  auto font = s.font->Rendered();
  const TEXTMETRICA& tm = font->Metrics();
  RECT rect = *lprc;
  std::string_view text(lpchText ? lpchText : "", length);
  std::vector<TextLine> lines = LayoutText(*font, text, format, int(rect.right - rect.left));
  int lineHeight = int(tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0));
  int total = lineHeight * int(lines.size());
  int widest = 0;
  for (const TextLine& l : lines) widest = std::max(widest, l.width);

  if (format & DT_CALCRECT) {
    // Only the right and bottom edges move; nothing is drawn.
    lprc->right = rect.left + widest;
    lprc->bottom = rect.top + total;
    return total;
  }

  // Vertical placement applies to single lines only, as on Windows.
  int top = int(rect.top);
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) {
      top = int(rect.top) + (int(rect.bottom - rect.top) - total) / 2;
    } else if (format & DT_BOTTOM) {
      top = int(rect.bottom) - total;
    }
  }
  DrawTarget t;
  if (dc->AcquireTarget(t) && t.pixels->BitsPerPixel() == 32) {
    if (!(format & DT_NOCLIP)) {
      RECT clip = Offset(rect, t.dx, t.dy);
      t.clip = t.clip.Intersected(clip);
    }
    RunStyle style;
    style.textPixel = ColorRefToPixel(s.textColor);
    style.opaque = s.bkMode == OPAQUE;
    style.bkPixel = ColorRefToPixel(s.bkColor);
    style.underline = s.font->logFont.lfUnderline != 0;
    style.strikeout = s.font->logFont.lfStrikeOut != 0;
    int y = top;
    for (const TextLine& line : lines) {
      int x = int(rect.left);
      if (format & DT_CENTER) {
        x = int(rect.left) + (int(rect.right - rect.left) - line.width) / 2;
      } else if (format & DT_RIGHT) {
        x = int(rect.right) - line.width;
      }
      int baseline = y + int(tm.tmAscent);
      for (const TextPiece& piece : line.pieces) {
        DrawRun(t, *font, x + piece.x, baseline, piece.text, style);
      }
      for (const auto& [markX, markWidth] : line.prefixMarks) {
        int markTop = baseline + font->UnderlinePosition();
        RECT mark{x + markX, markTop, x + markX + markWidth, markTop + font->UnderlineThickness()};
        FillLogicalRect(t, mark, style.textPixel, R2_COPYPEN);
      }
      y += lineHeight;
    }
  }
  if (format & (DT_VCENTER | DT_BOTTOM)) return top - int(rect.top) + total;
  return total;
}
