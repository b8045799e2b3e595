// The non-virtual part of the button interface: resources by registry name.
#include "qlxrapi/Controls_Button.h"

bool Controls_Button::Button_IsPressed() {
  Dynamic<int>* variable = Button_GetVariable();
  return variable != nullptr && variable->Get() == Button_GetSelectedState();
}

void Controls_Button::Button_SetResource(int state, char* name) {
  Button_SetResource(state, GetResource(name));
}

char* Controls_Button::Button_GetResourceName(int state) {
  ScreenObject* resource = Button_GetResource(state);
  return resource == nullptr ? nullptr : GetResourceName(resource);
}
