#include "qlxrapi/UtilLib_ToggleButton.h"

#include "qlxrapi/ControlWindowClasses.h"

QLXRAPI_CONTROL_CLASS(UtilLib_ToggleButton);

UtilLib_ToggleButton::UtilLib_ToggleButton() {
  Button_GetVariable()->Set(0);
}

bool UtilLib_ToggleButton::Button_IsPressed() {
  const int bits = Button_GetSelectedState();
  return (Button_GetVariable()->Get() & bits) == bits;
}

void UtilLib_ToggleButton::ButtonClick() {
  m_tracking = true;
  Dynamic<int>* variable = Button_GetVariable();
  m_valueBefore = variable->Get();
  const int bits = Button_GetSelectedState();
  m_valueWritten = Button_IsPressed() ? (m_valueBefore & ~bits) : (m_valueBefore | bits);
  variable->Set(m_valueWritten);
  ExclusiveInput(true);
  Changed("Button::Clicked");
}
