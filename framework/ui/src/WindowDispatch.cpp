// The framework's window procedure: one message to virtual calls and notices.
//
// Lifetime: every object a dispatch calls into is held (its dispatch depth
// raised) for the length of the call, and an object whose window was
// destroyed meanwhile is deleted only when the last hold is let go. So a
// window may destroy itself, its parent or a hook from any handler.
#include "WindowDispatch.h"

#include <cstring>
#include <vector>

#include "WindowHold.h"
#include "qlxrapi/WindowFunctions.h"
#include "qlxrapi/WindowSystem.h"

namespace quellor::win {

namespace {

// The signed 16-bit halves of lParam, sign-extended (mouse and move positions).
long LowSigned(LPARAM l) {
  return static_cast<short>(static_cast<unsigned>(l) & 0xFFFF);
}
long HighSigned(LPARAM l) {
  return static_cast<short>((static_cast<unsigned>(l) >> 16) & 0xFFFF);
}
long LowUnsigned(LPARAM l) {
  return static_cast<long>(static_cast<unsigned>(l) & 0xFFFF);
}
long HighUnsigned(LPARAM l) {
  return static_cast<long>((static_cast<unsigned>(l) >> 16) & 0xFFFF);
}

constexpr unsigned kDroppedPathSize = 1024;

}  // namespace

BaseWindowClass* ParentObject(HWND window) {
  HWND parent = CurrentWindowSystem().Parent(window);
  return parent != nullptr ? Orvane_GetWindowObject(parent) : nullptr;
}

LRESULT CALLBACK FrameworkWindowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  WindowSystem& system = CurrentWindowSystem();
  auto* object = static_cast<BaseWindowClass*>(system.UserData(window));
  if (object == nullptr) return system.DefaultProcedure(window, message, w, l);
  return DispatchAccess::Dispatch(object, window, message, w, l);
}

void DispatchAccess::Leave(BaseWindowClass* object) {
  if (--object->m_dispatchDepth == 0 && object->m_windowDestroyed) delete object;
}

LRESULT DispatchAccess::Dispatch(BaseWindowClass* object, HWND window, UINT message, WPARAM w,
                                 LPARAM l) {
  WindowHold hold(object);
  const bool own = window == object->m_window;
  if (!object->m_opened) {
    object->m_opened = true;
    // A hook has its own window and its own first message.
    if (own) CurrentWindowSystem().Post(window, WM_ORVANE_OPENED, 0, 0);
  }
  if (message != WM_ORVANE_OBJECT && message != WM_PAINT) {
    PassToHooks(object, window, message, w, l);
    // A hook destroyed the window: nothing of it is left to handle.
    if (own && object->m_windowDestroyed) return 0;
  }
  bool fallThrough = false;
  LRESULT result = Handle(object, window, message, w, l, &fallThrough);
  // A hook's result is not used, so a hook never runs the default procedure
  // (which would act on the hook's own window, e.g. close it on WM_CLOSE).
  if (fallThrough && own && !object->m_windowDestroyed)
    result = object->AdditionalCallback(window, message, w, l);
  // The drop handle is the receiver's to free, after everything down the
  // chain (hooks, the old procedure) has read it.
  if (message == WM_DROPFILES && own) CurrentWindowSystem().FinishDrop(w);
  return result;
}

void DispatchAccess::PassToHooks(BaseWindowClass* object, HWND window, UINT message, WPARAM w,
                                 LPARAM l) {
  tList<BaseWindowClass*>* hooks = object->m_hooks;
  if (hooks == nullptr || hooks->GetNoItems() == 0) return;
  // Hooks may be added, removed or destroyed by the hooks themselves: walk a
  // copy and call only those still in the list.
  std::vector<BaseWindowClass*> snapshot;
  hooks->Lock();
  snapshot.assign(hooks->GetItems(), hooks->GetItems() + hooks->GetNoItems());
  hooks->UnLock();
  for (BaseWindowClass* hook : snapshot) {
    if (object->m_hooks == nullptr) return;
    bool present = false;
    object->m_hooks->Lock();
    for (std::uint32_t i = 0; i < object->m_hooks->GetNoItems(); ++i)
      present = present || (*object->m_hooks)[i] == hook;
    object->m_hooks->UnLock();
    // A hook that hooks (directly or not) the window it is watching for
    // would recurse without end: each hook runs once per message.
    if (!present || hook->m_inHookDispatch || hook->m_windowDestroyed) continue;
    hook->m_inHookDispatch = true;
    WindowHold holdHook(hook);
    Dispatch(hook, window, message, w, l);
    hook->m_inHookDispatch = false;
  }
}

