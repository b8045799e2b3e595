// BaseWindowClass: one window whose messages arrive as virtual calls and as
// named notices of the object's talker ("BaseWindowClass::Sized", ...).
//
// Objects live on the shared heap and delete themselves when their window is
// destroyed; a window destroyed from inside one of its own handlers is
// deleted only once the outermost handler has returned.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include <cstdint>

#include "qlxrapi/DynamicTalker.h"
#include "qlxrapi/FileSelectNames.h"
#include "qlxrapi/PluginClass.h"
#include "qlxrapi/WindowMessages.h"
#include "qlxrapi/tList.h"

class WindowBitmap;

namespace quellor::win {
class DispatchAccess;
}

class QUELLOR_EXPORT BaseWindowClass : public PluginClass, public DynamicTalker {
 public:
  BaseWindowClass();
  ~BaseWindowClass() override;

  BaseWindowClass(const BaseWindowClass&) = delete;
  BaseWindowClass& operator=(const BaseWindowClass&) = delete;

  // ---- creation and binding ------------------------------------------------
  // A "STATIC" window bound to this object and shown; false when the window
  // could not be created (nothing is bound then).
  bool OpenWindow(HWND parent, long x, long y, long width, long height, char* title, long style,
                  long exStyle);
  int OpenChildren(int dialogId);
  void CloseAllChildren();

  // ---- virtual operations, in their fixed order ---------------------------
 protected:
  virtual LRESULT AdditionalCallback(HWND window, UINT message, WPARAM w, LPARAM l);

 public:
  virtual void InitialiseWindow();
  virtual void DestroyWindow();
  virtual void OnTimer(unsigned long id);
  virtual void PaintWindow(HWND window, HDC dc);
  virtual void WindowMoved(long x, long y);
  virtual void WindowSized(long width, long height);
  virtual void MouseEnter();
  virtual void MouseExit();
  virtual void MouseMoved(long keys, long x, long y);
  virtual void MouseLButtonClick(long keys, long x, long y);
  virtual void MouseLButtonDblClick(long keys, long x, long y);
  virtual void MouseLButtonRelease(long keys, long x, long y);
  virtual void MouseMButtonClick(long keys, long x, long y);
  virtual void MouseMButtonDblClick(long keys, long x, long y);
  virtual void MouseMButtonRelease(long keys, long x, long y);
  virtual void MouseRButtonClick(long keys, long x, long y);
  virtual void MouseRButtonDblClick(long keys, long x, long y);
  virtual void MouseRButtonRelease(long keys, long x, long y);
  virtual void KeyPressedDown(int key);
  virtual void KeyPressedUp(int key);
  virtual void TextChanged(char* text);
  virtual void Child_Created(HWND child);
  virtual void Child_AboutToLeave(HWND child);
  virtual void Child_JustEntered(HWND child);
  virtual void Child_Destroyed(HWND child);
  virtual void ChildWindowMoved(HWND child);
  virtual void ChildWindowSized(HWND child);
  virtual void ParentChanged(HWND oldParent, HWND newParent);
  // A child window of the registered class className; null when it could not
  // be created.
  virtual HWND OpenChild(char* className, long x, long y, long width, long height, unsigned style);
  // Binds an existing window to this object; true.
  virtual bool SetupControl(HWND window);
  virtual void DragAndDrop_Select(bool selected);
  // True when the dropped files were taken.
  virtual bool DragNDrop_FilesDropped(FileSelectNames* names);
  virtual void ReceiveDeferredMessage(unsigned wParam, unsigned lParam);

  // ---- geometry and state --------------------------------------------------
  HWND GetWindowHandle() const { return m_window; }
  HWND GetParent();
  BaseWindowClass* GetParentBWC();
  int GetNoChildren();
  HWND GetChildhWnd(int index);
  BaseWindowClass* GetChild(int index);
  // -1 when window is not a child of this one.
  int GetChildNo(HWND window);
  void GetControlPosition(HWND child, RECT* out);
  long GetWindowPosX();
  long GetWindowPosY();
  long GetWindowWidth();
  long GetWindowHeight();
  void SetWindowSize(long width, long height);
  void SetWindowPosition(long x, long y);
  void EnableWindow(bool enable);
  void ShowWindow(long command);
  bool IsWindowVisible();
  // Repaints the rectangle at once.
  void InvalidateRect(long x, long y, long width, long height);
  void RePaint();
  long GetFontHeight();
  long GetScreenWidth();
  long GetScreenHeight();
  void ExclusiveInput(bool on);
  bool IsExclusive();
  // A cursor id as LoadCursorA takes it (a MAKEINTRESOURCE number or a name).
  void SetDefaultCursor(char* cursorId) { m_defaultCursor = cursorId; }
  char* GetDefaultCursor() const { return m_defaultCursor; }
  void SetCursor(char* cursorId);
  void StartTimer(unsigned long id, unsigned long milliseconds);
  void StopTimer(unsigned long id);
  void DeferredMessage(unsigned wParam, unsigned lParam);
  void ResizeToChildren(bool atLeastParent);
  void ApplyWindowMask(WindowBitmap* bitmap);
  void ApplyWindowMaskFromChildren();
  // A hook sees every message of this window except WM_PAINT and the object
  // query, after it was painted for WM_PAINT. A hook that is destroyed leaves
  // every list it is in.
  void AddExternalCallbackHook(BaseWindowClass* hook);
  void RemoveExternalCallbackHook(BaseWindowClass* hook);

  // Drag-and-drop selection state.
  void DragAndDrop_SelectMe(bool selected);
  bool DragAndDrop_AmISelected() const { return m_selected; }
  bool DragNDrop_SelectedBefore(BaseWindowClass* other) const;
  // Stores whether the selection shade is drawn for this window and repaints
  // it, so the change shows at once.
  void DragAndDrop_DisplayRedShadeAutomatically(bool on);

  bool IsOpened() const { return m_opened; }

  // Live framework window objects in the process.
  static long GetLiveWindowCount();

 protected:
  // Stores the handle and this object in the window and installs the
  // framework's procedure. True.
  bool SetupWindowCallback(HWND window);

 private:
  friend class quellor::win::DispatchAccess;

  HWND m_window = nullptr;
  // The window's own procedure, put back when the object lets the window go
  // (so that a control's class frees what it keeps for the window).
  WNDPROC m_previousProcedure = nullptr;
  char* m_defaultCursor;
  tList<BaseWindowClass*>* m_hooks;
  // The windows this object hooks, so that it can leave them when it goes.
  tList<BaseWindowClass*>* m_hookedInto;
  tList<unsigned long>* m_timers;
  bool m_opened = false;
  bool m_selected = false;
  bool m_redShade = false;
  std::int64_t m_selectionTime = 0;
  // Handlers of this object running on the stack; a destroyed window's
  // object is deleted when this falls back to 0.
  int m_dispatchDepth = 0;
  bool m_windowDestroyed = false;
  bool m_inHookDispatch = false;
};

// The framework object behind window (the object query), or null.
QUELLOR_EXPORT BaseWindowClass* Orvane_GetWindowObject(HWND window);

// Layout managers: a base of the layout windows beside BaseWindowClass.
#include "qlxrapi/BaseWindowLayoutManager.h"
