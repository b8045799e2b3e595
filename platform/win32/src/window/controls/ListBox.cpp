// "LISTBOX": a list of strings with one selection, scrolled to keep it in
// view; LBN_SELCHANGE and LBN_DBLCLK with LBS_NOTIFY.
#include <algorithm>
#include <cstring>
#include <strings.h>
#include <vector>

#include "ControlSupport.h"

namespace quellor::win32 {
namespace {

struct ListState {
  std::vector<std::string> items;
  int selected = -1;
  int top = 0;
  HFONT font = nullptr;
  bool focused = false;
};

int RowHeight(HWND hwnd, ListState& s) {
  HDC hdc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(hdc, ControlFont(s.font));
  TEXTMETRICA tm{};
  GetTextMetricsA(hdc, &tm);
  SelectObject(hdc, old);
  ReleaseDC(hwnd, hdc);
  return std::max<int>(tm.tmHeight + 2, 8);
}

int VisibleRows(HWND hwnd, ListState& s) {
  RECT r;
  GetClientRect(hwnd, &r);
  return std::max(1, int(r.bottom - r.top - 4) / RowHeight(hwnd, s));
}

DWORD StyleOf(HWND hwnd) {
  return DWORD(GetWindowLongA(hwnd, GWL_STYLE));
}

void Select(HWND hwnd, ListState& s, int index, bool notify) {
  if (index < -1 || index >= int(s.items.size())) index = -1;
  if (index >= 0) {
    int rows = VisibleRows(hwnd, s);
    if (index < s.top) s.top = index;
    if (index >= s.top + rows) s.top = index - rows + 1;
  }
  bool changed = index != s.selected;
  s.selected = index;
  InvalidateRect(hwnd, nullptr, TRUE);
  if (changed && notify && (StyleOf(hwnd) & LBS_NOTIFY)) NotifyParent(hwnd, LBN_SELCHANGE);
}

LRESULT Insert(HWND hwnd, ListState& s, int at, const char* text) {
  std::string item = text ? text : "";
  size_t index;
  if (at < 0 && (StyleOf(hwnd) & LBS_SORT)) {
    auto it = std::upper_bound(s.items.begin(), s.items.end(), item,
                               [](const std::string& a, const std::string& b) {
                                 return strcasecmp(a.c_str(), b.c_str()) < 0;
                               });
    index = size_t(it - s.items.begin());
  } else if (at < 0 || size_t(at) > s.items.size()) {
    if (at >= 0) return LB_ERR;
    index = s.items.size();
  } else {
    index = size_t(at);
  }
  s.items.insert(s.items.begin() + long(index), item);
  if (s.selected >= int(index)) ++s.selected;
  InvalidateRect(hwnd, nullptr, TRUE);
  return LRESULT(index);
}

void Paint(HWND hwnd, ListState& s) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  FillSolid(hdc, r, GetSysColor(COLOR_WINDOW));
  DrawEdge3d(hdc, r, false);
  HGDIOBJ oldFont = SelectObject(hdc, ControlFont(s.font));
  SetBkMode(hdc, TRANSPARENT);
  int h = RowHeight(hwnd, s);
  for (int i = s.top, y = 2; i < int(s.items.size()) && y < r.bottom - 2; ++i, y += h) {
    RECT row{2, y, r.right - 2, std::min<LONG>(y + h, r.bottom - 2)};
    bool selected = i == s.selected;
    if (selected) FillSolid(hdc, row, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(hdc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = row;
    text.left += 2;
    DrawTextA(hdc, s.items[size_t(i)].c_str(), -1, &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (selected && s.focused) DrawFocusFrame(hdc, row);
  }
  SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

int RowAt(HWND hwnd, ListState& s, int y) {
  int row = s.top + (y - 2) / RowHeight(hwnd, s);
  return y < 2 || row >= int(s.items.size()) ? -1 : row;
}

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* s = TrackControlState<ListState>(hwnd, msg);
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
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(hwnd);
      int row = RowAt(hwnd, *s, GET_Y_LPARAM(lParam));
      if (row >= 0) Select(hwnd, *s, row, true);
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      if (RowAt(hwnd, *s, GET_Y_LPARAM(lParam)) >= 0 && (StyleOf(hwnd) & LBS_NOTIFY))
        NotifyParent(hwnd, LBN_DBLCLK);
      return 0;
    case WM_KEYDOWN: {
      int last = int(s->items.size()) - 1;
      int to = wParam == VK_DOWN   ? std::min(s->selected + 1, last)
               : wParam == VK_UP   ? std::max(s->selected - 1, 0)
               : wParam == VK_HOME ? 0
               : wParam == VK_END  ? last
                                   : -2;
      if (to >= 0) Select(hwnd, *s, to, true);
      return 0;
    }
    case LB_ADDSTRING:
      return Insert(hwnd, *s, -1, reinterpret_cast<const char*>(lParam));
    case LB_INSERTSTRING:
      return Insert(hwnd, *s, int(wParam) == -1 ? int(s->items.size()) : int(wParam),
                    reinterpret_cast<const char*>(lParam));
    case LB_DELETESTRING:
      if (wParam >= s->items.size()) return LB_ERR;
      s->items.erase(s->items.begin() + long(wParam));
      if (s->selected == int(wParam))
        s->selected = -1;
      else if (s->selected > int(wParam))
        --s->selected;
      s->top = std::min(s->top, std::max(0, int(s->items.size()) - 1));
      InvalidateRect(hwnd, nullptr, TRUE);
      return LRESULT(s->items.size());
    case LB_RESETCONTENT:
      s->items.clear();
      s->selected = -1;
      s->top = 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case LB_SETCURSEL:
      Select(hwnd, *s, int(wParam), false);
      return int(wParam) == s->selected ? LRESULT(s->selected) : LB_ERR;
    case LB_GETCURSEL:
      return s->selected;
    case LB_GETTEXT:
      return CopyItemText(s->items, wParam, lParam, LB_ERR);
    case LB_GETTEXTLEN:
      return wParam < s->items.size() ? LRESULT(s->items[wParam].size()) : LB_ERR;
    case LB_GETCOUNT:
      return LRESULT(s->items.size());
    case LB_GETTOPINDEX:
      return s->top;
    case LB_FINDSTRINGEXACT: {
      const char* wanted = reinterpret_cast<const char*>(lParam);
      size_t n = s->items.size();
      size_t start = int(wParam) < 0 ? 0 : (size_t(wParam) + 1) % std::max<size_t>(n, 1);
      for (size_t k = 0; wanted && k < n; ++k) {
        size_t i = (start + k) % n;
        if (strcasecmp(s->items[i].c_str(), wanted) == 0) return LRESULT(i);
      }
      return LB_ERR;
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterListBoxClass() {
  RegisterControlClass("LISTBOX", ListBoxProc, CS_DBLCLKS | CS_PARENTDC,
                       LoadCursorA(nullptr, IDC_ARROW));
}

}  // namespace quellor::win32
