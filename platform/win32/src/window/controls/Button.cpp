// "BUTTON": push and default push buttons, check boxes, radio buttons (with
// automatic group behaviour), push-like check buttons and group boxes.
#include <cmath>
#include <vector>

#include "ControlSupport.h"

namespace quellor::win32 {
namespace {

struct ButtonState {
  UINT check = BST_UNCHECKED;
  bool pushed = false;  // held down by the mouse or the space bar
  bool focused = false;
  HFONT font = nullptr;
};

UINT TypeOf(HWND hwnd) {
  return UINT(GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK);
}

bool IsCheckable(UINT type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
         type == BS_3STATE || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

bool IsRadio(UINT type) {
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// The controls of hwnd's group: from the nearest WS_GROUP sibling at or
// before it up to (not including) the next WS_GROUP sibling.
std::vector<HWND> GroupOf(HWND hwnd) {
  HWND parent = GetParent(hwnd);
  std::vector<HWND> siblings;
  for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    siblings.push_back(h);
  size_t self = 0;
  while (self < siblings.size() && siblings[self] != hwnd) ++self;
  size_t first = self;
  while (first > 0 && !(GetWindowLongA(siblings[first], GWL_STYLE) & WS_GROUP)) --first;
  std::vector<HWND> group;
  for (size_t i = first; i < siblings.size(); ++i) {
    if (i > first && (GetWindowLongA(siblings[i], GWL_STYLE) & WS_GROUP)) break;
    group.push_back(siblings[i]);
  }
  return group;
}

void SetCheck(HWND hwnd, ButtonState& s, UINT check) {
  if (s.check == check) return;
  s.check = check;
  InvalidateRect(hwnd, nullptr, TRUE);
}

// What a click does before the parent hears of it.
void Toggle(HWND hwnd, ButtonState& s) {
  switch (TypeOf(hwnd)) {
    case BS_AUTOCHECKBOX:
      SetCheck(hwnd, s, s.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
      break;
    case BS_AUTO3STATE:
      SetCheck(hwnd, s, (s.check + 1) % 3);
      break;
    case BS_AUTORADIOBUTTON:
      for (HWND other : GroupOf(hwnd)) {
        if (other != hwnd && (TypeOf(other) == BS_AUTORADIOBUTTON))
          SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
      }
      SetCheck(hwnd, s, BST_CHECKED);
      break;
  }
}

void Click(HWND hwnd, ButtonState& s) {
  Toggle(hwnd, s);
  NotifyParent(hwnd, BN_CLICKED);
}

LONG Height(const RECT& r) {
  return r.bottom - r.top;
}

// A round radio button: a white disc with a shadowed rim, and a dot when
// checked.
void DrawRadio(HDC hdc, RECT box, bool checked) {
  double cx = (box.left + box.right - 1) / 2.0, cy = (box.top + box.bottom - 1) / 2.0;
  double radius = (box.right - box.left) / 2.0;
  COLORREF white = GetSysColor(COLOR_WINDOW), rimDark = GetSysColor(COLOR_BTNSHADOW),
           rimLight = GetSysColor(COLOR_BTNHIGHLIGHT), ink = GetSysColor(COLOR_WINDOWTEXT);
  for (LONG y = box.top; y < box.bottom; ++y) {
    for (LONG x = box.left; x < box.right; ++x) {
      double d = std::hypot(x - cx, y - cy);
      if (d > radius) continue;
      COLORREF c = white;
      if (d > radius - 1.5)
        c = (x - cx) + (y - cy) < 0 ? rimDark : rimLight;
      else if (checked && d <= radius / 2.5)
        c = ink;
      SetPixel(hdc, x, y, c);
    }
  }
}

void DrawCheckBox(HDC hdc, RECT box, UINT check, bool radio) {
  if (radio) {
    DrawRadio(hdc, box, check != BST_UNCHECKED);
    return;
  }
  FillSolid(hdc, box, GetSysColor(COLOR_WINDOW));
  DrawEdge3d(hdc, box, false);
  if (!check) return;
  COLORREF ink = GetSysColor(check == BST_INDETERMINATE ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
  HPEN pen = CreatePen(PS_SOLID, 2, ink);
  HGDIOBJ old = SelectObject(hdc, pen);
  MoveToEx(hdc, box.left + 3, box.top + 6, nullptr);
  LineTo(hdc, box.left + 5, box.top + 9);
  LineTo(hdc, box.left + 10, box.top + 3);
  SelectObject(hdc, old);
  DeleteObject(pen);
}

void Paint(HWND hwnd, ButtonState& s) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  DWORD style = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
  UINT type = style & BS_TYPEMASK;
  bool enabled = !(style & WS_DISABLED);
  std::string text = WindowText(hwnd);
  HGDIOBJ oldFont = SelectObject(hdc, ControlFont(s.font));
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  FillSolid(hdc, r, GetSysColor(COLOR_BTNFACE));
  bool pushLike = (style & BS_PUSHLIKE) && IsCheckable(type);
  if (type == BS_GROUPBOX) {
    SIZE extent{0, 0};
    GetTextExtentPoint32A(hdc, text.c_str(), int(text.size()), &extent);
    RECT frame{r.left, r.top + extent.cy / 2, r.right, r.bottom};
    DrawEdge3d(hdc, frame, false);
    RECT label{r.left + 8, r.top, r.left + 12 + extent.cx, r.top + extent.cy};
    FillSolid(hdc, label, GetSysColor(COLOR_BTNFACE));
    label.left += 2;
    DrawTextA(hdc, text.c_str(), -1, &label, DT_LEFT | DT_TOP | DT_SINGLELINE);
  } else if (IsCheckable(type) && !pushLike) {
    int side = 13;
    RECT box{r.left, (r.top + r.bottom - side) / 2, r.left + side, (r.top + r.bottom + side) / 2};
    DrawCheckBox(hdc, box, s.check, IsRadio(type));
    RECT label{r.left + side + 4, r.top, r.right, r.bottom};
    DrawTextA(hdc, text.c_str(), -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (s.focused) {
      RECT calc = label;
      DrawTextA(hdc, text.c_str(), -1, &calc, DT_CALCRECT | DT_SINGLELINE);
      OffsetRect(&calc, 0, (Height(label) - Height(calc)) / 2);
      InflateRect(&calc, 1, 1);
      DrawFocusFrame(hdc, calc);
    }
  } else {
    bool down = s.pushed || (pushLike && s.check == BST_CHECKED);
    RECT face = r;
    if (type == BS_DEFPUSHBUTTON) {
      FrameRect(hdc, &face, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      InflateRect(&face, -1, -1);
    }
    DrawEdge3d(hdc, face, !down);
    RECT label = face;
    if (down) OffsetRect(&label, 1, 1);
    DrawTextA(hdc, text.c_str(), -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (s.focused) {
      InflateRect(&face, -4, -4);
      DrawFocusFrame(hdc, face);
    }
  }
  SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* s = TrackControlState<ButtonState>(hwnd, msg);
  if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
  UINT type = TypeOf(hwnd);
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
      LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE:
      if (type == BS_GROUPBOX) return DLGC_STATIC;
      if (IsRadio(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
      if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      if (type == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      return DLGC_BUTTON;
    case WM_CREATE:
      // Clicks on a group box reach the controls inside it.
      if (type == BS_GROUPBOX) {
        SetWindowLongA(hwnd, GWL_EXSTYLE, GetWindowLongA(hwnd, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
      }
      return 0;
    case WM_NCHITTEST:
      if (type == BS_GROUPBOX) return HTTRANSPARENT;
      break;
    case WM_LBUTTONDBLCLK:
      // Radio buttons and BS_NOTIFY buttons tell the parent of a double
      // click; the others take it as a second press.
      if (IsRadio(type) || (GetWindowLongA(hwnd, GWL_STYLE) & BS_NOTIFY)) {
        NotifyParent(hwnd, BN_DBLCLK);
        return 0;
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      if (type == BS_GROUPBOX) return 0;
      SetFocus(hwnd);
      SetCapture(hwnd);
      s->pushed = true;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP: {
      if (!s->pushed) return 0;
      s->pushed = false;
      ReleaseCapture();
      InvalidateRect(hwnd, nullptr, TRUE);
      RECT r;
      GetClientRect(hwnd, &r);
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (PtInRect(&r, p)) Click(hwnd, *s);  // released over the button: a click
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (s->pushed && reinterpret_cast<HWND>(lParam) != hwnd) {
        s->pushed = false;
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && type != BS_GROUPBOX) {
        s->pushed = true;
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && s->pushed) {
        s->pushed = false;
        InvalidateRect(hwnd, nullptr, TRUE);
        Click(hwnd, *s);
      }
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      s->focused = msg == WM_SETFOCUS;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case BM_GETCHECK:
      return IsCheckable(type) ? s->check : BST_UNCHECKED;
    case BM_SETCHECK:
      if (IsCheckable(type))
        SetCheck(hwnd, *s, UINT(wParam) > BST_INDETERMINATE ? BST_CHECKED : UINT(wParam));
      return 0;
    case BM_GETSTATE:
      return s->check | (s->pushed ? BST_PUSHED : 0) | (s->focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
      s->pushed = wParam != 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case BM_SETSTYLE: {
      LONG style = GetWindowLongA(hwnd, GWL_STYLE);
      SetWindowLongA(hwnd, GWL_STYLE, (style & ~LONG(BS_TYPEMASK)) | LONG(wParam & BS_TYPEMASK));
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case BM_CLICK:
      Click(hwnd, *s);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterButtonClass() {
  RegisterControlClass("BUTTON", ButtonProc, CS_DBLCLKS | CS_PARENTDC,
                       LoadCursorA(nullptr, IDC_ARROW));
}

}  // namespace quellor::win32
