// BaseWindowLayoutManager: a window that places its child windows.
//
// A base of the layout windows beside their BaseWindowClass: the framework
// finds it behind a window by a cross cast of the window's object. Whenever
// a child is created, moved, resized or re-parented, or the manager itself is
// resized, the framework calls Layout_PerformLayout: the children are read as
// layout items, the rule (Layout_ComputeLayout) rewrites them and they are
// applied back. When the laid-out children need more room than the window
// has, the manager publishes a scroll range through bound float values and
// shifts the children by the bound scroll positions.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include "qlxrapi/Dynamic.h"
#include "qlxrapi/DynamicListener.h"
#include "qlxrapi/WindowLayout_Item.h"

class BaseWindowLayoutManager;

// Forwards the notices of the bound scroll values to their manager.
class QUELLOR_EXPORT BaseWindowLayoutManager_DL : public DynamicListener {
 public:
  explicit BaseWindowLayoutManager_DL(BaseWindowLayoutManager* manager) : m_manager(manager) {}
  ~BaseWindowLayoutManager_DL() override;
  void DynamicCallback(long id, const char* name, void* args) override;

 private:
  BaseWindowLayoutManager* m_manager;
};

class QUELLOR_EXPORT BaseWindowLayoutManager {
 public:
  BaseWindowLayoutManager();
  virtual ~BaseWindowLayoutManager();
  BaseWindowLayoutManager(const BaseWindowLayoutManager&) = delete;
  BaseWindowLayoutManager& operator=(const BaseWindowLayoutManager&) = delete;

  // The rule: rewrites the items (unscrolled positions) for a client area of
  // width by height and returns the list to apply; it may reorder, but every
  // item it does not return it gives back to the pool. Unchanged by default.
  virtual WindowLayout_Item* Layout_ComputeLayout(WindowLayout_Item* list, long width, long height);

  // Lays window's children out (nothing while layouts are held); showAll
  // shows every child.
  virtual void Layout_PerformLayout(HWND window, bool showAll);
  // Holds layouts back while many children change; Finished(true) lays out
  // once when the last hold is let go.
  virtual void MultipleLayouts_Start();
  virtual void MultipleLayouts_Finished(bool relayout);
  // A scroll position changed: lay out again.
  void BWLM_DynamicCallback(long id, char* name, void* args);

  // Bound values (not owned): the scroll position, the scroll maximum and
  // the visible share of each direction. Null unbinds.
  void BaseWindowLayoutManager_X_Slider_SetVariable(Dynamic<float>* value);
  void BaseWindowLayoutManager_X_Slider_SetMaxVariable(Dynamic<float>* value);
  void BaseWindowLayoutManager_X_Slider_SetSliderWidth(Dynamic<float>* value);
  Dynamic<float>* BaseWindowLayoutManager_X_Slider_GetVariable() { return m_xPosition; }
  Dynamic<float>* BaseWindowLayoutManager_X_Slider_GetMaxVariable() { return m_xMaximum; }
  Dynamic<float>* BaseWindowLayoutManager_X_Slider_GetSliderWidth() { return m_xWidth; }
  void BaseWindowLayoutManager_Y_Slider_SetVariable(Dynamic<float>* value);
  void BaseWindowLayoutManager_Y_Slider_SetMaxVariable(Dynamic<float>* value);
  void BaseWindowLayoutManager_Y_Slider_SetSliderWidth(Dynamic<float>* value);
  Dynamic<float>* BaseWindowLayoutManager_Y_Slider_GetVariable() { return m_yPosition; }
  Dynamic<float>* BaseWindowLayoutManager_Y_Slider_GetMaxVariable() { return m_yMaximum; }
  Dynamic<float>* BaseWindowLayoutManager_Y_Slider_GetSliderWidth() { return m_yWidth; }

  int GetScrollOffsetX() const { return m_scrollX; }
  int GetScrollOffsetY() const { return m_scrollY; }
  int GetLayoutHoldCount() const { return m_holdCount; }

 protected:
  // The manager's own window (through its BaseWindowClass); null without one.
  HWND LayoutOwnWindow();

 private:
  friend class BaseWindowLayoutManager_DL;
  enum BoundValue : long { kXPosition, kXMaximum, kXWidth, kYPosition, kYMaximum, kYWidth };
  void Bind(Dynamic<float>*& slot, Dynamic<float>* value, BoundValue which);
  void ValueDeleted(void* talker);
  void PublishRange(long extent, long visible, Dynamic<float>* position, Dynamic<float>* maximum,
                    Dynamic<float>* width);

  int m_holdCount = 0;
  int m_scrollX = 0;
  int m_scrollY = 0;
  Dynamic<float>* m_xPosition = nullptr;
  Dynamic<float>* m_xMaximum = nullptr;
  Dynamic<float>* m_xWidth = nullptr;
  Dynamic<float>* m_yPosition = nullptr;
  Dynamic<float>* m_yMaximum = nullptr;
  Dynamic<float>* m_yWidth = nullptr;
  // Laying out now: scroll values the layout writes itself do not start
  // another, and a request from a child that the layout resized runs once
  // more afterwards.
  bool m_inLayout = false;
  bool m_layoutAgain = false;
  BaseWindowLayoutManager_DL m_listener{this};
};
