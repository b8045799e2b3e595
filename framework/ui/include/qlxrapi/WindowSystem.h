// The few window-system operations the framework's message dispatch needs.
// The library runs on the Win32 operations of these names; tests put their
// own in place to drive the dispatch without any window existing.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include <vector>

namespace quellor::win {

class QUELLOR_EXPORT WindowSystem {
 public:
  virtual ~WindowSystem();

  virtual LRESULT DefaultProcedure(HWND window, UINT message, WPARAM w, LPARAM l) = 0;
  // The window's user data: the framework keeps its object pointer there.
  virtual void* UserData(HWND window) = 0;
  virtual void SetUserData(HWND window, void* data) = 0;
  // Returns the procedure it replaced.
  virtual WNDPROC SetProcedure(HWND window, WNDPROC procedure) = 0;
  virtual HWND Parent(HWND window) = 0;
  virtual HWND FirstChild(HWND window) = 0;
  virtual HWND NextSibling(HWND window) = 0;
  virtual LRESULT Send(HWND window, UINT message, WPARAM w, LPARAM l) = 0;
  virtual bool Post(HWND window, UINT message, WPARAM w, LPARAM l) = 0;
  virtual void PostQuit(int code) = 0;
  virtual bool Destroy(HWND window) = 0;
  // child's client rectangle in parent's client coordinates.
  virtual bool ChildRectangle(HWND parent, HWND child, RECT* out) = 0;
  // The client rectangles (in window's client coordinates) of window's
  // children that meet area, topmost first; of every child when area is
  // empty. This one walks FirstChild, NextSibling and ChildRectangle; a
  // system that can pass over children far from area more cheaply does.
  virtual void ChildRectanglesOver(HWND window, const RECT& area, std::vector<RECT>* out);
  // Painting: begin, clear the clip, exclude a rectangle, end.
  virtual HDC BeginPaint(HWND window, PAINTSTRUCT* paint) = 0;
  virtual void ResetClip(HDC dc) = 0;
  virtual void ExcludeClip(HDC dc, const RECT& rectangle) = 0;
  virtual void EndPaint(HWND window, const PAINTSTRUCT* paint) = 0;
  // Dropped files: the count, and file index's full path into buffer.
  virtual unsigned DroppedFileCount(WPARAM drop) = 0;
  virtual unsigned DroppedFile(WPARAM drop, unsigned index, char* buffer, unsigned size) = 0;
  // Frees the drop handle once the window that received it is done with it;
  // every drop the shell posts is held until then.
  virtual void FinishDrop(WPARAM drop) = 0;
  virtual void ShowCursor(const char* cursorId) = 0;
};

// The window system in use: the Win32 one unless a test put another in place.
QUELLOR_EXPORT WindowSystem& CurrentWindowSystem();
// Puts system in place (null: back to Win32); returns the one it replaced, or
// null when that was the Win32 one.
QUELLOR_EXPORT WindowSystem* UseWindowSystem(WindowSystem* system);

// The framework's window procedure, installed in every bound window.
QUELLOR_EXPORT LRESULT CALLBACK FrameworkWindowProcedure(HWND window, UINT message, WPARAM w,
                                                         LPARAM l);

}  // namespace quellor::win
