// Layout managers: snapshot, rule, scroll range and apply.
#include "qlxrapi/BaseWindowLayoutManager.h"

#include <cstring>
#include <utility>

#include "qlxrapi/BaseWindowClass.h"
#include "qlxrapi/WindowLayout.h"

namespace {

// A layout resizes children, and a resized child asks its parent to lay out
// again; such requests made during a layout are run afterwards, this many
// times at most (a child that fights its layout cannot loop for ever).
constexpr int kLayoutRepeats = 4;

struct Box {
  long left, top, right, bottom;
};

Box BoundingBox(const WindowLayout_Item* list) {
  if (list == nullptr) return Box{0, 0, 1, 1};
  Box box{list->x, list->y, list->x + list->width, list->y + list->height};
  for (const WindowLayout_Item* item = list->next; item != nullptr; item = item->next) {
    if (item->x < box.left) box.left = item->x;
    if (item->y < box.top) box.top = item->y;
    if (item->x + item->width > box.right) box.right = item->x + item->width;
    if (item->y + item->height > box.bottom) box.bottom = item->y + item->height;
  }
  return box;
}

}  // namespace

BaseWindowLayoutManager_DL::~BaseWindowLayoutManager_DL() {
  RemoveAllDependantsToThis();
}

void BaseWindowLayoutManager_DL::DynamicCallback(long id, const char* name, void* args) {
  if (name != nullptr && std::strcmp(name, "DynamicTalker::Delete") == 0) {
    m_manager->ValueDeleted(static_cast<void**>(args)[0]);
    return;
  }
  // Only the positions lay out; the maximum and the share are written by
  // the layout itself.
  if (id == BaseWindowLayoutManager::kXPosition || id == BaseWindowLayoutManager::kYPosition)
    m_manager->BWLM_DynamicCallback(id, const_cast<char*>(name), args);
}

BaseWindowLayoutManager::BaseWindowLayoutManager() = default;

BaseWindowLayoutManager::~BaseWindowLayoutManager() {
  m_listener.RemoveAllDependantsToThis();
}

WindowLayout_Item* BaseWindowLayoutManager::Layout_ComputeLayout(WindowLayout_Item* list, long,
                                                                 long) {
  return list;
}

HWND BaseWindowLayoutManager::LayoutOwnWindow() {
  auto* window = dynamic_cast<BaseWindowClass*>(this);
  return window != nullptr ? window->GetWindowHandle() : nullptr;
}

void BaseWindowLayoutManager::PublishRange(long extent, long visible, Dynamic<float>* position,
                                           Dynamic<float>* maximum, Dynamic<float>* width) {
  if (extent < visible) {
    if (position != nullptr) position->Set(0.0f);
    if (maximum != nullptr) maximum->Set(static_cast<float>(visible));
    if (width != nullptr) width->Set(static_cast<float>(visible));
  } else {
    const float most = static_cast<float>(extent - visible);
    if (maximum != nullptr) maximum->Set(most);
    // extent is at least 1 here (visible is never negative).
    if (width != nullptr)
      width->Set(most * static_cast<float>(visible) / static_cast<float>(extent));
  }
  if (position != nullptr && maximum != nullptr && position->Get() > maximum->Get())
    position->Set(maximum->Get());
}

