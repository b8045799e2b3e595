// "EDIT", single line: typing, a caret, a selection made with Shift and the
// arrows or EM_SETSEL, and EN_CHANGE after every change of the text.
#include <algorithm>

#include "ControlSupport.h"

namespace quellor::win32 {
namespace {

constexpr int kMargin = 3;  // pixels between the frame and the text

struct EditState {
  size_t caret = 0;
  size_t anchor = 0;  // the other end of the selection
  size_t limit = 30000;
  bool focused = false;
  HFONT font = nullptr;
};

size_t SelStart(const EditState& s) {
  return std::min(s.caret, s.anchor);
}
size_t SelEnd(const EditState& s) {
  return std::max(s.caret, s.anchor);
}

DWORD StyleOf(HWND hwnd) {
  return DWORD(GetWindowLongA(hwnd, GWL_STYLE));
}

// Stores new text through the default handler, keeps the caret in range,
// repaints and tells the parent.
void ChangeText(HWND hwnd, EditState& s, const std::string& text, size_t caret) {
  DefWindowProcA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  s.caret = s.anchor = std::min(caret, text.size());
  InvalidateRect(hwnd, nullptr, TRUE);
  NotifyParent(hwnd, EN_UPDATE);
  NotifyParent(hwnd, EN_CHANGE);
}

void ReplaceSelection(HWND hwnd, EditState& s, const std::string& insert) {
  std::string text = WindowText(hwnd);
  size_t a = std::min(SelStart(s), text.size()), b = std::min(SelEnd(s), text.size());
  std::string kept =
      insert.substr(0, std::min(insert.size(), s.limit - std::min(s.limit, text.size() - (b - a))));
  if (kept.size() < insert.size()) NotifyParent(hwnd, EN_MAXTEXT);
  if (kept.empty() && a == b) return;
  text.replace(a, b - a, kept);
  ChangeText(hwnd, s, text, a + kept.size());
}

int TextWidth(HDC hdc, const std::string& text, size_t n) {
  SIZE size{0, 0};
  GetTextExtentPoint32A(hdc, text.c_str(), int(std::min(n, text.size())), &size);
  return size.cx;
}

size_t CharAt(HWND hwnd, EditState& s, int x) {
  std::string text = WindowText(hwnd);
  HDC hdc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(hdc, ControlFont(s.font));
  size_t best = 0;
  int bestDistance = 1 << 30;
  for (size_t i = 0; i <= text.size(); ++i) {
    int d = std::abs(kMargin + TextWidth(hdc, text, i) - x);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  SelectObject(hdc, old);
  ReleaseDC(hwnd, hdc);
  return best;
}

void Paint(HWND hwnd, EditState& s) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  DWORD style = StyleOf(hwnd);
  bool enabled = !(style & WS_DISABLED);
  FillSolid(hdc, r, GetSysColor(enabled && !(style & ES_READONLY) ? COLOR_WINDOW : COLOR_BTNFACE));
  if ((style & WS_BORDER) || (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
    DrawEdge3d(hdc, r, false);
  std::string text = WindowText(hwnd);
  HGDIOBJ oldFont = SelectObject(hdc, ControlFont(s.font));
  TEXTMETRICA tm{};
  GetTextMetricsA(hdc, &tm);
  int y = (r.top + r.bottom - tm.tmHeight) / 2;
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  TextOutA(hdc, kMargin, y, text.c_str(), int(text.size()));
  if (s.focused && SelStart(s) != SelEnd(s)) {
    int x0 = kMargin + TextWidth(hdc, text, SelStart(s)),
        x1 = kMargin + TextWidth(hdc, text, SelEnd(s));
    FillSolid(hdc, RECT{x0, y, x1, y + tm.tmHeight}, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    std::string part = text.substr(SelStart(s), SelEnd(s) - SelStart(s));
    TextOutA(hdc, x0, y, part.c_str(), int(part.size()));
  }
  if (s.focused) {
    int x = kMargin + TextWidth(hdc, text, s.caret);
    FillSolid(hdc, RECT{x, y, x + 1, y + tm.tmHeight}, GetSysColor(COLOR_WINDOWTEXT));
  }
  SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

void MoveCaret(HWND hwnd, EditState& s, size_t to, bool extend) {
  s.caret = to;
  if (!extend) s.anchor = to;
  InvalidateRect(hwnd, nullptr, TRUE);
}

void KeyDown(HWND hwnd, EditState& s, WPARAM key) {
  std::string text = WindowText(hwnd);
  bool shift = GetKeyState(VK_SHIFT) < 0;
  bool readOnly = StyleOf(hwnd) & ES_READONLY;
  switch (key) {
    case VK_LEFT:
      MoveCaret(hwnd, s, s.caret > 0 ? s.caret - 1 : 0, shift);
      break;
    case VK_RIGHT:
      MoveCaret(hwnd, s, std::min(s.caret + 1, text.size()), shift);
      break;
    case VK_HOME:
      MoveCaret(hwnd, s, 0, shift);
      break;
    case VK_END:
      MoveCaret(hwnd, s, text.size(), shift);
      break;
    case VK_DELETE:
      if (readOnly) break;
      if (SelStart(s) == SelEnd(s)) {
        if (s.caret >= text.size()) break;
        s.anchor = s.caret + 1;
      }
      ReplaceSelection(hwnd, s, "");
      break;
  }
}

void Char(HWND hwnd, EditState& s, WPARAM ch) {
  DWORD style = StyleOf(hwnd);
  if (style & ES_READONLY) return;
  if (ch == VK_BACK) {
    if (SelStart(s) == SelEnd(s)) {
      if (s.caret == 0) return;
      s.anchor = s.caret - 1;
    }
    ReplaceSelection(hwnd, s, "");
    return;
  }
  if (ch < 0x20 || ch > 0xFF) return;  // control characters are not text here
  if ((style & ES_NUMBER) && (ch < '0' || ch > '9')) {
    MessageBeep(0);
    return;
  }
  ReplaceSelection(hwnd, s, std::string(1, char(ch)));
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* s = TrackControlState<EditState>(hwnd, msg);
  if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT:
      Paint(hwnd, *s);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFONT:
    case WM_GETFONT:
      return FontMessage(hwnd, s->font, msg, wParam, lParam);
    case WM_SETTEXT: {
      // Single-line edits report a text set from outside as a change too.
      std::string text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      ChangeText(hwnd, *s, text.substr(0, s->limit), 0);
      return TRUE;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      MoveCaret(hwnd, *s, CharAt(hwnd, *s, GET_X_LPARAM(lParam)), GetKeyState(VK_SHIFT) < 0);
      SetCapture(hwnd);
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == hwnd) MoveCaret(hwnd, *s, CharAt(hwnd, *s, GET_X_LPARAM(lParam)), true);
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    case WM_KEYDOWN:
      KeyDown(hwnd, *s, wParam);
      return 0;
    case WM_CHAR:
      Char(hwnd, *s, wParam);
      return 0;
    case WM_SETFOCUS:
      s->focused = true;
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyParent(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->focused = false;
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyParent(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case EM_GETSEL: {
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = DWORD(SelStart(*s));
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = DWORD(SelEnd(*s));
      return MAKELRESULT(WORD(SelStart(*s)), WORD(SelEnd(*s)));
    }
    case EM_SETSEL: {
      // -1 as start removes the selection; a negative end means the end.
      size_t length = WindowText(hwnd).size();
      LONG from = LONG(wParam), to = LONG(lParam);
      if (from < 0) {
        s->anchor = s->caret;
      } else {
        s->anchor = std::min(size_t(from), length);
        s->caret = to < 0 ? length : std::min(size_t(to), length);
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case EM_REPLACESEL:
      ReplaceSelection(hwnd, *s, lParam ? reinterpret_cast<const char*>(lParam) : "");
      return 0;
    case EM_LIMITTEXT:
      s->limit = wParam ? size_t(wParam) : 0x7FFFFFFE;
      return 0;
    case EM_SETREADONLY: {
      LONG style = GetWindowLongA(hwnd, GWL_STYLE);
      SetWindowLongA(hwnd, GWL_STYLE,
                     wParam ? style | LONG(ES_READONLY) : style & ~LONG(ES_READONLY));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterEditClass() {
  RegisterControlClass("EDIT", EditProc, CS_DBLCLKS | CS_PARENTDC, LoadCursorA(nullptr, IDC_IBEAM));
}

}  // namespace quellor::win32