void DispatchAccess::Destroyed(BaseWindowClass* object, HWND window) {
  const bool own = window == object->m_window;
  object->DestroyWindow();
  object->Changed("BaseWindowClass::Closed");
  if (!own) return;
  if (BaseWindowClass* parent = ParentObject(window)) {
    WindowHold holdParent(parent);
    parent->Child_Destroyed(window);
    parent->Changed("BaseWindowClass::ChildDestroyed", window);
  }
  // From here the window answers no object query and later messages go to
  // the default procedure; the object goes when the last hold lets go.
  CurrentWindowSystem().SetUserData(window, nullptr);
  if (object->m_previousProcedure != nullptr)
    CurrentWindowSystem().SetProcedure(window, object->m_previousProcedure);
  object->m_windowDestroyed = true;
}

void DispatchAccess::Paint(BaseWindowClass* object, HWND window) {
  WindowSystem& system = CurrentWindowSystem();
  PAINTSTRUCT paint{};
  HDC dc = system.BeginPaint(window, &paint);
  system.ResetClip(dc);
  // Only children over the area being painted matter to its clip.
  std::vector<RECT> children;
  system.ChildRectanglesOver(window, paint.rcPaint, &children);
  for (const RECT& r : children) system.ExcludeClip(dc, r);
  object->Changed("BaseWindowClass::Paint", window, dc);
  object->PaintWindow(window, dc);
  object->Changed("BaseWindowClass::Painted", window, dc);
  system.EndPaint(window, &paint);
}

void DispatchAccess::FilesDropped(HWND window, WPARAM drop) {
  WindowSystem& system = CurrentWindowSystem();
  const unsigned count = system.DroppedFileCount(drop);
  if (count == 0) return;
  FileSelectNames names;
  names.FileSelect_StartSetting();
  for (unsigned i = 0; i < count; ++i) {
    char path[kDroppedPathSize] = {};
    system.DroppedFile(drop, i, path, kDroppedPathSize);
    path[kDroppedPathSize - 1] = '\0';
    names.FileSelect_Set(0xFFFFFFFFul, path);
  }
  for (HWND at = window; at != nullptr;) {
    HWND next = system.Parent(at);  // before the handlers, which may destroy at
    if (BaseWindowClass* target = Orvane_GetWindowObject(at)) {
      WindowHold holdTarget(target);
      bool handled = false;
      target->Changed("BaseWindowClass::FilesDropped", &names, &handled);
      if (target->DragNDrop_FilesDropped(&names) || handled) return;
    }
    at = next;
  }
}

bool DispatchAccess::MouseButton(BaseWindowClass* object, UINT message, WPARAM w, LPARAM l) {
  const long keys = static_cast<long>(w);
  const long x = LowSigned(l);
  const long y = HighSigned(l);
  const char* name = nullptr;
  switch (message) {
    case WM_LBUTTONDOWN:
      object->MouseLButtonClick(keys, x, y);
      name = "BaseWindowClass::LButtonClick";
      break;
    case WM_LBUTTONUP:
      object->MouseLButtonRelease(keys, x, y);
      name = "BaseWindowClass::LButtonRelease";
      break;
    case WM_LBUTTONDBLCLK:
      object->MouseLButtonDblClick(keys, x, y);
      name = "BaseWindowClass::LButtonDClick";
      break;
    case WM_RBUTTONDOWN:
      object->MouseRButtonClick(keys, x, y);
      name = "BaseWindowClass::RButtonClick";
      break;
    case WM_RBUTTONUP:
      object->MouseRButtonRelease(keys, x, y);
      name = "BaseWindowClass::RButtonRelease";
      break;
    case WM_RBUTTONDBLCLK:
      object->MouseRButtonDblClick(keys, x, y);
      name = "BaseWindowClass::RButtonDClick";
      break;
    case WM_MBUTTONDOWN:
      object->MouseMButtonClick(keys, x, y);
      name = "BaseWindowClass::MButtonClick";
      break;
    case WM_MBUTTONUP:
      object->MouseMButtonRelease(keys, x, y);
      name = "BaseWindowClass::MButtonRelease";
      break;
    case WM_MBUTTONDBLCLK:
      object->MouseMButtonDblClick(keys, x, y);
      name = "BaseWindowClass::MButtonDClick";
      break;
    default:
      return false;
  }
  object->Changed(name, keys, x, y);
  return true;
}

