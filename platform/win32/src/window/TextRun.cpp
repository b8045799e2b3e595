#include "TextRun.h"

#include <algorithm>

#include "PixelRows.h"

namespace quellor::win32 {

int MeasureRun(RenderedFont& font, std::string_view text) {
  int width = 0;
  for (char c : text) width += font.Advance(uint8_t(c));
  return width;
}

void DrawRun(DrawTarget& t, RenderedFont& font, int x, int baseline, std::string_view text,
             const RunStyle& style) {
  const TEXTMETRICA& tm = font.Metrics();
  int width = MeasureRun(font, text);
  if (style.opaque) {
    FillLogicalRect(t, RECT{x, baseline - tm.tmAscent, x + width, baseline + tm.tmDescent},
                    style.bkPixel, R2_COPYPEN);
  }
  RECT bounds = t.clip.Bounds();
  int penX = x;
  for (char c : text) {
    const Glyph& g = font.GlyphFor(uint8_t(c));
    if (g.width > 0 && g.height > 0) {
      RECT box = Offset(RECT{penX + g.left, baseline - g.top, penX + g.left + g.width,
                             baseline - g.top + g.height},
                        t.dx, t.dy);
      if (!IsEmpty(Intersect(box, bounds))) {
        for (const RECT& c2 : t.clip.Rects()) {
          RECT i = Intersect(c2, box);
          if (IsEmpty(i)) continue;
          for (LONG y = i.top; y < i.bottom; ++y) {
            const uint8_t* cov =
                g.coverage.data() + size_t(y - box.top) * g.width + (i.left - box.left);
            BlendCoverageRow_C(t.pixels->Row32(int(y)) + i.left, cov, style.textPixel,
                               int(i.right - i.left));
          }
        }
      }
    }
    penX += g.advance;
  }
  if (style.underline) {
    int top = baseline + font.UnderlinePosition();
    FillLogicalRect(t, RECT{x, top, x + width, top + font.UnderlineThickness()}, style.textPixel,
                    R2_COPYPEN);
  }
  if (style.strikeout) {
    int top = baseline - font.StrikeoutPosition();
    FillLogicalRect(t, RECT{x, top, x + width, top + font.UnderlineThickness()}, style.textPixel,
                    R2_COPYPEN);
  }
}

}  // namespace quellor::win32
