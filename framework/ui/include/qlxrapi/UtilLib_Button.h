// UtilLib_Button: a skinned push button. Pressing it writes its selected
// state into its Dynamic<int>; it shows "down" for as long as the variable
// holds that state, so buttons sharing one variable with different selected
// states form a radio group. Notices: "Button::Clicked",
// "Button::DragToggleOn", "Button::DragToggleOff", "Button::ReleasedOn",
// "Button::ReleasedOff".
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/BaseWindowClass.h"
#include "qlxrapi/Controls_Button.h"
#include "qlxrapi/Controls_LayoutHints.h"
#include "qlxrapi/Dynamic.h"
#include "qlxrapi/DynamicListener.h"

class QUELLOR_EXPORT UtilLib_Button : public BaseWindowClass,
                                      public DynamicListener,
                                      public Controls_Button,
                                      public Controls_LayoutHints {
 public:
  UtilLib_Button();
  ~UtilLib_Button() override;

  using Controls_Button::Button_GetResourceName;
  using Controls_Button::Button_SetResource;
  void Button_SetSelectedState(int state) override;
  int Button_GetSelectedState() override { return m_selectedState; }
  void Button_UseVariable(Dynamic<int>* variable) override;
  Dynamic<int>* Button_GetVariable() override { return m_variable; }
  void Button_SetResource(int state, ScreenObject* resource) override;
  ScreenObject* Button_GetResource(int state) override;

  // The largest preference among the four states' screen objects.
  long LayoutHints_GetPreferedXSize() override;
  long LayoutHints_GetPreferedYSize() override;

  void DynamicCallback(long id, const char* name, void* args) override;

  bool IsTracking() const { return m_tracking; }
  bool IsMouseOver() const { return m_mouseOver; }
  // The state drawn last (0..3), -1 before the first paint.
  int GetLastDrawnState() const { return m_lastDrawnState; }

 protected:
  void PaintWindow(HWND window, HDC dc) override;
  void DestroyWindow() override;
  void MouseEnter() override;
  void MouseExit() override;
  void MouseMoved(long keys, long x, long y) override;
  void MouseLButtonClick(long keys, long x, long y) override;
  void MouseLButtonDblClick(long keys, long x, long y) override;
  void MouseLButtonRelease(long keys, long x, long y) override;

  // The press itself: remembers the value, writes the new one, takes the
  // mouse and announces. A toggle button presses differently.
  virtual void ButtonClick();
  virtual void ButtonRelease();

  // The screen object state (0..3) draws with: its own resource, the other
  // states' by the fallback order, then the registry default; null when
  // none exists.
  virtual ScreenObject* ResolveResource(int state);
  // The state's own resource or the fallbacks, without the default.
  ScreenObject* StateResource(int state);
  // The look that follows a change of value or resource.
  void LookChanged();
  bool GetRolloverLook() const { return m_rolloverLook; }
  void SetRolloverLook(bool on) { m_rolloverLook = on; }

  // Tracking state shared with derived buttons.
  bool m_tracking = false;
  int m_valueBefore = 0;
  int m_valueWritten = 0;

 private:
  // Starts or stops listening to a resource unless another state holds it.
  bool HoldsResource(ScreenObject* resource, int except) const;

  Dynamic<int> m_ownVariable;
  Dynamic<int>* m_variable;
  int m_selectedState = 1;
  ScreenObject* m_resources[kStates] = {};
  bool m_mouseOver = false;
  bool m_rolloverLook = false;
  // Where the tracked mouse last was: drag toggles are announced when it
  // crosses the edge, not on every move.
  bool m_trackedInside = false;
  int m_lastDrawnState = -1;
};
