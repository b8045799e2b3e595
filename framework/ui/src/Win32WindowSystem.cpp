// The window system the library runs on: the Win32 operations of the names.
#include <windows.h>

#include <atomic>

#include "qlxrapi/WindowSystem.h"

namespace quellor::win {

WindowSystem::~WindowSystem() = default;

namespace {

// An empty area (a window system that does not say what it paints) meets
// every rectangle.
bool Meets(const RECT& a, const RECT& area) {
  if (area.right <= area.left || area.bottom <= area.top) return true;
  return a.left < area.right && area.left < a.right && a.top < area.bottom && area.top < a.bottom;
}

}  // namespace

void WindowSystem::ChildRectanglesOver(HWND window, const RECT& area, std::vector<RECT>* out) {
  for (HWND child = FirstChild(window); child != nullptr; child = NextSibling(child)) {
    RECT r{};
    if (ChildRectangle(window, child, &r) && Meets(r, area)) out->push_back(r);
  }
}

namespace {

class Win32WindowSystem final : public WindowSystem {
 public:
  LRESULT DefaultProcedure(HWND window, UINT message, WPARAM w, LPARAM l) override {
    return DefWindowProcA(window, message, w, l);
  }
  void* UserData(HWND window) override {
    return reinterpret_cast<void*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }
  void SetUserData(HWND window, void* data) override {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
  }
  WNDPROC SetProcedure(HWND window, WNDPROC procedure) override {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
  }
  HWND Parent(HWND window) override { return ::GetParent(window); }
  HWND FirstChild(HWND window) override { return GetWindow(window, GW_CHILD); }
  HWND NextSibling(HWND window) override { return GetWindow(window, GW_HWNDNEXT); }
  LRESULT Send(HWND window, UINT message, WPARAM w, LPARAM l) override {
    return SendMessageA(window, message, w, l);
  }
  bool Post(HWND window, UINT message, WPARAM w, LPARAM l) override {
    return PostMessageA(window, message, w, l) != FALSE;
  }
  void PostQuit(int code) override { PostQuitMessage(code); }
  bool Destroy(HWND window) override { return ::DestroyWindow(window) != FALSE; }
  bool ChildRectangle(HWND parent, HWND child, RECT* out) override {
    if (GetClientRect(child, out) == FALSE) return false;
    MapWindowPoints(child, parent, reinterpret_cast<POINT*>(out), 2);
    return true;
  }
  // A child's client area lies inside its window rectangle: a child whose
  // window rectangle misses the area is passed over with one question, so
  // a small repaint over a thousand children stays small.
  void ChildRectanglesOver(HWND window, const RECT& area, std::vector<RECT>* out) override {
    const bool everything = area.right <= area.left || area.bottom <= area.top;
    POINT origin{0, 0};
    MapWindowPoints(window, nullptr, &origin, 1);
    const RECT onScreen{area.left + origin.x, area.top + origin.y, area.right + origin.x,
                        area.bottom + origin.y};
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      RECT outer{};
      if (!everything && (GetWindowRect(child, &outer) == FALSE || !Meets(outer, onScreen)))
        continue;
      RECT r{};
      if (ChildRectangle(window, child, &r) && Meets(r, area)) out->push_back(r);
    }
  }
  HDC BeginPaint(HWND window, PAINTSTRUCT* paint) override { return ::BeginPaint(window, paint); }
  void ResetClip(HDC dc) override { SelectClipRgn(dc, nullptr); }
  void ExcludeClip(HDC dc, const RECT& r) override {
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  void EndPaint(HWND window, const PAINTSTRUCT* paint) override { ::EndPaint(window, paint); }
  unsigned DroppedFileCount(WPARAM drop) override {
    return DragQueryFileA(reinterpret_cast<HDROP>(drop), 0xFFFFFFFFu, nullptr, 0);
  }
  unsigned DroppedFile(WPARAM drop, unsigned index, char* buffer, unsigned size) override {
    return DragQueryFileA(reinterpret_cast<HDROP>(drop), index, buffer, size);
  }
  void FinishDrop(WPARAM drop) override { DragFinish(reinterpret_cast<HDROP>(drop)); }
  void ShowCursor(const char* cursorId) override { ::SetCursor(LoadCursorA(nullptr, cursorId)); }
};

Win32WindowSystem g_win32;
std::atomic<WindowSystem*> g_current{nullptr};

}  // namespace

WindowSystem& CurrentWindowSystem() {
  WindowSystem* system = g_current.load(std::memory_order_acquire);
  return system != nullptr ? *system : g_win32;
}

WindowSystem* UseWindowSystem(WindowSystem* system) {
  return g_current.exchange(system, std::memory_order_acq_rel);
}

}  // namespace quellor::win
