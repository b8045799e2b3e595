#include "qlxrapi/UtilLib_Button.h"

#include <algorithm>

#include "ControlSupport.h"
#include "qlxrapi/ControlWindowClasses.h"

using quellor::win::DeletedTalker;
using quellor::win::IsDeleteNotice;
using quellor::win::IsWindowNotice;

QLXRAPI_CONTROL_CLASS(UtilLib_Button);

namespace {

// For each state, its own resource and then the fallbacks, by state number.
constexpr int kFallbacks[Controls_Button::kStates][Controls_Button::kStates] = {
    {0, 2, 1, 3}, {1, 3, 0, 2}, {2, 0, 1, 3}, {3, 1, 2, 0}};

const char* const kDefaultNames[Controls_Button::kStates] = {
    "DEFAULTRESOURCE_BUTTON_UP", "DEFAULTRESOURCE_BUTTON_DOWN",
    "DEFAULTRESOURCE_BUTTON_UP_ROLLOVER", "DEFAULTRESOURCE_BUTTON_DOWN_ROLLOVER"};

}  // namespace

UtilLib_Button::UtilLib_Button() : m_variable(&m_ownVariable) {
  m_variable->AddDependant(this, 0);
  AddDependant(this, 0);
}

UtilLib_Button::~UtilLib_Button() {
  RemoveAllDependantsToThis();
}

void UtilLib_Button::Button_SetSelectedState(int state) {
  if (state == m_selectedState) return;
  m_selectedState = state;
  if (GetWindowHandle() != nullptr) RePaint();
}

void UtilLib_Button::Button_UseVariable(Dynamic<int>* variable) {
  if (variable == nullptr) variable = &m_ownVariable;
  if (variable == m_variable) return;
  m_variable->DeleteDependant(this);
  m_variable = variable;
  m_variable->AddDependant(this, 0);
  if (GetWindowHandle() != nullptr) RePaint();
}

bool UtilLib_Button::HoldsResource(ScreenObject* resource, int except) const {
  for (int state = 0; state < kStates; ++state)
    if (state != except && m_resources[state] == resource) return true;
  return false;
}

void UtilLib_Button::Button_SetResource(int state, ScreenObject* resource) {
  if (state < 0 || state >= kStates || m_resources[state] == resource) return;
  ScreenObject* old = m_resources[state];
  m_resources[state] = resource;
  if (old != nullptr && !HoldsResource(old, -1)) old->DeleteDependant(this);
  if (resource != nullptr && !HoldsResource(resource, state)) resource->AddDependant(this, 0);
  LookChanged();
}

ScreenObject* UtilLib_Button::Button_GetResource(int state) {
  return state < 0 || state >= kStates ? nullptr : m_resources[state];
}

ScreenObject* UtilLib_Button::StateResource(int state) {
  if (state < 0 || state >= kStates) return nullptr;
  for (int candidate : kFallbacks[state])
    if (m_resources[candidate] != nullptr) return m_resources[candidate];
  return nullptr;
}

ScreenObject* UtilLib_Button::ResolveResource(int state) {
  if (ScreenObject* own = StateResource(state)) return own;
  if (state < 0 || state >= kStates) return nullptr;
  return GetResource(const_cast<char*>(kDefaultNames[state]));
}

long UtilLib_Button::LayoutHints_GetPreferedXSize() {
  long size = -1;
  for (int state = 0; state < kStates; ++state)
    if (ScreenObject* object = ResolveResource(state))
      size = std::max(size, object->ScreenObject_GetPreferedXSize());
  return size;
}

long UtilLib_Button::LayoutHints_GetPreferedYSize() {
  long size = -1;
  for (int state = 0; state < kStates; ++state)
    if (ScreenObject* object = ResolveResource(state))
      size = std::max(size, object->ScreenObject_GetPreferedYSize());
  return size;
}

void UtilLib_Button::LookChanged() {
  quellor::win::RepaintOrResize(this, LayoutHints_GetPreferedXSize(),
                                LayoutHints_GetPreferedYSize());
}

void UtilLib_Button::DynamicCallback(long, const char* name, void* args) {
  if (IsDeleteNotice(name)) {
    DynamicTalker* gone = DeletedTalker(args);
    // A control outlives what it was bound to: a lost variable gives way to
    // the button's own.
    if (gone == m_variable && m_variable != &m_ownVariable) {
      m_variable = &m_ownVariable;
      m_variable->AddDependant(this, 0);
    }
    for (ScreenObject*& resource : m_resources)
      if (resource != nullptr && static_cast<DynamicTalker*>(resource) == gone) resource = nullptr;
    return;
  }
  if (IsWindowNotice(name)) return;
  LookChanged();
}

void UtilLib_Button::PaintWindow(HWND window, HDC dc) {
  const int state = (m_rolloverLook ? 2 : 0) + (Button_IsPressed() ? 1 : 0);
  if (ScreenObject* object = ResolveResource(state)) object->ScreenObject_DrawItem(window, dc);
  m_lastDrawnState = state;
}

void UtilLib_Button::DestroyWindow() {
  m_tracking = false;
  ExclusiveInput(false);
}

void UtilLib_Button::ButtonClick() {
  m_tracking = true;
  m_valueBefore = m_variable->Get();
  m_valueWritten = m_selectedState;
  m_variable->Set(m_valueWritten);
  ExclusiveInput(true);
  Changed("Button::Clicked");
  Changed("Button::DragToggleOn");
}

void UtilLib_Button::ButtonRelease() {
  m_tracking = false;
  ExclusiveInput(false);
  Changed(Button_IsPressed() ? "Button::ReleasedOn" : "Button::ReleasedOff");
  if (m_rolloverLook != m_mouseOver) {
    m_rolloverLook = m_mouseOver;
    RePaint();
  }
}

void UtilLib_Button::MouseLButtonClick(long, long, long) {
  m_trackedInside = true;
  ButtonClick();
}

void UtilLib_Button::MouseLButtonDblClick(long keys, long x, long y) {
  if (!m_tracking) UtilLib_Button::MouseLButtonClick(keys, x, y);
}

void UtilLib_Button::MouseLButtonRelease(long, long, long) {
  if (m_tracking) ButtonRelease();
}

void UtilLib_Button::MouseMoved(long keys, long x, long y) {
  BaseWindowClass::MouseMoved(keys, x, y);
  if (!m_tracking) return;
  const bool inside = x >= 0 && y >= 0 && x < GetWindowWidth() && y < GetWindowHeight();
  if (!inside && m_trackedInside) {
    m_trackedInside = false;
    if (m_variable->Get() != m_valueWritten) return;
    m_variable->Set(m_valueBefore);
    Changed("Button::DragToggleOff");
  } else if (inside && !m_trackedInside) {
    m_trackedInside = true;
    if (m_variable->Get() != m_valueBefore) return;
    m_variable->Set(m_valueWritten);
    Changed("Button::DragToggleOn");
  }
}

void UtilLib_Button::MouseEnter() {
  m_mouseOver = true;
  m_rolloverLook = true;
  RePaint();
}

void UtilLib_Button::MouseExit() {
  m_mouseOver = false;
  if (m_tracking) return;
  m_rolloverLook = false;
  RePaint();
}
