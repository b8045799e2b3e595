// Pieces every standard control uses: its state object kept in the window's
// extra bytes, its font, notifications to the parent, and plain drawing.
#pragma once

#include <string>
#include <vector>

#include "windows.h"

namespace quellor::win32 {

// The state object of a control lives in the first pointer of its extra bytes.
template <class State>
State* ControlState(HWND hwnd) {
  return reinterpret_cast<State*>(GetWindowLongPtrA(hwnd, 0));
}

// Creates the state object on WM_NCCREATE and deletes it on WM_NCDESTROY.
// Returns the state for every other message, and null for those two and for
// messages before creation, so that the caller hands them to DefWindowProcA
// and never touches a deleted state.
template <class State>
State* TrackControlState(HWND hwnd, UINT msg) {
  if (msg == WM_NCCREATE) {
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(new State));
    return nullptr;
  }
  State* state = ControlState<State>(hwnd);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, 0, 0);
    delete state;
    return nullptr;
  }
  return state;
}

// WM_SETFONT (keeps the font, repaints when lParam asks) and WM_GETFONT.
LRESULT FontMessage(HWND hwnd, HFONT& font, UINT msg, WPARAM wParam, LPARAM lParam);

// LB_GETTEXT / CB_GETLBTEXT: copies item `index` with its terminator into
// `buffer` (sized by the caller after LB_GETTEXTLEN) and returns its length,
// or `error` for an index out of range.
LRESULT CopyItemText(const std::vector<std::string>& items, WPARAM index, LPARAM buffer,
                     LRESULT error);

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
