#include "qlxrapi/SingleDirScroller.h"

#include <algorithm>

#include "ControlSupport.h"
#include "qlxrapi/ControlWindowClasses.h"

using quellor::win::DeletedTalker;
using quellor::win::IsDeleteNotice;

QLXRAPI_CONTROL_CLASS(SingleDirScroller);

SingleDirScroller::SingleDirScroller() = default;

SingleDirScroller::~SingleDirScroller() {
  RemoveAllDependantsToThis();
}

float SingleDirScroller::Share(long view, long content) {
  if (content <= 0) return 1.0f;
  return std::clamp(static_cast<float>(view) / static_cast<float>(content), 0.0f, 1.0f);
}

void SingleDirScroller::Bind(Dynamic<float>*& slot, Dynamic<float>* value) {
  if (value == slot) return;
  if (slot != nullptr) slot->DeleteDependant(this);
  slot = value;
  if (slot != nullptr) slot->AddDependant(this, kMovingValue);
  Update();
}

void SingleDirScroller::SetWidthVar(Dynamic<float>* value) {
  Bind(m_widthShare, value);
}

void SingleDirScroller::SetHeightVar(Dynamic<float>* value) {
  Bind(m_heightShare, value);
}

void SingleDirScroller::SetScrollX(bool on) {
  if (on == m_scrollsX) return;
  m_scrollsX = on;
  FitContent();
}

void SingleDirScroller::SetScrollY(bool on) {
  if (on == m_scrollsY) return;
  m_scrollsY = on;
  FitContent();
}

void SingleDirScroller::FitContent() {
  HWND content = GetContentWindow();
  if (GetWindowHandle() == nullptr || content == nullptr || !IsWindow(content)) return;
  RECT size{};
  GetClientRect(content, &size);
  const long width = m_scrollsX ? size.right : GetWindowWidth();
  const long height = m_scrollsY ? size.bottom : GetWindowHeight();
  if (width != size.right || height != size.bottom)
    SetWindowPos(content, nullptr, 0, 0, static_cast<int>(width), static_cast<int>(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Update();
}

void SingleDirScroller::Update() {
  HWND content = GetContentWindow();
  if (m_updating || GetWindowHandle() == nullptr || content == nullptr || !IsWindow(content))
    return;
  // Publishing a share reports back here.
  m_updating = true;
  RECT size{};
  GetClientRect(content, &size);
  if (m_widthShare != nullptr) m_widthShare->Set(Share(GetWindowWidth(), size.right), "Changed");
  if (m_heightShare != nullptr)
    m_heightShare->Set(Share(GetWindowHeight(), size.bottom), "Changed");
  PositionContent();
  ::InvalidateRect(content, nullptr, FALSE);
  m_updating = false;
}

void SingleDirScroller::ScrollValuesChanged() {
  Update();
}

void SingleDirScroller::DynamicCallback(long id, const char* name, void* args) {
  if (IsDeleteNotice(name)) {
    DynamicTalker* gone = DeletedTalker(args);
    if (m_widthShare != nullptr && gone == m_widthShare) m_widthShare = nullptr;
    if (m_heightShare != nullptr && gone == m_heightShare) m_heightShare = nullptr;
  }
  UtilLib_Scroller::DynamicCallback(id, name, args);
}

void SingleDirScroller::WindowSized(long width, long height) {
  UtilLib_Scroller::WindowSized(width, height);
  FitContent();
}
