// UtilLib_DragButton: a toggle button that is a drag-and-drop item. The
// drag-and-drop context presses it: selecting it toggles it on, deselecting
// toggles it off, and a change of its variable selects or deselects it. It
// shows its selection with a red shade of its own.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/Control_DragNDrop.h"
#include "qlxrapi/ScreenObject_Selected.h"
#include "qlxrapi/UtilLib_ToggleButton.h"

class QUELLOR_EXPORT UtilLib_DragButton : public UtilLib_ToggleButton, public Control_DragNDrop {
 public:
  UtilLib_DragButton();
  ~UtilLib_DragButton() override;

  bool DragNDrop_ShouldIDragAndDrop(HWND window) override;
  void DragAndDrop_Select(bool selected) override;
  void DynamicCallback(long id, const char* name, void* args) override;

 protected:
  // The drag-and-drop context handles the mouse buttons.
  void MouseLButtonClick(long keys, long x, long y) override;
  void MouseLButtonDblClick(long keys, long x, long y) override;
  void MouseLButtonRelease(long keys, long x, long y) override;
  void PaintWindow(HWND window, HDC dc) override;

 private:
  // A click and release of the toggle that leaves the mouse capture where it
  // was (the context holds it while it drags).
  void ToggleKeepingCapture();

  ScreenObject_Selected m_shade{255, 64, 64, 64, 0, 0, 0, 192};
  bool m_toggling = false;
};
