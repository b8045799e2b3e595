// "STATIC": text, rectangles and frames.
#include "ControlSupport.h"

namespace quellor::win32 {
namespace {

struct StaticState {
  HFONT font = nullptr;
};

void Paint(HWND hwnd, StaticState& s) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  DWORD style = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
  switch (style & SS_TYPEMASK) {
    case SS_BLACKRECT:
      FillSolid(hdc, r, GetSysColor(COLOR_WINDOWFRAME));
      break;
    case SS_GRAYRECT:
      FillSolid(hdc, r, GetSysColor(COLOR_BTNSHADOW));
      break;
    case SS_WHITERECT:
      FillSolid(hdc, r, GetSysColor(COLOR_WINDOW));
      break;
    case SS_BLACKFRAME:
      FrameRect(hdc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
      break;
    case SS_GRAYFRAME:
      FrameRect(hdc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
      break;
    case SS_WHITEFRAME:
      FrameRect(hdc, &r, GetSysColorBrush(COLOR_WINDOW));
      break;
    case SS_ETCHEDFRAME:
      DrawEdge3d(hdc, r, false);
      break;
    default: {
      FillSolid(hdc, r, GetSysColor(COLOR_BTNFACE));
      std::string text = WindowText(hwnd);
      HGDIOBJ oldFont = SelectObject(hdc, ControlFont(s.font));
      SetBkMode(hdc, TRANSPARENT);
      SetTextColor(hdc, GetSysColor((style & WS_DISABLED) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
      UINT align = (style & SS_TYPEMASK) == SS_CENTER  ? DT_CENTER
                   : (style & SS_TYPEMASK) == SS_RIGHT ? DT_RIGHT
                                                       : DT_LEFT;
      UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
      DrawTextA(hdc, text.c_str(), -1, &r, align | prefix | DT_WORDBREAK | DT_EXPANDTABS);
      SelectObject(hdc, oldFont);
    }
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* s = TrackControlState<StaticState>(hwnd, msg);
  if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT:
      Paint(hwnd, *s);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_CREATE:
      // Without SS_NOTIFY a static lets clicks through to what lies below.
      if (!(GetWindowLongA(hwnd, GWL_STYLE) & SS_NOTIFY)) {
        SetWindowLongA(hwnd, GWL_EXSTYLE, GetWindowLongA(hwnd, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
      }
      return 0;
    case WM_NCHITTEST:
      // Without SS_NOTIFY a static lets clicks through to its parent.
      if (!(GetWindowLongA(hwnd, GWL_STYLE) & SS_NOTIFY)) return HTTRANSPARENT;
      break;
    case WM_SETFONT:
    case WM_GETFONT:
      return FontMessage(hwnd, s->font, msg, wParam, lParam);
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterStaticClass() {
  RegisterControlClass("STATIC", StaticProc, CS_PARENTDC, LoadCursorA(nullptr, IDC_ARROW));
}

}  // namespace quellor::win32
