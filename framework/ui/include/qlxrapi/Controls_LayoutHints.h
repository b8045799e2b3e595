// What a control tells the layouts about itself: its natural size (-1: none,
// the control stretches) and whether it may be resized along each axis.
#pragma once

#include <quellor/Export.h>

class QUELLOR_EXPORT Controls_LayoutHints {
 public:
  virtual ~Controls_LayoutHints() = default;

  virtual long LayoutHints_GetPreferedXSize() = 0;
  virtual long LayoutHints_GetPreferedYSize() = 0;
  virtual bool LayoutHints_ResizeX() { return false; }
  virtual bool LayoutHints_ResizeY() { return false; }
};
