#include "qlxrapi/UtilLib_Edit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "ControlSupport.h"
#include "qlxrapi/ControlWindowClasses.h"
#include "qlxrapi/WindowMessages.h"

using quellor::win::DeletedTalker;
using quellor::win::IsDeleteNotice;
using quellor::win::IsWindowNotice;

QLXRAPI_CONTROL_CLASS(UtilLib_Edit);

namespace {

// The edit windows whose procedure an UtilLib_Edit replaced. Window thread
// only.
std::vector<std::pair<HWND, UtilLib_Edit*>>& Edits() {
  static std::vector<std::pair<HWND, UtilLib_Edit*>> edits;  // freed at unload
  return edits;
}

UtilLib_Edit* EditOf(HWND window) {
  for (auto& [edit, object] : Edits())
    if (edit == window) return object;
  return nullptr;
}

void Forget(HWND window) {
  auto& edits = Edits();
  for (auto it = edits.begin(); it != edits.end(); ++it)
    if (it->first == window) {
      edits.erase(it);
      return;
    }
}

float ReadNumber(const char* text) {
  return static_cast<float>(std::strtod(text, nullptr));
}

}  // namespace

UtilLib_Edit::UtilLib_Edit() = default;

UtilLib_Edit::~UtilLib_Edit() {
  RemoveAllDependantsToThis();
  ReleaseEdit();
}

void UtilLib_Edit::ReleaseEdit() {
  if (m_edit == nullptr) return;
  // The edit may outlive this object by a few messages while its parent is
  // being destroyed: it gets its own procedure back.
  if (IsWindow(m_edit) && m_editProcedure != nullptr)
    SetWindowLongPtrA(m_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_editProcedure));
  Forget(m_edit);
  m_edit = nullptr;
}

HWND UtilLib_Edit::CreateEditControl() {
  return CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE, 0, 0,
                         static_cast<int>(GetWindowWidth()), static_cast<int>(GetWindowHeight()),
                         GetWindowHandle(), nullptr, nullptr, nullptr);
}

void UtilLib_Edit::InitialiseWindow() {
  UtilLib_Canvas::InitialiseWindow();
  if (m_edit != nullptr) return;
  HWND edit = CreateEditControl();
  if (edit == nullptr) throw "UtilLib_Edit::UtilLib_Edit Could not open Edit Control.";
  m_edit = edit;
  SendMessageA(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT)), 0);
  m_editProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      m_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UtilLib_Edit::EditProcedure)));
  Edits().emplace_back(m_edit, this);
  RefreshText();
}

void UtilLib_Edit::WindowSized(long width, long height) {
  UtilLib_Canvas::WindowSized(width, height);
  if (m_edit != nullptr)
    SetWindowPos(m_edit, nullptr, 0, 0, static_cast<int>(width), static_cast<int>(height),
                 SWP_NOZORDER | SWP_NOMOVE);
}

void UtilLib_Edit::Controls_Edit_SetItem(TextItem* item) {
  if (item == m_item) return;
  if (m_item != nullptr) m_item->DeleteDependant(this);
  m_item = item;
  if (m_item != nullptr) m_item->AddDependant(this, kBindingId);
  RefreshText();
}

void UtilLib_Edit::Bind(Dynamic<float>*& slot, Dynamic<float>* value) {
  if (value == slot) return;
  Dynamic<float>* old = slot;
  slot = value;
  if (old != nullptr && old != m_value && old != m_minimum && old != m_maximum && old != m_step)
    old->DeleteDependant(this);
  if (value != nullptr) {
    value->DeleteDependant(this);
    value->AddDependant(this, kBindingId);
  }
  RefreshText();
}

void UtilLib_Edit::Slider_SetVariable(Dynamic<float>* value) {
  Bind(m_value, value);
}
void UtilLib_Edit::Slider_SetMinVariable(Dynamic<float>* minimum) {
  Bind(m_minimum, minimum);
}
void UtilLib_Edit::Slider_SetMaxVariable(Dynamic<float>* maximum) {
  Bind(m_maximum, maximum);
}
void UtilLib_Edit::Slider_SetSliderWidth(Dynamic<float>* step) {
  Bind(m_step, step);
}

bool UtilLib_Edit::Button_IsPressed() {
  return m_edit != nullptr && GetFocus() == m_edit;
}

