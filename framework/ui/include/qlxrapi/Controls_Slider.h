// The interface of controls that show or edit a float between a minimum and
// a maximum; the width is the thumb's share of the range (an edit's step).
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/Dynamic.h"

class QUELLOR_EXPORT Controls_Slider {
 public:
  virtual ~Controls_Slider() = default;

  // Each binds a value the application owns (not owned by the control); null
  // goes back to the control's own value.
  virtual void Slider_SetVariable(Dynamic<float>* value) = 0;
  virtual void Slider_SetMinVariable(Dynamic<float>* minimum) = 0;
  virtual void Slider_SetMaxVariable(Dynamic<float>* maximum) = 0;
  virtual Dynamic<float>* Slider_GetVariable() = 0;
  virtual Dynamic<float>* Slider_GetMinVariable() = 0;
  virtual Dynamic<float>* Slider_GetMaxVariable() = 0;
  virtual void Slider_SetSliderWidth(Dynamic<float>* width) = 0;
  virtual Dynamic<float>* Slider_GetSliderWidth() = 0;
};