LRESULT DispatchAccess::Handle(BaseWindowClass* object, HWND window, UINT message, WPARAM w,
                               LPARAM l, bool* fallThrough) {
  const bool own = window == object->m_window;
  switch (message) {
    case WM_DESTROY:
      Destroyed(object, window);
      return 0;
    case WM_MOVE: {
      const long x = LowSigned(l), y = HighSigned(l);
      object->WindowMoved(x, y);
      object->Changed("BaseWindowClass::Sized", x, y);
      BaseWindowClass* parent = own ? ParentObject(window) : nullptr;
      if (parent != nullptr) {
        WindowHold holdParent(parent);
        parent->ChildWindowMoved(window);
        parent->Changed("BaseWindowClass::ChildMoved", window);
      }
      object->Changed("BaseWindowClass::Moved");
      return 0;
    }
    case WM_SIZE: {
      object->WindowSized(LowUnsigned(l), HighUnsigned(l));
      BaseWindowClass* parent = own ? ParentObject(window) : nullptr;
      if (parent != nullptr) {
        WindowHold holdParent(parent);
        parent->ChildWindowSized(window);
        parent->Changed("BaseWindowClass::ChildSized", window);
        if (auto* manager = dynamic_cast<BaseWindowLayoutManager*>(parent))
          manager->Layout_PerformLayout(parent->GetWindowHandle(), true);
      }
      object->Changed("BaseWindowClass::Sized", LowSigned(l), HighSigned(l));
      return 0;
    }
    case WM_SETTEXT:
      object->TextChanged(reinterpret_cast<char*>(l));
      return own ? CurrentWindowSystem().DefaultProcedure(window, message, w, l) : 0;
    case WM_PAINT:
      Paint(object, window);
      if (own) PassToHooks(object, window, message, w, l);
      return 0;
    case WM_KEYDOWN:
      object->KeyPressedDown(static_cast<int>(w));
      object->Changed("BaseWindowClass::KeyDown", w);
      return 0;
    case WM_KEYUP:
      object->KeyPressedUp(static_cast<int>(w));
      // A release announces the same name as a press; listeners tell them
      // apart by nothing else, as they always have.
      object->Changed("BaseWindowClass::KeyDown", w);
      return 0;
    case WM_TIMER:
      object->OnTimer(static_cast<unsigned long>(w));
      object->Changed("BaseWindowClass::Timer", w);
      return 0;
    case WM_MOUSEMOVE:
      object->MouseMoved(static_cast<long>(w), LowSigned(l), HighSigned(l));
      return 0;
    case WM_DROPFILES:
      if (own) FilesDropped(window, w);
      *fallThrough = true;
      return 0;
    case WM_ORVANE_OBJECT:
      if (own && w != 0) *reinterpret_cast<BaseWindowClass**>(w) = object;
      return 0;
    case WM_ORVANE_MOUSE_ENTER:
      object->MouseEnter();
      object->Changed("BaseWindowClass::MouseEnter");
      *fallThrough = true;
      return 0;
    case WM_ORVANE_MOUSE_EXIT:
      object->MouseExit();
      object->Changed("BaseWindowClass::MouseExit");
      *fallThrough = true;
      return 0;
    case WM_ORVANE_OPENED:
      *fallThrough = true;
      if (!own) return 0;  // a hook was initialised by its own window
      object->m_opened = true;
      object->InitialiseWindow();
      object->Changed("BaseWindowClass::Opened");
      if (BaseWindowClass* parent = ParentObject(window)) {
        WindowHold holdParent(parent);
        parent->Child_Created(window);
        parent->Changed("BaseWindowClass::ChildCreated", window);
      }
      return 0;
    case WM_ORVANE_DEFERRED:
      object->ReceiveDeferredMessage(static_cast<unsigned>(w), static_cast<unsigned>(l));
      *fallThrough = true;
      return 0;
    default:
      if (MouseButton(object, message, w, l)) return 0;
      *fallThrough = true;
      return 0;
  }
}

}  // namespace quellor::win

namespace quellor::win {

WindowHold::WindowHold(BaseWindowClass* object) : m_object(object) {
  DispatchAccess::Enter(object);
}

WindowHold::~WindowHold() {
  DispatchAccess::Leave(m_object);
}

}  // namespace quellor::win
