// The framework's message dispatch: one message to one object's virtuals and
// notices (the window's own object, or a hook that watches the window).
#pragma once

#include "qlxrapi/BaseWindowClass.h"

namespace quellor::win {

class DispatchAccess {
 public:
  // Runs steps 1 to 4 of the dispatch on object for a message of window.
  static LRESULT Dispatch(BaseWindowClass* object, HWND window, UINT message, WPARAM w, LPARAM l);
  static tList<BaseWindowClass*>* Hooks(BaseWindowClass* object) { return object->m_hooks; }
  static tList<BaseWindowClass*>* HookedInto(BaseWindowClass* object) {
    return object->m_hookedInto;
  }
  static void Enter(BaseWindowClass* object) { ++object->m_dispatchDepth; }
  // Leaves a hold; deletes the object when its window went meanwhile.
  static void Leave(BaseWindowClass* object);
  static WNDPROC PreviousProcedure(BaseWindowClass* object) { return object->m_previousProcedure; }
  static bool WindowDestroyed(BaseWindowClass* object) { return object->m_windowDestroyed; }
  static LRESULT Additional(BaseWindowClass* object, HWND window, UINT m, WPARAM w, LPARAM l) {
    return object->AdditionalCallback(window, m, w, l);
  }

 private:
  static LRESULT Handle(BaseWindowClass* object, HWND window, UINT message, WPARAM w, LPARAM l,
                        bool* fallThrough);
  static void PassToHooks(BaseWindowClass* object, HWND window, UINT message, WPARAM w, LPARAM l);
  static void Paint(BaseWindowClass* object, HWND window);
  static void Destroyed(BaseWindowClass* object, HWND window);
  static void FilesDropped(HWND window, WPARAM drop);
  static bool MouseButton(BaseWindowClass* object, UINT message, WPARAM w, LPARAM l);
};

// The parent window's framework object, or null.
BaseWindowClass* ParentObject(HWND window);

}  // namespace quellor::win
