// UtilLib_Scroller: a canvas that shows one content window through itself
// as a viewport. The scroll x and y values are fractions (0 to 1) of the
// content that does not fit: 0 shows its left (top) edge, 1 its right
// (bottom) edge. They are the scroller's own values until bound to others.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/Dynamic.h"
#include "qlxrapi/UtilLib_Canvas.h"

class QUELLOR_EXPORT UtilLib_Scroller : public UtilLib_Canvas {
 public:
  UtilLib_Scroller();
  ~UtilLib_Scroller() override;

  // The content: a child of the registered class className at (0, 0) of
  // width by height (x and y are not used); a previous content window is
  // destroyed first. Null when it could not be made.
  using UtilLib_Canvas::OpenChild;
  HWND OpenChild(char* className, long x, long y, long width, long height);
  HWND GetContentWindow() const { return m_content; }

  // Binds a scroll value (not owned; null: back to the scroller's own).
  void UtilLib_Scroller_SetScrollX(Dynamic<float>* value);
  void UtilLib_Scroller_SetScrollY(Dynamic<float>* value);
  Dynamic<float>* UtilLib_Scroller_GetScrollX() { return m_scrollX; }
  Dynamic<float>* UtilLib_Scroller_GetScrollY() { return m_scrollY; }
  float fUtilLib_Scroller_GetScrollX() { return m_scrollX != nullptr ? m_scrollX->Get() : 0.0f; }
  float fUtilLib_Scroller_GetScrollY() { return m_scrollY != nullptr ? m_scrollY->Get() : 0.0f; }

  void DynamicCallback(long id, const char* name, void* args) override;

  // Where the content's edge goes in a view of size view: 0 when the content
  // fits, else -(content - view) x scroll, truncated; scroll is held to 0..1
  // (a value outside, or not a number, cannot push the content out of view).
  static long ContentOffset(long view, long content, float scroll);

  // Moves the content window by the scroll values.
  void PositionContent();

 protected:
  // The registration id of the values that move the content; the canvas's
  // own talkers (its background) register with 0.
  static constexpr long kMovingValue = 1;
  // A bound value changed: the content moves.
  virtual void ScrollValuesChanged();
  void WindowSized(long width, long height) override;
  void Child_Destroyed(HWND child) override;
  void ChildWindowSized(HWND child) override;

 private:
  void Bind(Dynamic<float>*& slot, Dynamic<float>* value, Dynamic<float>* own);

  Dynamic<float> m_ownScrollX;
  Dynamic<float> m_ownScrollY;
  Dynamic<float>* m_scrollX;
  Dynamic<float>* m_scrollY;
  HWND m_content = nullptr;
  bool m_positioning = false;
};
