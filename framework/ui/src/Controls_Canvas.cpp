// The non-virtual part of the canvas interface: the background by name.
#include "qlxrapi/Controls_Canvas.h"

void Controls_Canvas::Canvas_SetResource(char* name) {
  Canvas_SetResource(GetResource(name));
}

char* Controls_Canvas::Canvas_GetResourceName() {
  ScreenObject* resource = Canvas_GetResource();
  return resource == nullptr ? nullptr : GetResourceName(resource);
}
