#include "qlxrapi/UtilLib_Scroller.h"

#include <algorithm>
#include <cmath>

#include "ControlSupport.h"
#include "qlxrapi/ControlWindowClasses.h"

using quellor::win::DeletedTalker;
using quellor::win::IsDeleteNotice;
using quellor::win::IsWindowNotice;

QLXRAPI_CONTROL_CLASS(UtilLib_Scroller);

UtilLib_Scroller::UtilLib_Scroller() : m_scrollX(&m_ownScrollX), m_scrollY(&m_ownScrollY) {
  m_scrollX->AddDependant(this, kMovingValue);
  m_scrollY->AddDependant(this, kMovingValue);
}

UtilLib_Scroller::~UtilLib_Scroller() {
  RemoveAllDependantsToThis();
}

long UtilLib_Scroller::ContentOffset(long view, long content, float scroll) {
  if (content < view) return 0;
  if (!(scroll >= 0.0f)) scroll = 0.0f;  // not a number too
  scroll = std::min(scroll, 1.0f);
  return -static_cast<long>(static_cast<float>(content - view) * scroll);
}

void UtilLib_Scroller::Bind(Dynamic<float>*& slot, Dynamic<float>* value, Dynamic<float>* own) {
  if (value == nullptr) value = own;
  if (value == slot) return;
  if (slot != nullptr) slot->DeleteDependant(this);
  slot = value;
  slot->AddDependant(this, kMovingValue);
  PositionContent();
}

void UtilLib_Scroller::UtilLib_Scroller_SetScrollX(Dynamic<float>* value) {
  Bind(m_scrollX, value, &m_ownScrollX);
}

void UtilLib_Scroller::UtilLib_Scroller_SetScrollY(Dynamic<float>* value) {
  Bind(m_scrollY, value, &m_ownScrollY);
}

HWND UtilLib_Scroller::OpenChild(char* className, long, long, long width, long height) {
  if (m_content != nullptr) {
    HWND old = m_content;
    m_content = nullptr;
    if (IsWindow(old)) ::DestroyWindow(old);
  }
  m_content = BaseWindowClass::OpenChild(className, 0, 0, width, height, WS_CHILD | WS_VISIBLE);
  PositionContent();
  return m_content;
}

void UtilLib_Scroller::PositionContent() {
  HWND window = GetWindowHandle();
  if (window == nullptr || m_content == nullptr || !IsWindow(m_content) || m_positioning) return;
  // Moving the content reports back as a child move: no second pass.
  m_positioning = true;
  RECT content{};
  GetClientRect(m_content, &content);
  const long x = ContentOffset(GetWindowWidth(), content.right, fUtilLib_Scroller_GetScrollX());
  const long y = ContentOffset(GetWindowHeight(), content.bottom, fUtilLib_Scroller_GetScrollY());
  RECT now{};
  GetControlPosition(m_content, &now);
  // The content draws itself afresh at its new place.
  if (now.left != x || now.top != y)
    SetWindowPos(m_content, nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
  m_positioning = false;
}

void UtilLib_Scroller::DynamicCallback(long id, const char* name, void* args) {
  if (IsDeleteNotice(name)) {
    DynamicTalker* gone = DeletedTalker(args);
    // A scroller outlives the values bound to it.
    if (gone == m_scrollX && m_scrollX != &m_ownScrollX) {
      m_scrollX = &m_ownScrollX;
      m_scrollX->AddDependant(this, kMovingValue);
    }
    if (gone == m_scrollY && m_scrollY != &m_ownScrollY) {
      m_scrollY = &m_ownScrollY;
      m_scrollY->AddDependant(this, kMovingValue);
    }
    UtilLib_Canvas::DynamicCallback(id, name, args);
    return;
  }
  if (IsWindowNotice(name)) return;
  if (id == kMovingValue)
    ScrollValuesChanged();
  else
    UtilLib_Canvas::DynamicCallback(id, name, args);
}

void UtilLib_Scroller::ScrollValuesChanged() {
  PositionContent();
}

void UtilLib_Scroller::WindowSized(long width, long height) {
  UtilLib_Canvas::WindowSized(width, height);
  PositionContent();
}

void UtilLib_Scroller::Child_Destroyed(HWND child) {
  if (child == m_content) m_content = nullptr;
}

void UtilLib_Scroller::ChildWindowSized(HWND child) {
  if (child == m_content) PositionContent();
}
