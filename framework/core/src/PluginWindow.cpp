// The window form of Orvane_New: a plug-in control created as a window of its
// registered window class, answered by the object behind that window.
#include <atomic>

#include "qlxrapi/PluginClass.h"

namespace {

constinit std::atomic<WindowObjectToPluginClass> g_windowObjectConverter{nullptr};

}  // namespace

void Orvane_SetWindowObjectConverter(WindowObjectToPluginClass converter) {
  g_windowObjectConverter.store(converter, std::memory_order_release);
}

PluginClass* Orvane_New(char* className, HWND parent, long x, long y, long width, long height,
                        char* windowName, long style, long exStyle) {
  // Win32 takes the geometry as int and the styles as DWORD.
  HWND window = CreateWindowExA(static_cast<DWORD>(exStyle), className, windowName,
                                static_cast<DWORD>(style) | static_cast<DWORD>(WS_CLIPSIBLINGS),
                                static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                                static_cast<int>(height), parent, nullptr, nullptr, nullptr);
  if (window == nullptr) return nullptr;
  void* windowObject = nullptr;  // the slot the window writes its object into
  SendMessageA(window, WM_ORVANE_QUERY_OBJECT, reinterpret_cast<WPARAM>(&windowObject), 0);
  WindowObjectToPluginClass converter = g_windowObjectConverter.load(std::memory_order_acquire);
  if (windowObject == nullptr || converter == nullptr) return nullptr;
  return converter(windowObject);
}
