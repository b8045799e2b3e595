#include "FontWarmUp.h"

#include "windows.h"

namespace quellor::display {

void WarmFontConfiguration() {
  // A new device context holds the stock font that text is drawn in unless
  // a program picks another; measuring a text realises it.
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return;
  SIZE size{};
  GetTextExtentPoint32A(dc, "Ag", 2, &size);
  DeleteDC(dc);
}

}  // namespace quellor::display
