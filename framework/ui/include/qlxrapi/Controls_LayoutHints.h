// What a control tells layouts about itself: the size it would like (-1: no
// preference, the control stretches) and whether it may be resized.
#pragma once

#include <quellor/Export.h>

class QUELLOR_EXPORT Controls_LayoutHints {
 public:
  virtual ~Controls_LayoutHints();
  virtual long LayoutHints_GetPreferedXSize();  // -1 by default
  virtual long LayoutHints_GetPreferedYSize();  // -1 by default
  virtual bool LayoutHints_ResizeX();           // false by default
  virtual bool LayoutHints_ResizeY();           // false by default
};
