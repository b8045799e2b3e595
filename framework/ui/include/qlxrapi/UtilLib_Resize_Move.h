// UtilLib_Resize_Move: a button that moves or resizes the window it
// controls (its parent) while it is dragged: kind 0 moves the whole window,
// kinds 1 to 8 move the edges they name (top-left, top, top-right, left,
// right, bottom-left, bottom, bottom-right). No size falls below 16 pixels.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/UtilLib_Button.h"

enum MessageHook_ResizeType : int {
  MessageHook_Move = 0,
  MessageHook_TopLeft = 1,
  MessageHook_Top = 2,
  MessageHook_TopRight = 3,
  MessageHook_Left = 4,
  MessageHook_Right = 5,
  MessageHook_BottomLeft = 6,
  MessageHook_Bottom = 7,
  MessageHook_BottomRight = 8
};

class QUELLOR_EXPORT UtilLib_Resize_Move : public UtilLib_Button {
 public:
  // The smallest width and height a handle leaves.
  static constexpr long kMinimumSize = 16;

  UtilLib_Resize_Move() = default;
  explicit UtilLib_Resize_Move(MessageHook_ResizeType kind) : m_kind(kind) {}
  ~UtilLib_Resize_Move() override;

  // The window to move or size and how; leaves the window watched before.
  void SetResizingInfo(HWND controlled, MessageHook_ResizeType kind);
  HWND GetControlledWindow() const { return m_controlled; }
  MessageHook_ResizeType GetResizeType() const { return m_kind; }
  bool IsDragging() const { return m_dragging; }

  // The rectangle (in the parent's client coordinates unless the controlled
  // window is a popup) a drag by (dx, dy) from start gives.
  static RECT ResizedRectangle(const RECT& start, MessageHook_ResizeType kind, long dx, long dy);

 protected:
  // Controls the parent (unless a window was given already), with the kind
  // given at construction, else moving.
  void InitialiseWindow() override;
  void MouseLButtonClick(long keys, long x, long y) override;
  void MouseMoved(long keys, long x, long y) override;
  void MouseLButtonRelease(long keys, long x, long y) override;
  void DestroyWindow() override;
  // Puts the controlled window at place.
  virtual void Resize_SetWindowPosn(const RECT& place);

 private:
  HWND m_controlled = nullptr;
  MessageHook_ResizeType m_kind = MessageHook_Move;
  POINT m_startMouse{};
  RECT m_startRectangle{};
  bool m_dragging = false;
};
