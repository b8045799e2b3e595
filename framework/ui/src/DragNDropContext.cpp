// The drag-and-drop listener: presses, clicks, rubber bands and drags.
#include "qlxrapi/DragNDropContext.h"

#include <algorithm>
#include <cstdlib>

#include "qlxrapi/BaseWindowClass.h"
#include "qlxrapi/Control_DragNDrop.h"
#include "qlxrapi/WindowFunctions.h"

namespace {

Control_DragNDrop* DragObject(HWND window) {
  return dynamic_cast<Control_DragNDrop*>(Orvane_GetWindowObject(window));
}

// Only a framework window that is a draggable item changes its selection.
void Select(HWND window, bool selected) {
  BaseWindowClass* object = Orvane_GetWindowObject(window);
  auto* item = dynamic_cast<Control_DragNDrop*>(object);
  if (item != nullptr && item->DragNDrop_ShouldIDragAndDrop(window))
    object->DragAndDrop_SelectMe(selected);
}

bool IsSelected(HWND window) {
  BaseWindowClass* object = Orvane_GetWindowObject(window);
  return object != nullptr && object->DragAndDrop_AmISelected();
}

std::vector<HWND> Children(HWND container) {
  std::vector<HWND> children;
  if (container == nullptr) return children;
  for (HWND child = GetWindow(container, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

void DeselectAll(HWND container) {
  for (HWND child : Children(container))
    if (BaseWindowClass* object = Orvane_GetWindowObject(child))
      object->DragAndDrop_SelectMe(false);
}

std::vector<HWND> SelectedChildren(HWND container) {
  std::vector<HWND> selected;
  for (HWND child : Children(container))
    if (IsSelected(child)) selected.push_back(child);
  return selected;
}

void Announce(HWND window, const char* name) {
  if (BaseWindowClass* object = Orvane_GetWindowObject(window)) object->Changed(name);
}

void ShowDragCursor(int id) {
  SetCursor(DragNDropContext::GetDragCursor(id));
}

POINT ScreenPoint(HWND window, unsigned lParam) {
  POINT p{static_cast<short>(lParam & 0xFFFF), static_cast<short>((lParam >> 16) & 0xFFFF)};
  if (window != nullptr) ClientToScreen(window, &p);
  return p;
}

bool Inside(HWND window, POINT p) {
  RECT r{};
  return window != nullptr && GetWindowRect(window, &r) && p.x >= r.left && p.x < r.right &&
         p.y >= r.top && p.y < r.bottom;
}

bool Touches(const RECT& a, const RECT& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

RECT Spanning(POINT a, POINT b) {
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

}  // namespace

DragNDropContext::DragNDropContext() = default;

DragNDropContext::~DragNDropContext() {
  if (m_active) CancelDrag();
}

void DragNDropContext::PostCallback(HWND, unsigned, unsigned, unsigned) {}

bool DragNDropContext::PreCallback(HWND window, unsigned message, unsigned wParam,
                                   unsigned lParam) {
  // The capture went elsewhere or the windows of the press are gone: the
  // gesture is over.
  if (m_active && !StillHeld()) CancelDrag();
  switch (message) {
    case WM_LBUTTONDOWN:
      return ButtonDown(window, wParam, ScreenPoint(window, lParam));
    case WM_MOUSEMOVE:
      return MouseMove(window, wParam, ScreenPoint(window, lParam));
    case WM_LBUTTONUP:
      ButtonUp(window, wParam, ScreenPoint(window, lParam));
      return false;
    case WM_KEYDOWN:
      if (!m_active || wParam != VK_ESCAPE) return false;
      CancelDrag();
      return true;
    default:
      return false;
  }
}

bool DragNDropContext::StillHeld() {
  if (!IsWindow(m_pressed) || GetCapture() != m_pressed) return false;
  return m_source == nullptr || IsWindow(m_source);
}

bool DragNDropContext::ButtonDown(HWND window, unsigned keys, POINT at) {
  if (GetCapture() != nullptr) return false;
  Control_DragNDrop* object = DragObject(window);
  if (object == nullptr) return false;
  const bool shift = (keys & MK_SHIFT) != 0, control = (keys & MK_CONTROL) != 0;
  if (object->DragNDrop_ShouldIDragAndDrop(window)) {
    Reset();
    SetCapture(window);
    m_pressed = window;
    m_active = true;
    m_source = GetParent(window);
    m_press = at;
    m_selectedBefore = SelectedChildren(m_source);
    if (shift) {
      if (!control) DeselectAll(m_source);
      const std::vector<HWND> children = Children(m_source);
      auto indexOf = [&](HWND w) {
        auto it = std::find(children.begin(), children.end(), w);
        return it == children.end() ? std::size_t{0} : std::size_t(it - children.begin());
      };
      const std::size_t a = indexOf(m_lastClicked), b = indexOf(window);
      for (std::size_t i = std::min(a, b); i <= std::max(a, b) && i < children.size(); ++i)
        Select(children[i], true);
      return true;
    }
    // Ctrl toggles the item on release and leaves the others alone.
    if (IsSelected(window)) {
      m_deselectOnRelease = !control;
    } else if (!control) {
      DeselectAll(m_source);
    }
    if (m_selectedBefore.empty()) {
      Select(window, true);
    } else {
      m_pending = window;
    }
    Announce(window, "DragNDropContext::DragStarted");
    return true;
  }
  if (object->DragNDrop_ShouldIRubberBandSelect(window)) {
    Reset();
    SetCapture(window);
    m_pressed = window;
    m_active = true;
    m_rubberBand = true;
    m_press = m_bandCorner = at;
    if (!control) DeselectAll(window);
    m_selectedBefore = SelectedChildren(window);
    DrawBand();
    Announce(window, "DragNDropContext::RubberbandStarted");
    return true;
  }
  return false;
}

bool DragNDropContext::MouseMove(HWND window, unsigned, POINT at) {
  if (!m_active) {
    if (IsSelected(window)) ShowDragCursor(kCursorSelected);
    return false;
  }
  const bool far = std::abs(at.x - m_press.x) + std::abs(at.y - m_press.y) > kDragDistance;
  if (m_pending != nullptr) {
    if (!far && Inside(m_pending, at)) return true;
    Select(m_pending, true);
    m_pending = nullptr;
    m_deselectOnRelease = false;
    StartDragging();
  } else if (m_rubberBand) {
    UpdateBand(at);
    return true;
  } else if (!m_dragging && IsSelected(m_pressed)) {
    if (!far && Inside(m_pressed, at)) return true;
    StartDragging();
  }
  if (m_dragging) Follow(at, false);
  return true;
}

void DragNDropContext::ButtonUp(HWND window, unsigned keys, POINT at) {
  if (!m_active) return;
  m_active = false;
  if ((keys & MK_SHIFT) == 0) m_lastClicked = window;
  if (GetCapture() == m_pressed) ReleaseCapture();
  if (m_deselectOnRelease) DeselectAll(m_source);
  if (m_pending != nullptr && DragObject(m_pending) != nullptr) {
    if ((keys & MK_CONTROL) != 0)
      Select(m_pending, !IsSelected(m_pending));
    else
      Select(m_pending, true);
  }
  if (m_rubberBand) {
    DrawBand();  // erases it
    Announce(m_pressed, "DragNDropContext::RubberbandEnded");
  }
  if (m_dragging) {
    HWND source = m_source;
    m_active = true;  // the items are still ours while they land
    HWND target = FindTarget(at);
    if (target != nullptr) {
      Follow(at, true);
      Announce(target, "DragNDropContext::DragFinished");
      if (target != source) Announce(source, "DragNDropContext::DragFinishedExited");
    }
    m_active = false;
  }
  Reset();
}

void DragNDropContext::StartDragging() {
  m_dragging = true;
  m_dragList.Clear();
  m_origins.clear();
  std::vector<BaseWindowClass*> items;
  for (HWND child : Children(m_source)) {
    if (!IsSelected(child)) continue;
    items.push_back(Orvane_GetWindowObject(child));
    Origin origin{child, m_source, GetWindow(child, GW_HWNDPREV), RECT{}};
    GetWindowRect(child, &origin.rect);
    MapWindowPoints(nullptr, m_source, reinterpret_cast<POINT*>(&origin.rect), 2);
    m_origins.push_back(origin);
  }
  // Earliest selected first; items selected together keep their order.
  std::stable_sort(items.begin(), items.end(), [](BaseWindowClass* a, BaseWindowClass* b) {
    return a->DragNDrop_SelectedBefore(b);
  });
  for (BaseWindowClass* item : items) {
    Control_DragNDrop_DropInfo info;
    info.window = item->GetWindowHandle();
    RECT r{};
    GetWindowRect(info.window, &r);
    info.startLeft = info.newLeft = r.left;
    info.startTop = info.newTop = r.top;
    info.startRight = info.newRight = r.right;
    info.startBottom = info.newBottom = r.bottom;
    m_dragList.AddItem(info);
  }
}

bool DragNDropContext::IsDragged(HWND window) {
  for (std::uint32_t i = 0; i < m_dragList.GetNoItems(); ++i)
    for (HWND at = window; at != nullptr; at = GetParent(at))
      if (at == m_dragList[i].window) return true;
  return false;
}

HWND DragNDropContext::FindTarget(POINT at) {
  HWND candidate = Inside(m_source, at) ? m_source : WindowFromPoint(at);
  for (HWND window = candidate; window != nullptr; window = GetParent(window)) {
    // Never into a dragged window or one inside it.
    if (IsDragged(window)) continue;
    Control_DragNDrop* object = DragObject(window);
    if (object != nullptr && object->DragNDrop_CanItemsBeDroppedHere(window, &m_dragList))
      return window;
  }
  return nullptr;
}

void DragNDropContext::Follow(POINT at, bool finished) {
  // Items destroyed during the drag leave the list.
  for (std::uint32_t i = m_dragList.GetNoItems(); i-- > 0;)
    if (!IsWindow(m_dragList[i].window)) m_dragList.RemoveItemAtInOrder(i);
  HWND target = FindTarget(at);
  if (target == nullptr) {
    ShowDragCursor(kCursorNoTarget);
    return;
  }
  const int dx = at.x - m_press.x, dy = at.y - m_press.y;
  for (std::uint32_t i = 0; i < m_dragList.GetNoItems(); ++i) {
    Control_DragNDrop_DropInfo& info = m_dragList[i];
    POINT corners[2] = {{info.startLeft + dx, info.startTop + dy},
                        {info.startRight + dx, info.startBottom + dy}};
    MapWindowPoints(nullptr, target, corners, 2);
    info.newLeft = corners[0].x;
    info.newTop = corners[0].y;
    info.newRight = corners[1].x;
    info.newBottom = corners[1].y;
  }
  ShowDragCursor(kCursorTarget);
  POINT local = at;
  ScreenToClient(target, &local);
  m_lastTarget = target;
  DragObject(target)->DragNDrop_DropItemsHere(target, local.x, local.y, &m_dragList, false,
                                              finished);
}

void DragNDropContext::UpdateBand(POINT at) {
  DrawBand();  // erases the band drawn last
  const RECT band = Spanning(m_press, m_bandCorner);
  for (HWND child : Children(m_pressed)) {
    RECT r{};
    GetWindowRect(child, &r);
    const bool before = std::find(m_selectedBefore.begin(), m_selectedBefore.end(), child) !=
                        m_selectedBefore.end();
    Select(child, Touches(r, band) ? !before : before);
  }
  m_bandCorner = at;
  DrawBand();
}

void DragNDropContext::DrawBand() {
  // A dotted white outline drawn with XOR over the container: drawing it
  // twice erases it.
  if (m_pressed == nullptr || !IsWindow(m_pressed)) return;
  HDC dc = GetDC(m_pressed);
  if (dc == nullptr) return;
  RECT band = Spanning(m_press, m_bandCorner);
  MapWindowPoints(nullptr, m_pressed, reinterpret_cast<POINT*>(&band), 2);
  HPEN pen = CreatePen(PS_DOT, 0, RGB(255, 255, 255));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  const int oldMode = SetROP2(dc, R2_XORPEN);
  const int oldBackground = SetBkMode(dc, TRANSPARENT);
  Rectangle(dc, band.left, band.top, band.right + 1, band.bottom + 1);
  SetBkMode(dc, oldBackground);
  SetROP2(dc, oldMode);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  ReleaseDC(m_pressed, dc);
  m_bandDrawn = !m_bandDrawn;
}

void DragNDropContext::CancelDrag() {
  if (!m_active) return;
  if (m_rubberBand) {
    if (m_bandDrawn) DrawBand();
    for (HWND child : Children(IsWindow(m_pressed) ? m_pressed : nullptr))
      Select(child, std::find(m_selectedBefore.begin(), m_selectedBefore.end(), child) !=
                        m_selectedBefore.end());
  }
  if (m_dragging) {
    // Back under the old container, at the old place and z-order.
    for (const Origin& origin : m_origins) {
      if (!IsWindow(origin.window) || !IsWindow(origin.parent)) continue;
      if (GetParent(origin.window) != origin.parent) SetParent(origin.window, origin.parent);
      HWND after = origin.after != nullptr && IsWindow(origin.after) &&
                           GetParent(origin.after) == origin.parent
                       ? origin.after
                       : HWND_TOP;
      SetWindowPos(origin.window, after, origin.rect.left, origin.rect.top,
                   origin.rect.right - origin.rect.left, origin.rect.bottom - origin.rect.top,
                   SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
    if (m_lastTarget != nullptr && m_lastTarget != m_source && IsWindow(m_lastTarget))
      Orvane_PerformLayout(m_lastTarget);
    if (IsWindow(m_source)) Orvane_PerformLayout(m_source);
  }
  HWND announcer = m_source != nullptr ? m_source : m_pressed;
  if (IsWindow(announcer)) Announce(announcer, "DragNDropContext::DragCancelled");
  if (m_pressed != nullptr && GetCapture() == m_pressed) ReleaseCapture();
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  Reset();
}

void DragNDropContext::Reset() {
  m_active = m_dragging = m_rubberBand = m_deselectOnRelease = m_bandDrawn = false;
  m_source = m_pressed = m_pending = m_lastTarget = nullptr;
  m_selectedBefore.clear();
  m_origins.clear();
  m_dragList.Clear();
}
