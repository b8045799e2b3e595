// BaseWindowClass: construction, binding, destruction and the default virtuals.
#include "qlxrapi/BaseWindowClass.h"

#include <atomic>

#include "WindowDispatch.h"
#include "WindowHold.h"
#include "qlxrapi/StartupSteps.h"
#include "qlxrapi/WindowSystem.h"

using quellor::win::CurrentWindowSystem;
using quellor::win::DispatchAccess;

namespace {

// Live framework window objects; closing the last one ends the message loop.
std::atomic<long> g_liveWindows{0};

PluginClass* WindowObjectToPlugin(void* windowObject) {
  return static_cast<PluginClass*>(static_cast<BaseWindowClass*>(windowObject));
}

bool StartWindowFramework() {
  g_liveWindows.store(0);
  Orvane_SetWindowObjectConverter(&WindowObjectToPlugin);
  return true;
}

void StopWindowFramework() {
  Orvane_SetWindowObjectConverter(nullptr);
}

}  // namespace

QLXRAPI_STARTUP_STEP(CommonControls, &StartWindowFramework, &StopWindowFramework);

BaseWindowClass* Orvane_GetWindowObject(HWND window) {
  if (window == nullptr) return nullptr;
  BaseWindowClass* object = nullptr;
  CurrentWindowSystem().Send(window, WM_ORVANE_OBJECT, reinterpret_cast<WPARAM>(&object), 0);
  return object;
}

BaseWindowClass::BaseWindowClass()
    : m_defaultCursor(const_cast<char*>(IDC_ARROW)),
      m_hooks(new tList<BaseWindowClass*>),
      m_hookedInto(new tList<BaseWindowClass*>),
      m_timers(new tList<unsigned long>) {
  g_liveWindows.fetch_add(1);
}

BaseWindowClass::~BaseWindowClass() {
  quellor::win::WindowSystem& system = CurrentWindowSystem();
  // A destroyed window takes its children with it; a live one is unbound
  // first, so that its children's last notices find no parent object here.
  if (m_window != nullptr && !m_windowDestroyed) {
    system.SetUserData(m_window, nullptr);
    if (m_previousProcedure != nullptr) system.SetProcedure(m_window, m_previousProcedure);
    for (std::uint32_t i = 0; i < m_timers->GetNoItems(); ++i) KillTimer(m_window, (*m_timers)[i]);
    CloseAllChildren();
  }
  // Leave every window this object hooks, and let go of this one's hooks.
  while (m_hookedInto->GetNoItems() > 0) {
    BaseWindowClass* watched = (*m_hookedInto)[0];
    m_hookedInto->RemoveItemAt(0);
    while (watched->m_hooks->RemoveItem(this)) {
    }
  }
  while (m_hooks->GetNoItems() > 0) {
    BaseWindowClass* hook = (*m_hooks)[0];
    m_hooks->RemoveItemAt(0);
    while (hook->m_hookedInto->RemoveItem(this)) {
    }
  }
  delete m_hooks;
  delete m_hookedInto;
  delete m_timers;
  m_hooks = m_hookedInto = nullptr;
  if (g_liveWindows.fetch_sub(1) == 1) system.PostQuit(0);
}

long BaseWindowClass::GetLiveWindowCount() {
  return g_liveWindows.load();
}

bool BaseWindowClass::SetupWindowCallback(HWND window) {
  quellor::win::WindowSystem& system = CurrentWindowSystem();
  m_window = window;
  system.SetUserData(window, this);
  WNDPROC previous = system.SetProcedure(window, &quellor::win::FrameworkWindowProcedure);
  if (previous != &quellor::win::FrameworkWindowProcedure) m_previousProcedure = previous;
  return true;
}

bool BaseWindowClass::SetupControl(HWND window) {
  return SetupWindowCallback(window);
}

bool BaseWindowClass::OpenWindow(HWND parent, long x, long y, long width, long height, char* title,
                                 long style, long exStyle) {
  HWND window =
      CreateWindowExA(static_cast<DWORD>(exStyle), "STATIC", title, static_cast<DWORD>(style),
                      static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                      static_cast<int>(height), parent, nullptr, nullptr, nullptr);
  if (window == nullptr) return false;
  SetupWindowCallback(window);
  ::ShowWindow(window, SW_SHOWNORMAL);
  return true;
}

LRESULT BaseWindowClass::AdditionalCallback(HWND window, UINT message, WPARAM w, LPARAM l) {
  return CurrentWindowSystem().DefaultProcedure(m_window != nullptr ? m_window : window, message, w,
                                                l);
}

