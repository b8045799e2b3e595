// "COMBOBOX" as a drop-down list: a field showing the selected string and a
// button; a click drops a list below it (a popup "LISTBOX" window) in which a
// click chooses, and a click elsewhere closes it. Up and Down change the
// selection while it is closed. CBN_SELCHANGE follows every choice by the user.
#include <algorithm>
#include <utility>
#include <cstring>
#include <vector>

#include "ControlSupport.h"

namespace quellor::win32 {
namespace {

constexpr int kButtonWidth = 16;  // pixels
constexpr int kMostRowsShown = 8;

struct ComboState {
  std::vector<std::string> items;
  int selected = -1;
  HWND list = nullptr;  // the dropped list, while open
  HFONT font = nullptr;
  bool focused = false;
};

int RowHeight(HWND hwnd, ComboState& s) {
  HDC hdc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(hdc, ControlFont(s.font));
  TEXTMETRICA tm{};
  GetTextMetricsA(hdc, &tm);
  SelectObject(hdc, old);
  ReleaseDC(hwnd, hdc);
  return std::max<int>(tm.tmHeight + 2, 8);
}

void Select(HWND hwnd, ComboState& s, int index, bool byUser) {
  if (index < -1 || index >= int(s.items.size())) index = -1;
  bool changed = index != s.selected;
  s.selected = index;
  DefWindowProcA(hwnd, WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(index >= 0 ? s.items[size_t(index)].c_str() : ""));
  InvalidateRect(hwnd, nullptr, TRUE);
  if (changed && byUser) NotifyParent(hwnd, CBN_SELCHANGE);
}

void CloseList(HWND hwnd, ComboState& s) {
  if (!s.list) return;
  HWND list = std::exchange(s.list, nullptr);
  if (GetCapture() == hwnd) ReleaseCapture();
  DestroyWindow(list);
  NotifyParent(hwnd, CBN_CLOSEUP);
}

void OpenList(HWND hwnd, ComboState& s) {
  if (s.list) return;
  NotifyParent(hwnd, CBN_DROPDOWN);
  RECT r;
  GetWindowRect(hwnd, &r);
  int rows = std::clamp(int(s.items.size()), 1, kMostRowsShown);
  s.list = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "LISTBOX", "", WS_POPUP, r.left,
                           r.bottom, r.right - r.left, rows * RowHeight(hwnd, s) + 4, hwnd, nullptr,
                           nullptr, nullptr);
  if (!s.list) return;
  SendMessageA(s.list, WM_SETFONT, reinterpret_cast<WPARAM>(s.font), FALSE);
  for (const std::string& item : s.items)
    SendMessageA(s.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageA(s.list, LB_SETCURSEL, WPARAM(s.selected), 0);
  ShowWindow(s.list, SW_SHOWNOACTIVATE);
  SetCapture(hwnd);  // the combo box sees every click while the list is down
}

// A click while the list is down: in the list chooses, anywhere else closes.
void ClickWhileOpen(HWND hwnd, ComboState& s, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(hwnd, &p);
  RECT lr;
  GetWindowRect(s.list, &lr);
  if (PtInRect(&lr, p)) {
    int top = int(SendMessageA(s.list, LB_GETTOPINDEX, 0, 0));
    int row = top + (p.y - lr.top - 2) / RowHeight(hwnd, s);
    if (row >= 0 && row < int(s.items.size())) {
      CloseList(hwnd, s);
      Select(hwnd, s, row, true);
      return;
    }
  }
  CloseList(hwnd, s);
}

void Paint(HWND hwnd, ComboState& s) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  bool enabled = !(GetWindowLongA(hwnd, GWL_STYLE) & WS_DISABLED);
  FillSolid(hdc, r, GetSysColor(COLOR_WINDOW));
  DrawEdge3d(hdc, r, false);
  RECT button{r.right - 2 - kButtonWidth, r.top + 2, r.right - 2, r.bottom - 2};
  FillSolid(hdc, button, GetSysColor(COLOR_BTNFACE));
  DrawEdge3d(hdc, button, true);
  int cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
  for (int i = 0; i < 4; ++i)
    FillSolid(hdc, RECT{cx - 3 + i, cy - 1 + i, cx + 4 - i, cy + i}, GetSysColor(COLOR_BTNTEXT));
  RECT field{r.left + 2, r.top + 2, button.left, r.bottom - 2};
  HGDIOBJ oldFont = SelectObject(hdc, ControlFont(s.font));
  SetBkMode(hdc, TRANSPARENT);
  if (s.focused) FillSolid(hdc, field, GetSysColor(COLOR_HIGHLIGHT));
  SetTextColor(hdc, GetSysColor(!enabled    ? COLOR_GRAYTEXT
                                : s.focused ? COLOR_HIGHLIGHTTEXT
                                            : COLOR_WINDOWTEXT));
  if (s.selected >= 0) {
    RECT text = field;
    text.left += 2;
    DrawTextA(hdc, s.items[size_t(s.selected)].c_str(), -1, &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* s = TrackControlState<ComboState>(hwnd, msg);
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
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      s->focused = msg == WM_SETFOCUS;
      if (msg == WM_KILLFOCUS) CloseList(hwnd, *s);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN:
      if (s->list) {
        ClickWhileOpen(hwnd, *s, lParam);
      } else {
        SetFocus(hwnd);
        OpenList(hwnd, *s);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (s->list && reinterpret_cast<HWND>(lParam) != hwnd) CloseList(hwnd, *s);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE || wParam == VK_RETURN) {
        CloseList(hwnd, *s);
      } else if (wParam == VK_DOWN || wParam == VK_UP) {
        int to = s->selected + (wParam == VK_DOWN ? 1 : -1);
        if (to >= 0 && to < int(s->items.size())) {
          Select(hwnd, *s, to, true);
          if (s->list) SendMessageA(s->list, LB_SETCURSEL, WPARAM(to), 0);
        }
      }
      return 0;
    case CB_ADDSTRING:
    case CB_INSERTSTRING: {
      std::string item = lParam ? reinterpret_cast<const char*>(lParam) : "";
      size_t at = s->items.size();
      if (msg == CB_INSERTSTRING && int(wParam) >= 0) {
        if (wParam > s->items.size()) return CB_ERR;
        at = wParam;
      } else if (msg == CB_ADDSTRING && (GetWindowLongA(hwnd, GWL_STYLE) & CBS_SORT)) {
        at = size_t(std::upper_bound(s->items.begin(), s->items.end(), item) - s->items.begin());
      }
      s->items.insert(s->items.begin() + long(at), item);
      if (s->selected >= int(at)) ++s->selected;
      return LRESULT(at);
    }
    case CB_DELETESTRING:
      if (wParam >= s->items.size()) return CB_ERR;
      s->items.erase(s->items.begin() + long(wParam));
      if (s->selected == int(wParam))
        Select(hwnd, *s, -1, false);
      else if (s->selected > int(wParam))
        --s->selected;
      return LRESULT(s->items.size());
    case CB_RESETCONTENT:
      s->items.clear();
      Select(hwnd, *s, -1, false);
      return 0;
    case CB_GETCOUNT:
      return LRESULT(s->items.size());
    case CB_SETCURSEL:
      Select(hwnd, *s, int(wParam), false);
      return int(wParam) == s->selected ? LRESULT(s->selected) : CB_ERR;
    case CB_GETCURSEL:
      return s->selected;
    case CB_GETLBTEXT:
      return CopyItemText(s->items, wParam, lParam, CB_ERR);
    case CB_GETLBTEXTLEN:
      return wParam < s->items.size() ? LRESULT(s->items[wParam].size()) : CB_ERR;
    case CB_SHOWDROPDOWN:
      if (wParam)
        OpenList(hwnd, *s);
      else
        CloseList(hwnd, *s);
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return s->list ? TRUE : FALSE;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterComboBoxClass() {
  RegisterControlClass("COMBOBOX", ComboBoxProc, CS_DBLCLKS | CS_PARENTDC,
                       LoadCursorA(nullptr, IDC_ARROW));
}

}  // namespace quellor::win32
