#include "PopupMenuWindow.h"

#include <algorithm>
#include <mutex>

#include "MenuTable.h"
#include "win32/gdi.h"

namespace quellor::win32 {
namespace {

constexpr int kCheckMargin = 20;  // pixels left of the text, where check marks go
constexpr int kRightMargin = 20;  // room for a submenu arrow
constexpr int kSeparatorHeight = 8;
constexpr int kFrame = 2;

const char kMenuClass[] = "#32768";

SIZE MeasureText(HDC hdc, const std::string& text) {
  RECT r{0, 0, 0, 0};
  DrawTextA(hdc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void DrawCheckMark(HDC hdc, const RECT& row, COLORREF colour) {
  HPEN pen = CreatePen(PS_SOLID, 2, colour);
  HGDIOBJ old = SelectObject(hdc, pen);
  int cx = row.left + kCheckMargin / 2, cy = (row.top + row.bottom) / 2;
  MoveToEx(hdc, cx - 4, cy, nullptr);
  LineTo(hdc, cx - 1, cy + 3);
  LineTo(hdc, cx + 5, cy - 4);
  SelectObject(hdc, old);
  DeleteObject(pen);
}

void PaintRow(HDC hdc, const PopupMenuLayout::Row& row, bool hot) {
  if (row.flags & MF_SEPARATOR) {
    int y = (row.rect.top + row.rect.bottom) / 2;
    RECT line{row.rect.left + 2, y - 1, row.rect.right - 2, y};
    FillRect(hdc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
    line = RECT{row.rect.left + 2, y, row.rect.right - 2, y + 1};
    FillRect(hdc, &line, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    return;
  }
  bool grayed = (row.flags & (MF_GRAYED | MF_DISABLED)) != 0;
  FillRect(hdc, &row.rect, GetSysColorBrush(hot ? COLOR_HIGHLIGHT : COLOR_MENU));
  COLORREF text = GetSysColor(grayed ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
  if (row.flags & MF_CHECKED) DrawCheckMark(hdc, row.rect, text);
  SetTextColor(hdc, text);
  SetBkMode(hdc, TRANSPARENT);
  RECT r = row.rect;
  r.left += kCheckMargin;
  r.right -= kRightMargin;
  std::string label = row.text, accelerator;
  if (size_t tab = label.find('\t'); tab != std::string::npos) {
    accelerator = label.substr(tab + 1);
    label.resize(tab);
  }
  DrawTextA(hdc, label.c_str(), -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  if (!accelerator.empty()) {
    DrawTextA(hdc, accelerator.c_str(), -1, &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  }
  if (row.flags & MF_POPUP) {
    // A small right-pointing triangle.
    int x = row.rect.right - kRightMargin / 2 - 2, cy = (row.rect.top + row.rect.bottom) / 2;
    for (int i = 0; i < 4; ++i) {
      RECT bar{x + i, cy - 3 + i, x + i + 1, cy + 4 - i};
      HBRUSH b = CreateSolidBrush(text);
      FillRect(hdc, &bar, b);
      DeleteObject(b);
    }
  }
}

void Paint(HWND hwnd, PopupMenuLayout& layout) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, GetSysColorBrush(COLOR_MENU));
  FrameRect(hdc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
  HGDIOBJ oldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
  for (size_t i = 0; i < layout.rows.size(); ++i) {
    PaintRow(hdc, layout.rows[i], int(i) == layout.hot);
  }
  SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK PopupMenuProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* layout = reinterpret_cast<PopupMenuLayout*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      break;
    }
    case WM_PAINT:
      if (layout) {
        Paint(hwnd, *layout);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a menu never takes activation from its owner
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterMenuClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSA wc{};
    wc.style = CS_SAVEBITS | CS_GLOBALCLASS;
    wc.lpfnWndProc = PopupMenuProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kMenuClass;
    RegisterClassA(&wc);
  });
}

}  // namespace

bool IsSelectableRow(const PopupMenuLayout::Row& row) {
  return !(row.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED | MF_POPUP));
}

bool LayOutPopupMenu(HMENU handle, PopupMenuLayout& layout) {
  std::vector<MenuItem> items;
  {
    auto lock = MenuLock();
    Menu* menu = FindMenuLocked(handle);
    if (!menu) return false;
    items = menu->items;
  }
  HDC hdc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA tm{};
  GetTextMetricsA(hdc, &tm);
  int rowHeight = std::max<int>(18, tm.tmHeight + 6);
  int width = 80;
  layout.rows.clear();
  int y = kFrame;
  for (const MenuItem& item : items) {
    PopupMenuLayout::Row row;
    row.flags = item.flags;
    row.id = item.id;
    row.text = item.text;
    int h = (item.flags & MF_SEPARATOR) ? kSeparatorHeight : rowHeight;
    row.rect = RECT{kFrame, y, 0, y + h};
    y += h;
    if (!(item.flags & MF_SEPARATOR)) {
      std::string measured = item.text;
      if (size_t tab = measured.find('\t'); tab != std::string::npos) measured[tab] = ' ';
      width = std::max<int>(width, MeasureText(hdc, measured).cx + 16);
    }
    layout.rows.push_back(row);
  }
  SelectObject(hdc, oldFont);
  DeleteDC(hdc);
  width += kCheckMargin + kRightMargin;
  for (auto& row : layout.rows) row.rect.right = kFrame + width;
  layout.size = SIZE{width + 2 * kFrame, y + kFrame};
  layout.hot = -1;
  return true;
}

HWND CreatePopupMenuWindow(PopupMenuLayout& layout, HWND owner, int x, int y) {
  RegisterMenuClass();
  return CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMenuClass, "", WS_POPUP, x, y,
                         layout.size.cx, layout.size.cy, owner, nullptr, nullptr, &layout);
}

int PopupMenuRowAt(const PopupMenuLayout& layout, POINT client) {
  for (size_t i = 0; i < layout.rows.size(); ++i) {
    const RECT& r = layout.rows[i].rect;
    if (client.x >= r.left && client.x < r.right && client.y >= r.top && client.y < r.bottom)
      return int(i);
  }
  return -1;
}

}  // namespace quellor::win32
