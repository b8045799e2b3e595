#include "qlxrapi/UtilLib_Resize_Move.h"

#include <algorithm>

#include "qlxrapi/ControlWindowClasses.h"
#include "qlxrapi/Control_DragNDrop.h"
#include "qlxrapi/UtilLib_Resize_Size.h"
#include "qlxrapi/WindowFunctions.h"

QLXRAPI_CONTROL_CLASS(UtilLib_Resize_Move);
QLXRAPI_CONTROL_CLASS(UtilLib_Resize_Size_T);
QLXRAPI_CONTROL_CLASS(UtilLib_Resize_Size_TL);
QLXRAPI_CONTROL_CLASS(UtilLib_Resize_Size_TR);
QLXRAPI_CONTROL_CLASS(UtilLib_Resize_Size_B);
QLXRAPI_CONTROL_CLASS(UtilLib_Resize_Size_BL);
QLXRAPI_CONTROL_CLASS(UtilLib_Resize_Size_BR);
QLXRAPI_CONTROL_CLASS(UtilLib_Resize_Size_L);
QLXRAPI_CONTROL_CLASS(UtilLib_Resize_Size_R);

UtilLib_Resize_Move::~UtilLib_Resize_Move() = default;

void UtilLib_Resize_Move::SetResizingInfo(HWND controlled, MessageHook_ResizeType kind) {
  if (controlled != m_controlled)
    if (BaseWindowClass* watched = Orvane_GetWindowObject(m_controlled))
      watched->RemoveExternalCallbackHook(this);
  m_controlled = controlled;
  m_kind = kind;
  m_dragging = false;
}

void UtilLib_Resize_Move::InitialiseWindow() {
  UtilLib_Button::InitialiseWindow();
  // A window given before the handle opened stays.
  if (m_controlled == nullptr) SetResizingInfo(GetParent(), m_kind);
}

RECT UtilLib_Resize_Move::ResizedRectangle(const RECT& start, MessageHook_ResizeType kind, long dx,
                                           long dy) {
  RECT r = start;
  const bool left =
      kind == MessageHook_TopLeft || kind == MessageHook_Left || kind == MessageHook_BottomLeft;
  const bool right =
      kind == MessageHook_TopRight || kind == MessageHook_Right || kind == MessageHook_BottomRight;
  const bool top =
      kind == MessageHook_TopLeft || kind == MessageHook_Top || kind == MessageHook_TopRight;
  const bool bottom = kind == MessageHook_BottomLeft || kind == MessageHook_Bottom ||
                      kind == MessageHook_BottomRight;
  if (kind == MessageHook_Move) {
    OffsetRect(&r, static_cast<int>(dx), static_cast<int>(dy));
    return r;
  }
  if (left) r.left = static_cast<LONG>(std::min<long>(start.left + dx, r.right - kMinimumSize));
  if (right) r.right = static_cast<LONG>(std::max<long>(start.right + dx, r.left + kMinimumSize));
  if (top) r.top = static_cast<LONG>(std::min<long>(start.top + dy, r.bottom - kMinimumSize));
  if (bottom) r.bottom = static_cast<LONG>(std::max<long>(start.bottom + dy, r.top + kMinimumSize));
  return r;
}

void UtilLib_Resize_Move::MouseLButtonClick(long keys, long x, long y) {
  UtilLib_Button::MouseLButtonClick(keys, x, y);
  if (m_controlled == nullptr || !IsWindow(m_controlled)) return;
  GetCursorPos(&m_startMouse);
  GetWindowRect(m_controlled, &m_startRectangle);
  HWND parent = ::GetParent(m_controlled);
  if (!Orvane_IsPopup(m_controlled) && parent != nullptr)
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&m_startRectangle), 2);
  m_dragging = true;
}

void UtilLib_Resize_Move::MouseMoved(long keys, long x, long y) {
  UtilLib_Button::MouseMoved(keys, x, y);
  if (!m_dragging) return;
  if (m_controlled == nullptr || !IsWindow(m_controlled)) {
    m_dragging = false;
    return;
  }
  POINT mouse{};
  GetCursorPos(&mouse);
  Resize_SetWindowPosn(ResizedRectangle(m_startRectangle, m_kind, mouse.x - m_startMouse.x,
                                        mouse.y - m_startMouse.y));
}

void UtilLib_Resize_Move::MouseLButtonRelease(long keys, long x, long y) {
  m_dragging = false;
  UtilLib_Button::MouseLButtonRelease(keys, x, y);
}

void UtilLib_Resize_Move::DestroyWindow() {
  m_dragging = false;
  UtilLib_Button::DestroyWindow();
}

void UtilLib_Resize_Move::Resize_SetWindowPosn(const RECT& place) {
  HWND parent = ::GetParent(m_controlled);
  auto* target = dynamic_cast<Control_DragNDrop*>(Orvane_GetWindowObject(parent));
  if (target != nullptr && !Orvane_IsPopup(m_controlled)) {
    // A drag-and-drop parent places the window by its own rule (a free-form
    // layout snaps it), as a drop of that one window under the cursor.
    Control_DragNDrop_DropInfo info;
    RECT start = m_startRectangle;
    MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&start), 2);
    info.startLeft = start.left;
    info.startTop = start.top;
    info.startRight = start.right;
    info.startBottom = start.bottom;
    info.window = m_controlled;
    info.newLeft = place.left;
    info.newTop = place.top;
    info.newRight = place.right;
    info.newBottom = place.bottom;
    tList<Control_DragNDrop_DropInfo> items;
    items.AddItem(info);
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(parent, &cursor);
    target->DragNDrop_DropItemsHere(parent, cursor.x, cursor.y, &items, m_kind != MessageHook_Move,
                                    true);
    return;
  }
  SetWindowPos(m_controlled, nullptr, place.left, place.top, place.right - place.left,
               place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (!Orvane_IsPopup(m_controlled)) Orvane_PerformLayout(::GetParent(m_controlled));
}
