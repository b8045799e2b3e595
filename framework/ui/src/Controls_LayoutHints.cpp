// The defaults of the layout hints: no preferred size, not resizable.
#include "qlxrapi/Controls_LayoutHints.h"

Controls_LayoutHints::~Controls_LayoutHints() = default;
long Controls_LayoutHints::LayoutHints_GetPreferedXSize() {
  return -1;
}
long Controls_LayoutHints::LayoutHints_GetPreferedYSize() {
  return -1;
}
bool Controls_LayoutHints::LayoutHints_ResizeX() {
  return false;
}
bool Controls_LayoutHints::LayoutHints_ResizeY() {
  return false;
}
