// DragNDropContext: selection, rubber bands, dragging and dropping of
// framework windows. One message-queue listener watches the left button,
// mouse moves and Escape for every window of the loop's thread before the
// windows see them. An application that wants drag and drop creates one.
//
// A press on a draggable item (Control_DragNDrop) selects it, or waits to
// see whether the press becomes a click or a drag; a press on a container
// that rubber-band selects draws a band that selects what it touches. While
// dragging, the selected items of the item's container follow the mouse
// into the container under it, which places them by its drop rule. Escape,
// a lost mouse capture or the container going away cancel a drag and put
// the items back where they were.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include <vector>

#include "qlxrapi/Control_DragNDrop_DropInfo.h"
#include "qlxrapi/MessageQueue.h"
#include "qlxrapi/tList.h"

class QUELLOR_EXPORT DragNDropContext : public MessageQueue_Listener {
 public:
  // The cursors of the library's own module: over a selected item, dragging
  // over no acceptable target, dragging over an acceptable one.
  static constexpr int kCursorSelected = 105;
  static constexpr int kCursorNoTarget = 106;
  static constexpr int kCursorTarget = 118;
  // A press becomes a drag past this many pixels (|dx| + |dy|).
  static constexpr int kDragDistance = 6;

  DragNDropContext();
  ~DragNDropContext() override;

  bool PreCallback(HWND window, unsigned message, unsigned wParam, unsigned lParam) override;
  void PostCallback(HWND window, unsigned message, unsigned wParam, unsigned lParam) override;

  // Ends a press, band or drag as if it never happened: dragged items go
  // back to their containers and places, a band's selection is undone.
  void CancelDrag();

  bool IsActive() const { return m_active; }
  bool IsDragging() const { return m_dragging; }
  bool IsRubberBanding() const { return m_rubberBand; }
  HWND GetSourceContainer() const { return m_source; }
  HWND GetLastClicked() const { return m_lastClicked; }
  tList<Control_DragNDrop_DropInfo>* GetDragList() { return &m_dragList; }

  // The cursor picture of one of the three identifiers (registered with the
  // library's module the first time it is asked for).
  static HCURSOR GetDragCursor(int id);

 private:
  struct Origin {
    HWND window;
    HWND parent;
    HWND after;  // the sibling above it, null at the top
    RECT rect;   // in the parent's client coordinates
  };

  bool ButtonDown(HWND window, unsigned keys, POINT at);
  bool MouseMove(HWND window, unsigned keys, POINT at);
  void ButtonUp(HWND window, unsigned keys, POINT at);
  bool StillHeld();
  void StartDragging();
  void Follow(POINT at, bool finished);
  HWND FindTarget(POINT at);
  bool IsDragged(HWND window);
  void UpdateBand(POINT at);
  void DrawBand();
  void Reset();

  bool m_active = false;
  bool m_dragging = false;
  bool m_rubberBand = false;
  bool m_deselectOnRelease = false;
  bool m_bandDrawn = false;
  HWND m_source = nullptr;       // the pressed item's container
  HWND m_pressed = nullptr;      // the window that holds the capture
  HWND m_lastClicked = nullptr;  // anchor of Shift ranges
  HWND m_pending = nullptr;      // press not yet a click or a drag
  HWND m_lastTarget = nullptr;
  POINT m_press{0, 0};
  POINT m_bandCorner{0, 0};
  std::vector<HWND> m_selectedBefore;
  std::vector<Origin> m_origins;
  tList<Control_DragNDrop_DropInfo> m_dragList;
};
