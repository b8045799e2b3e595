// The screen-object family: drawing entry points, nothing, a colour, one
// child, a stack of children.
#include "qlxrapi/ScreenObject.h"

#include <algorithm>
#include <cstring>

#include "ResourceRegistry.h"

ScreenObject::~ScreenObject() {
  quellor::win::ForgetResource(this);
}

bool ScreenObject::ScreenObject_DrawItem(HWND window) {
  HDC dc = GetDC(window);
  if (dc == nullptr) return false;
  const bool drawn = ScreenObject_DrawItem(window, dc);
  ReleaseDC(window, dc);
  return drawn;
}

bool ScreenObject::ScreenObject_DrawItem(HWND window, HDC dc) {
  RECT client{};
  if (!GetClientRect(window, &client)) return false;
  return ScreenObject_RAW_DrawItem(&client, dc, nullptr);
}

bool ScreenObject::ScreenObject_DrawItem(RECT* rect, HDC dc) {
  return ScreenObject_RAW_DrawItem(rect, dc, nullptr);
}

bool ScreenObject::ScreenObject_DrawItem(RECT* rect, HDC dc, RECT* clip) {
  return ScreenObject_RAW_DrawItem(rect, dc, clip);
}

ScreenObjectClip::ScreenObjectClip(HDC dc, const RECT* clip)
    : m_dc(dc), m_clipped(clip != nullptr) {
  if (!m_clipped) return;
  HRGN region = CreateRectRgn(clip->left, clip->top, clip->right, clip->bottom);
  SelectClipRgn(dc, region);
  DeleteObject(region);
}

ScreenObjectClip::~ScreenObjectClip() {
  if (m_clipped) SelectClipRgn(m_dc, nullptr);
}

ScreenObjectNull::ScreenObjectNull(char* name) {
  if (name != nullptr) BuildResource(name, this);
}

bool ScreenObjectNull::ScreenObject_RAW_DrawItem(RECT*, HDC, RECT*) {
  return true;
}

void ScreenObjectNull::ScreenObject_SetPreferedXSize(long size) {
  m_x = size;
  Changed("Changed");
}

void ScreenObjectNull::ScreenObject_SetPreferedYSize(long size) {
  m_y = size;
  Changed("Changed");
}

bool ScreenObjectSolid::ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) {
  if (rect == nullptr || dc == nullptr) return false;
  ScreenObjectClip clipping(dc, clip);
  HBRUSH brush = CreateSolidBrush(RGB(m_r, m_g, m_b));
  // Left..right and top..bottom inclusive: one pixel past the rectangle.
  RECT filled{rect->left, rect->top, rect->right + 1, rect->bottom + 1};
  const bool drawn = FillRect(dc, &filled, brush) != 0;
  DeleteObject(brush);
  return drawn;
}

void ScreenObjectSolid::ScreenObjectSolid_SetColor(unsigned r, unsigned g, unsigned b) {
  m_r = r & 0xFF;
  m_g = g & 0xFF;
  m_b = b & 0xFF;
}

void ScreenObjectSolid::ScreenObjectSolid_GetColor(unsigned& r, unsigned& g, unsigned& b) {
  r = m_r;
  g = m_g;
  b = m_b;
}

ScreenObject_Container::ScreenObject_Container(ScreenObject* child) {
  ChangeChildItem(child);
}

ScreenObject_Container::~ScreenObject_Container() {
  RemoveAllDependantsToThis();
  ScreenObject* child = m_child;
  m_child = nullptr;
  delete child;
}

void ScreenObject_Container::ChangeChildItem(ScreenObject* child) {
  if (child == m_child) return;
  if (m_child != nullptr) {
    m_child->DeleteDependant(this);
    delete m_child;
  }
  m_child = child;
  if (m_child != nullptr) m_child->AddDependant(this, 0);
}

ScreenObject* ScreenObject_Container::ReleaseChildItem() {
  ScreenObject* child = m_child;
  if (child != nullptr) child->DeleteDependant(this);
  m_child = nullptr;
  return child;
}

bool ScreenObject_Container::ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) {
  return m_child == nullptr || m_child->ScreenObject_RAW_DrawItem(rect, dc, clip);
}

long ScreenObject_Container::ScreenObject_GetPreferedXSize() {
  return m_child ? m_child->ScreenObject_GetPreferedXSize() : -1;
}