void UtilLib_Edit::RefreshText() {
  if (m_edit == nullptr) return;
  char shown[kMaxText + 1] = {};
  GetWindowTextA(m_edit, shown, sizeof shown);
  if (m_item != nullptr && m_item->GetText() != nullptr) {
    if (std::strcmp(m_item->GetText(), shown) != 0) SetWindowTextA(m_edit, m_item->GetText());
    return;
  }
  if (m_value == nullptr) return;
  const float value = m_value->Get();
  if (value == ReadNumber(shown)) return;
  char text[64];
  std::snprintf(text, sizeof text, "%1.1f", static_cast<double>(value));
  m_shownValueText = text;
  if (std::strcmp(text, shown) != 0) SetWindowTextA(m_edit, text);
}

void UtilLib_Edit::DynamicCallback(long id, const char* name, void* args) {
  if (IsDeleteNotice(name)) {
    DynamicTalker* gone = DeletedTalker(args);
    bool mine = false;
    for (Dynamic<float>** slot : {&m_value, &m_minimum, &m_maximum, &m_step})
      if (*slot != nullptr && *slot == gone) {
        *slot = nullptr;
        mine = true;
      }
    if (m_item != nullptr && static_cast<DynamicTalker*>(m_item) == gone) {
      m_item = nullptr;
      mine = true;
    }
    if (!mine) UtilLib_Canvas::DynamicCallback(id, name, args);
    return;
  }
  if (IsWindowNotice(name)) return;
  // The canvas's own registrations (its background) carry id 0.
  if (id != kBindingId) {
    UtilLib_Canvas::DynamicCallback(id, name, args);
  } else if (m_edit != nullptr &&
             GetWindowThreadProcessId(m_edit, nullptr) != GetCurrentThreadId()) {
    // A value set on another thread (a worker, an output thread) is shown
    // by the window's own thread: setting the edit's text from here would
    // wait for that thread, which may itself be waiting for this one.
    DeferredMessage(kRefreshTextLater, 0);
  } else {
    RefreshText();
  }
}

void UtilLib_Edit::ReceiveDeferredMessage(unsigned wParam, unsigned lParam) {
  UtilLib_Canvas::ReceiveDeferredMessage(wParam, lParam);
  if (wParam == kRefreshTextLater) RefreshText();
}

// Reads what the keys did: the text goes to the bound item, the number
// (moved by the arrows and page keys) to the bound value.
void UtilLib_Edit::ReadKeys(UINT message, WPARAM key) {
  char text[kMaxText + 1] = {};
  GetWindowTextA(m_edit, text, sizeof text);
  if (m_item != nullptr && std::strcmp(m_item->GetText() ? m_item->GetText() : "", text) != 0)
    m_item->SetText(text);
  if (m_value == nullptr) return;
  // The edit's own rounded display of the value stands for the value itself:
  // read back, it would undo every step finer than the display.
  float number = m_shownValueText == text ? m_value->Get() : ReadNumber(text);
  const float step = m_step != nullptr ? m_step->Get() : 0.0f;
  bool stepped = false;
  if (message == WM_KEYDOWN) {
    stepped = key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT;
    if (key == VK_UP) number += step * 0.1f;
    if (key == VK_DOWN) number -= step * 0.1f;
    if (key == VK_PRIOR) number += step;
    if (key == VK_NEXT) number -= step;
  }
  // Steps stay within a bound range; typed text is taken as it stands (a
  // half-typed number may lie outside it).
  if (stepped && m_minimum != nullptr && number < m_minimum->Get()) number = m_minimum->Get();
  if (stepped && m_maximum != nullptr && number > m_maximum->Get()) number = m_maximum->Get();
  m_value->Set(number, "UtilLib_Edit::Changed");
  RefreshText();
}

LRESULT UtilLib_Edit::EditMessage(HWND window, UINT message, WPARAM w, LPARAM l) {
  WNDPROC previous = m_editProcedure;
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
      ReadKeys(message, w);
      break;
    case WM_CHAR:
      // A value edit takes digits, the point and backspace only.
      if (m_value != nullptr && !(w >= '0' && w <= '9') && w != '.' && w != VK_BACK) return 0;
      break;
    case WM_ORVANE_OBJECT:
      if (w != 0) *reinterpret_cast<BaseWindowClass**>(w) = this;
      return 0;
    case WM_NCDESTROY:
      ReleaseEdit();
      break;
    default:
      break;
  }
  return CallWindowProcA(previous, window, message, w, l);
}

LRESULT CALLBACK UtilLib_Edit::EditProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  UtilLib_Edit* object = EditOf(window);
  if (object == nullptr) return DefWindowProcA(window, message, w, l);
  return object->EditMessage(window, message, w, l);
}
