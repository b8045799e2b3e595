#include "qlxrapi/UtilLib_DragButton.h"

#include "ControlSupport.h"
#include "qlxrapi/ControlWindowClasses.h"

QLXRAPI_CONTROL_CLASS(UtilLib_DragButton);

UtilLib_DragButton::UtilLib_DragButton() {
  DragAndDrop_DisplayRedShadeAutomatically(false);
}

UtilLib_DragButton::~UtilLib_DragButton() {
  RemoveAllDependantsToThis();
}

bool UtilLib_DragButton::DragNDrop_ShouldIDragAndDrop(HWND) {
  return true;
}

void UtilLib_DragButton::MouseLButtonClick(long, long, long) {}
void UtilLib_DragButton::MouseLButtonDblClick(long, long, long) {}
void UtilLib_DragButton::MouseLButtonRelease(long, long, long) {}

void UtilLib_DragButton::ToggleKeepingCapture() {
  HWND capture = GetCapture();
  m_toggling = true;
  ButtonClick();
  ButtonRelease();
  m_toggling = false;
  if (GetCapture() == capture) return;
  if (capture != nullptr)
    SetCapture(capture);
  else
    ReleaseCapture();
}

void UtilLib_DragButton::DragAndDrop_Select(bool selected) {
  if (selected != Button_IsPressed()) ToggleKeepingCapture();
  if (GetWindowHandle() != nullptr) RePaint();
}

void UtilLib_DragButton::DynamicCallback(long id, const char* name, void* args) {
  UtilLib_ToggleButton::DynamicCallback(id, name, args);
  if (m_toggling || quellor::win::IsDeleteNotice(name) || quellor::win::IsWindowNotice(name))
    return;
  // The variable is the selection's other half.
  const bool pressed = Button_IsPressed();
  if (pressed != DragAndDrop_AmISelected()) DragAndDrop_SelectMe(pressed);
}

void UtilLib_DragButton::PaintWindow(HWND window, HDC dc) {
  UtilLib_ToggleButton::PaintWindow(window, dc);
  if (!DragAndDrop_AmISelected()) return;
  RECT all{};
  GetClientRect(window, &all);
  m_shade.ScreenObject_DrawItem(&all, dc);
}
