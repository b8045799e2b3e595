// UtilLib_ToggleButton: a button that flips the bits of its selected state
// in its variable; it is pressed while all of those bits are set.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/UtilLib_Button.h"

class QUELLOR_EXPORT UtilLib_ToggleButton : public UtilLib_Button {
 public:
  UtilLib_ToggleButton();

  bool Button_IsPressed() override;

 protected:
  // Clears the bits when pressed, sets them otherwise; announces only
  // "Button::Clicked".
  void ButtonClick() override;
};
