// Pieces every standard control uses: its state object kept in the window's
// extra bytes, its font, notifications to the parent, and plain drawing.
#pragma once

#include <string>

#include "windows.h"

namespace quellor::win32 {

// The state object of a control lives in the first pointer of its extra bytes.
template <class State>
State* ControlState(HWND hwnd) {
  return reinterpret_cast<State*>(GetWindowLongPtrA(hwnd, 0));
}

// Registers a global system class whose windows keep one pointer of state.
void RegisterControlClass(const char* name, WNDPROC proc, UINT style, HCURSOR cursor);

// Sends WM_COMMAND (code, id) to the parent.
void NotifyParent(HWND control, WORD code);

std::string WindowText(HWND hwnd);
HFONT ControlFont(HFONT chosen);  // the chosen font or the default GUI font

// A raised (buttons) or sunken (edits, lists) two-pixel 3-D edge.
void DrawEdge3d(HDC hdc, RECT r, bool raised);
void FillSolid(HDC hdc, const RECT& r, COLORREF colour);
// A focus rectangle: a dotted frame.
void DrawFocusFrame(HDC hdc, RECT r);

}  // namespace quellor::win32
