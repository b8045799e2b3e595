// The interface of controls drawn from one background screen object.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/ScreenObject.h"

class QUELLOR_EXPORT Controls_Canvas {
 public:
  virtual ~Controls_Canvas() = default;

  // Not owned.
  virtual void Canvas_SetResource(ScreenObject* resource) = 0;
  virtual ScreenObject* Canvas_GetResource() = 0;

  // The registry entry of that name (none: no background).
  void Canvas_SetResource(char* name);
  // The registry name of the background, or null.
  char* Canvas_GetResourceName();
};