long ScreenObject_Container::ScreenObject_GetPreferedYSize() {
  return m_child ? m_child->ScreenObject_GetPreferedYSize() : -1;
}

void ScreenObject_Container::DynamicCallback(long, const char* name, void* args) {
  // The child going away is its own affair, not a change of look.
  if (std::strcmp(name, "DynamicTalker::Delete") == 0) {
    if (m_child != nullptr && *static_cast<void**>(args) == static_cast<DynamicTalker*>(m_child))
      m_child = nullptr;
    return;
  }
  ChangedARGS(name, args);
}

ScreenObject_Composite::~ScreenObject_Composite() {
  RemoveAllDependantsToThis();
  while (m_children.GetNoItems() > 0) ScreenObject_Composite_DeleteChild(0ul);
}

void ScreenObject_Composite::ScreenObject_Composite_AddChild(ScreenObject* child, bool owned) {
  ScreenObject_Composite_AddChild(m_children.GetNoItems(), child, owned);
}

void ScreenObject_Composite::ScreenObject_Composite_AddChild(unsigned long index,
                                                             ScreenObject* child, bool owned) {
  if (child == nullptr) return;
  const std::uint32_t count = m_children.GetNoItems();
  const std::uint32_t at = static_cast<std::uint32_t>(std::min<unsigned long>(index, count));
  if (!m_children.AddItem(child)) return;
  if (!m_owned.AddItem(owned)) {
    m_children.RemoveItemAtInOrder(count);
    return;
  }
  // Move the new pair from the end to its place, keeping the order.
  for (std::uint32_t i = count; i > at; --i) {
    std::swap(m_children[i], m_children[i - 1]);
    std::swap(m_owned[i], m_owned[i - 1]);
  }
  child->AddDependant(this, 0);
}

void ScreenObject_Composite::ScreenObject_Composite_DeleteChild(unsigned long index) {
  if (index >= m_children.GetNoItems()) return;
  const auto at = static_cast<std::uint32_t>(index);
  ScreenObject* child = m_children[at];
  const bool owned = m_owned[at];
  m_children.RemoveItemAtInOrder(at);
  m_owned.RemoveItemAtInOrder(at);
  bool stillHeld = false;
  for (std::uint32_t i = 0; i < m_children.GetNoItems(); ++i) stillHeld |= m_children[i] == child;
  if (!stillHeld) child->DeleteDependant(this);
  if (owned) delete child;
}

void ScreenObject_Composite::ScreenObject_Composite_DeleteChild(ScreenObject* child) {
  for (std::uint32_t i = 0; i < m_children.GetNoItems(); ++i)
    if (m_children[i] == child)
      return ScreenObject_Composite_DeleteChild(static_cast<unsigned long>(i));
}

bool ScreenObject_Composite::ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) {
  bool all = true;
  for (std::uint32_t i = 0; i < m_children.GetNoItems(); ++i)
    all = m_children[i]->ScreenObject_RAW_DrawItem(rect, dc, clip) && all;
  return all;
}

long ScreenObject_Composite::ScreenObject_GetPreferedXSize() {
  long largest = -1;
  for (std::uint32_t i = 0; i < m_children.GetNoItems(); ++i)
    largest = std::max(largest, m_children[i]->ScreenObject_GetPreferedXSize());
  return largest;
}

long ScreenObject_Composite::ScreenObject_GetPreferedYSize() {
  long largest = -1;
  for (std::uint32_t i = 0; i < m_children.GetNoItems(); ++i)
    largest = std::max(largest, m_children[i]->ScreenObject_GetPreferedYSize());
  return largest;
}

void ScreenObject_Composite::DynamicCallback(long, const char* name, void* args) {
  if (std::strcmp(name, "DynamicTalker::Delete") == 0) {
    // A child deleted by someone else leaves the stack rather than dangle.
    void* gone = *static_cast<void**>(args);
    for (std::uint32_t i = m_children.GetNoItems(); i-- > 0;)
      if (static_cast<DynamicTalker*>(m_children[i]) == gone) {
        m_children.RemoveItemAtInOrder(i);
        m_owned.RemoveItemAtInOrder(i);
      }
    return;
  }
  ChangedARGS(name, args);
}
