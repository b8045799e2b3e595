// SingleDirScroller: a scroller that may scroll in one direction only. In a
// direction that does not scroll the content takes the view's size; in each
// direction it can publish the visible share of the content (view / content,
// 0 to 1) to a bound value, as a slider's thumb width wants it.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/UtilLib_Scroller.h"

class QUELLOR_EXPORT SingleDirScroller : public UtilLib_Scroller {
 public:
  SingleDirScroller();
  ~SingleDirScroller() override;

  // Both true at construction; a change fits the content again.
  void SetScrollX(bool on);
  void SetScrollY(bool on);
  bool GetScrollX() const { return m_scrollsX; }
  bool GetScrollY() const { return m_scrollsY; }

  // Share values (not owned; null: none).
  void SetWidthVar(Dynamic<float>* value);
  void SetHeightVar(Dynamic<float>* value);
  Dynamic<float>* GetWidthVar() { return m_widthShare; }
  Dynamic<float>* GetHeightVar() { return m_heightShare; }

  void DynamicCallback(long id, const char* name, void* args) override;

  // view / content held to 0..1; 1 for content of no size.
  static float Share(long view, long content);

  // Publishes the shares, moves and repaints the content.
  void Update();

 protected:
  void ScrollValuesChanged() override;
  void WindowSized(long width, long height) override;

 private:
  void Bind(Dynamic<float>*& slot, Dynamic<float>* value);
  // Gives the content the view's size in the directions that do not scroll.
  void FitContent();

  bool m_scrollsX = true;
  bool m_scrollsY = true;
  Dynamic<float>* m_widthShare = nullptr;
  Dynamic<float>* m_heightShare = nullptr;
  bool m_updating = false;
};
