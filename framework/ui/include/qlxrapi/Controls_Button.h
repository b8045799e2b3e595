// The interface of every control that shows one of four states (up, down,
// and both with the mouse over it) from a Dynamic<int> it writes when it is
// pressed.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/Dynamic.h"
#include "qlxrapi/ScreenObject.h"

class QUELLOR_EXPORT Controls_Button {
 public:
  // State numbers: the index of a state's resource.
  static constexpr int kUp = 0;
  static constexpr int kDown = 1;
  static constexpr int kUpRollover = 2;
  static constexpr int kDownRollover = 3;
  static constexpr int kStates = 4;

  virtual ~Controls_Button() = default;

  // The value the button writes when pressed (a toggle button: its bits).
  virtual void Button_SetSelectedState(int state) = 0;
  virtual int Button_GetSelectedState() = 0;
  // Binds the button to variable (not owned); null goes back to the
  // button's own.
  virtual void Button_UseVariable(Dynamic<int>* variable) = 0;
  virtual Dynamic<int>* Button_GetVariable() = 0;
  // The screen object drawn in state (0..3; others are ignored); not owned.
  virtual void Button_SetResource(int state, ScreenObject* resource) = 0;
  virtual ScreenObject* Button_GetResource(int state) = 0;
  // By default: the variable holds the selected state.
  virtual bool Button_IsPressed();

  // The registry entry of that name (none: the state has no resource).
  void Button_SetResource(int state, char* name);
  // The registry name of the state's resource, or null.
  char* Button_GetResourceName(int state);
};