void BaseWindowClass::InitialiseWindow() {}
void BaseWindowClass::DestroyWindow() {}
void BaseWindowClass::OnTimer(unsigned long) {}
void BaseWindowClass::PaintWindow(HWND window, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  Rectangle(dc, client.left, client.top, client.right, client.bottom);
}
void BaseWindowClass::WindowMoved(long, long) {}
void BaseWindowClass::WindowSized(long, long) {}
void BaseWindowClass::MouseEnter() {}
void BaseWindowClass::MouseExit() {}
void BaseWindowClass::MouseMoved(long, long, long) {
  CurrentWindowSystem().ShowCursor(m_defaultCursor);
}
void BaseWindowClass::MouseLButtonClick(long, long, long) {}
void BaseWindowClass::MouseLButtonDblClick(long, long, long) {}
void BaseWindowClass::MouseLButtonRelease(long, long, long) {}
void BaseWindowClass::MouseMButtonClick(long, long, long) {}
void BaseWindowClass::MouseMButtonDblClick(long, long, long) {}
void BaseWindowClass::MouseMButtonRelease(long, long, long) {}
void BaseWindowClass::MouseRButtonClick(long, long, long) {}
void BaseWindowClass::MouseRButtonDblClick(long, long, long) {}
void BaseWindowClass::MouseRButtonRelease(long, long, long) {}
void BaseWindowClass::KeyPressedDown(int) {}
void BaseWindowClass::KeyPressedUp(int) {}
void BaseWindowClass::TextChanged(char*) {}
void BaseWindowClass::Child_Created(HWND) {}
void BaseWindowClass::Child_AboutToLeave(HWND) {}
void BaseWindowClass::Child_JustEntered(HWND) {}
void BaseWindowClass::Child_Destroyed(HWND) {}
void BaseWindowClass::ChildWindowMoved(HWND) {}
void BaseWindowClass::ChildWindowSized(HWND) {}
void BaseWindowClass::ParentChanged(HWND, HWND) {}
void BaseWindowClass::DragAndDrop_Select(bool) {}
bool BaseWindowClass::DragNDrop_FilesDropped(FileSelectNames*) {
  return false;
}
void BaseWindowClass::ReceiveDeferredMessage(unsigned, unsigned) {}

void BaseWindowClass::AddExternalCallbackHook(BaseWindowClass* hook) {
  if (hook == nullptr || hook == this) return;
  m_hooks->AddItem(hook);
  hook->m_hookedInto->AddItem(this);
}

void BaseWindowClass::RemoveExternalCallbackHook(BaseWindowClass* hook) {
  if (hook == nullptr || !m_hooks->RemoveItem(hook)) return;
  hook->m_hookedInto->RemoveItem(this);
}

void BaseWindowClass::StartTimer(unsigned long id, unsigned long milliseconds) {
  if (m_window == nullptr) return;
  SetTimer(m_window, id, static_cast<UINT>(milliseconds), nullptr);
  bool known = false;
  for (std::uint32_t i = 0; i < m_timers->GetNoItems(); ++i) known = known || (*m_timers)[i] == id;
  if (!known) m_timers->AddItem(id);
}

void BaseWindowClass::StopTimer(unsigned long id) {
  if (m_window == nullptr) return;
  KillTimer(m_window, id);
  m_timers->RemoveItem(id);
}

void BaseWindowClass::DeferredMessage(unsigned wParam, unsigned lParam) {
  if (m_window != nullptr) CurrentWindowSystem().Post(m_window, WM_ORVANE_DEFERRED, wParam, lParam);
}

void BaseWindowClass::DragAndDrop_SelectMe(bool selected) {
  if (m_selected == selected) return;
  m_selected = selected;
  DragAndDrop_Select(selected);
  // A group is dragged in the order it was selected: two selections within
  // one tick of the counter still get distinct, increasing times.
  static std::atomic<std::int64_t> s_lastTime{0};
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  std::int64_t last = s_lastTime.load();
  std::int64_t stamp;
  do {
    stamp = now.QuadPart > last ? now.QuadPart : last + 1;
  } while (!s_lastTime.compare_exchange_weak(last, stamp));
  m_selectionTime = stamp;
  Changed(selected ? "BaseWindowClass::DragAndDropSelect" : "BaseWindowClass::DragAndDropDeSelect");
}

bool BaseWindowClass::DragNDrop_SelectedBefore(BaseWindowClass* other) const {
  return other != nullptr && m_selectionTime < other->m_selectionTime;
}
