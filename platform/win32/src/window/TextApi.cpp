// Fonts and single-line text output.
#include <cstring>

#include "TextRun.h"
#include "metafile/MetafileRecording.h"
#include "win32/errors.h"
#include "win32/kernel.h"

using namespace quellor::win32;

namespace {

std::shared_ptr<RenderedFont> FontOf(DeviceContext& dc) {
  return dc.Attributes().font->Rendered();
}

int Length(LPCSTR text, int c) {
  if (!text) return 0;
  return c < 0 ? int(std::strlen(text)) : c;
}

}  // namespace

extern "C" {

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
  if (!lplf) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  LOGFONTA lf = *lplf;
  lf.lfFaceName[LF_FACESIZE - 1] = '\0';
  return static_cast<HFONT>(GdiTable::Add(std::make_shared<FontObject>(lf)));
}

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                         DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                         DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality,
                         DWORD iPitchAndFamily, LPCSTR pszFaceName) {
  LOGFONTA lf{};
  lf.lfHeight = cHeight;
  lf.lfWidth = cWidth;
  lf.lfEscapement = cEscapement;
  lf.lfOrientation = cOrientation;
  lf.lfWeight = cWeight;
  lf.lfItalic = bItalic ? 1 : 0;
  lf.lfUnderline = bUnderline ? 1 : 0;
  lf.lfStrikeOut = bStrikeOut ? 1 : 0;
  lf.lfCharSet = BYTE(iCharSet);
  lf.lfOutPrecision = BYTE(iOutPrecision);
  lf.lfClipPrecision = BYTE(iClipPrecision);
  lf.lfQuality = BYTE(iQuality);
  lf.lfPitchAndFamily = BYTE(iPitchAndFamily);
  if (pszFaceName) std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
  auto dc = FindDC(hdc);
  if (!dc || !lptm) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto lock = dc->Lock();
  *lptm = FontOf(*dc)->Metrics();
  return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  auto dc = FindDC(hdc);
  if (!dc || !psizl || (c > 0 && !lpString) || c < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto lock = dc->Lock();
  auto font = FontOf(*dc);
  psizl->cx = MeasureRun(*font, std::string_view(lpString ? lpString : "", size_t(c)));
  psizl->cy = font->Metrics().tmHeight;
  return TRUE;
}

int WINAPI GetTextFaceA(HDC hdc, int c, LPSTR lpName) {
  auto dc = FindDC(hdc);
  if (!dc) return 0;
  auto lock = dc->Lock();
  const char* name = dc->Attributes().font->logFont.lfFaceName;
  int length = int(strnlen(name, LF_FACESIZE));
  if (!lpName) return length + 1;
  if (c <= 0) return 0;
  int n = std::min(length, c - 1);
  std::memcpy(lpName, name, size_t(n));
  lpName[n] = '\0';
  return n;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  auto dc = FindDC(hdc);
  if (!dc || c < 0 || (c > 0 && !lpString)) return FALSE;
  int n = Length(lpString, c);
  std::string_view text(lpString ? lpString : "", size_t(n));
  metafile::RecordTextOut(hdc, x, y, text);
  auto lock = dc->Lock();
  auto& s = dc->Attributes();
  auto font = FontOf(*dc);
  int width = MeasureRun(*font, text);
  const TEXTMETRICA& tm = font->Metrics();
  bool updateCp = (s.textAlign & TA_UPDATECP) != 0;
  if (updateCp) {
    x = s.position.x;
    y = s.position.y;
  }
  // Horizontal and vertical reference point of the text.
  UINT horizontal = s.textAlign & (TA_CENTER | TA_RIGHT);
  int left = horizontal == TA_CENTER ? x - width / 2 : horizontal == TA_RIGHT ? x - width : x;
  UINT vertical = s.textAlign & TA_BASELINE;
  int baseline = vertical == TA_BASELINE ? y
                 : vertical == TA_BOTTOM ? y - tm.tmDescent
                                         : y + tm.tmAscent;
  if (updateCp) s.position.x = horizontal == TA_RIGHT ? left : left + width;
  DrawTarget t;
  if (!dc->AcquireTarget(t)) return FALSE;
  if (t.pixels->BitsPerPixel() != 32) return FALSE;
  RunStyle style;
  style.textPixel = ColorRefToPixel(s.textColor);
  style.opaque = s.bkMode == OPAQUE;
  style.bkPixel = ColorRefToPixel(s.bkColor);
  style.underline = s.font->logFont.lfUnderline != 0;
  style.strikeout = s.font->logFont.lfStrikeOut != 0;
  DrawRun(t, *font, left, baseline, text, style);
  return TRUE;
}

}  // extern "C"
