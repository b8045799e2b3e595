#include "ControlSupport.h"

#include <cstring>
#include <vector>

namespace quellor::win32 {

void RegisterControlClass(const char* name, WNDPROC proc, UINT style, HCURSOR cursor) {
  WNDCLASSA wc{};
  wc.style = style | CS_GLOBALCLASS;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = sizeof(void*);
  wc.hCursor = cursor;
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

LRESULT FontMessage(HWND hwnd, HFONT& font, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(font);
  font = reinterpret_cast<HFONT>(wParam);
  if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
  return 0;
}

LRESULT CopyItemText(const std::vector<std::string>& items, WPARAM index, LPARAM buffer,
                     LRESULT error) {
  if (index >= items.size()) return error;
  const std::string& item = items[index];
  if (buffer) std::memcpy(reinterpret_cast<char*>(buffer), item.c_str(), item.size() + 1);
  return LRESULT(item.size());
}

void NotifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(control)), code),
               reinterpret_cast<LPARAM>(control));
}

std::string WindowText(HWND hwnd) {
  int n = GetWindowTextLengthA(hwnd);
  std::vector<char> buffer(size_t(n) + 1);
  GetWindowTextA(hwnd, buffer.data(), n + 1);
  return std::string(buffer.data());
}

HFONT ControlFont(HFONT chosen) {
  return chosen ? chosen : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void FillSolid(HDC hdc, const RECT& r, COLORREF colour) {
  HBRUSH b = CreateSolidBrush(colour);
  FillRect(hdc, &r, b);
  DeleteObject(b);
}

void DrawEdge3d(HDC hdc, RECT r, bool raised) {
  COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW),
           dark = GetSysColor(COLOR_3DDKSHADOW);
  COLORREF topLeft = raised ? light : shadow, bottomRight = raised ? dark : light;
  auto edge = [&](RECT e, COLORREF tl, COLORREF br) {
    FillSolid(hdc, RECT{e.left, e.top, e.right, e.top + 1}, tl);
    FillSolid(hdc, RECT{e.left, e.top, e.left + 1, e.bottom}, tl);
    FillSolid(hdc, RECT{e.left, e.bottom - 1, e.right, e.bottom}, br);
    FillSolid(hdc, RECT{e.right - 1, e.top, e.right, e.bottom}, br);
  };
  edge(r, topLeft, bottomRight);
  InflateRect(&r, -1, -1);
  edge(r, raised ? GetSysColor(COLOR_3DLIGHT) : dark, raised ? shadow : GetSysColor(COLOR_3DLIGHT));
}

void DrawFocusFrame(HDC hdc, RECT r) {
  for (LONG x = r.left; x < r.right; x += 2) {
    SetPixel(hdc, x, r.top, 0);
    SetPixel(hdc, x, r.bottom - 1, 0);
  }
  for (LONG y = r.top; y < r.bottom; y += 2) {
    SetPixel(hdc, r.left, y, 0);
    SetPixel(hdc, r.right - 1, y, 0);
  }
}

}  // namespace quellor::win32