void BaseWindowLayoutManager::Layout_PerformLayout(HWND window, bool showAll) {
  if (m_holdCount > 0 || window == nullptr) return;
  if (m_inLayout) {
    m_layoutAgain = true;
    return;
  }
  m_inLayout = true;
  for (int round = 0; round < kLayoutRepeats; ++round) {
    m_layoutAgain = false;
    RECT client{};
    GetClientRect(window, &client);
    const long width = client.right, height = client.bottom;
    WindowLayout_Item* list = WindowLayout::GetLayout(window);
    for (WindowLayout_Item* item = list; item != nullptr; item = item->next) {
      item->x += m_scrollX;
      item->y += m_scrollY;
    }
    list = Layout_ComputeLayout(list, width, height);
    const Box box = BoundingBox(list);
    PublishRange(box.right - box.left, width, m_xPosition, m_xMaximum, m_xWidth);
    PublishRange(box.bottom - box.top, height, m_yPosition, m_yMaximum, m_yWidth);
    m_scrollX = m_xPosition != nullptr ? static_cast<int>(m_xPosition->Get()) : 0;
    m_scrollY = m_yPosition != nullptr ? static_cast<int>(m_yPosition->Get()) : 0;
    for (WindowLayout_Item* item = list; item != nullptr; item = item->next) {
      item->x -= m_scrollX;
      item->y -= m_scrollY;
      if (showAll) item->visible = true;
    }
    WindowLayout::PerformLayout(window, list);
    WindowLayout::FreeLayout(list);
    if (!m_layoutAgain || !IsWindow(window)) break;
  }
  m_inLayout = false;
  m_layoutAgain = false;
}

void BaseWindowLayoutManager::MultipleLayouts_Start() {
  ++m_holdCount;
}

void BaseWindowLayoutManager::MultipleLayouts_Finished(bool relayout) {
  if (m_holdCount > 1) {
    --m_holdCount;
    return;
  }
  m_holdCount = 0;
  if (relayout) Layout_PerformLayout(LayoutOwnWindow(), true);
}

void BaseWindowLayoutManager::BWLM_DynamicCallback(long, char*, void*) {
  // Positions the layout writes itself are read back by that layout.
  if (m_inLayout) return;
  Layout_PerformLayout(LayoutOwnWindow(), false);
}

void BaseWindowLayoutManager::Bind(Dynamic<float>*& slot, Dynamic<float>* value, BoundValue which) {
  if (slot == value) return;
  Dynamic<float>* old = slot;
  slot = value;
  // The listener leaves the old value unless it still watches it in another
  // role; it watches every bound value, so that one deleted before this
  // manager is let go of rather than written to.
  if (old != nullptr) {
    old->DeleteDependant(&m_listener);
    const std::pair<Dynamic<float>*, BoundValue> roles[] = {
        {m_xPosition, kXPosition}, {m_xMaximum, kXMaximum}, {m_xWidth, kXWidth},
        {m_yPosition, kYPosition}, {m_yMaximum, kYMaximum}, {m_yWidth, kYWidth}};
    for (const auto& [other, id] : roles)
      if (other == old) old->AddDependant(&m_listener, id);
  }
  if (value != nullptr) value->AddDependant(&m_listener, which);
}

void BaseWindowLayoutManager::ValueDeleted(void* talker) {
  for (Dynamic<float>** slot :
       {&m_xPosition, &m_xMaximum, &m_xWidth, &m_yPosition, &m_yMaximum, &m_yWidth})
    if (static_cast<DynamicTalker*>(*slot) == talker) *slot = nullptr;
}

void BaseWindowLayoutManager::BaseWindowLayoutManager_X_Slider_SetVariable(Dynamic<float>* v) {
  Bind(m_xPosition, v, kXPosition);
}
void BaseWindowLayoutManager::BaseWindowLayoutManager_X_Slider_SetMaxVariable(Dynamic<float>* v) {
  Bind(m_xMaximum, v, kXMaximum);
}
void BaseWindowLayoutManager::BaseWindowLayoutManager_X_Slider_SetSliderWidth(Dynamic<float>* v) {
  Bind(m_xWidth, v, kXWidth);
}
void BaseWindowLayoutManager::BaseWindowLayoutManager_Y_Slider_SetVariable(Dynamic<float>* v) {
  Bind(m_yPosition, v, kYPosition);
}
void BaseWindowLayoutManager::BaseWindowLayoutManager_Y_Slider_SetMaxVariable(Dynamic<float>* v) {
  Bind(m_yMaximum, v, kYMaximum);
}
void BaseWindowLayoutManager::BaseWindowLayoutManager_Y_Slider_SetSliderWidth(Dynamic<float>* v) {
  Bind(m_yWidth, v, kYWidth);
}
