// The fixture of the presenter's tests: an Xvfb of the test's own with the
// presenter loaded by the subset, a window class that records what X input
// and the clipboard bring, and helpers that look at the X side.
#pragma once

// GoogleTest before Xlib, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SubsetClipboard.h"
#include "XvfbServer.h"
#include "win32/automation/Desktop.h"
#include "windows.h"

namespace quellor::display::testing {

// The message tray icons of the tests call back with.
constexpr UINT kTrayCallback = WM_APP + 1;

using quellor::display::testing::XvfbServer;

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
inline std::vector<Seen> g_seen;

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
      FillRect(dc, &client, red);
      DeleteObject(red);
      RECT corner{0, 0, 10, 10};
      HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
      FillRect(dc, &corner, blue);
      DeleteObject(blue);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_MOUSEWHEEL:
    case WM_DRAWCLIPBOARD:
    case WM_CLOSE:
    case kTrayCallback:
      g_seen.push_back({message, wParam, lParam});
      if (message == WM_CLOSE) break;  // and close, as programs do
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

inline const Seen* Find(UINT message) {
  for (const Seen& s : g_seen)
    if (s.message == message) return &s;
  return nullptr;
}

class PresenterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_seen.clear();
    server_ = std::make_unique<XvfbServer>();
    if (!server_->Running()) GTEST_SKIP() << server_->Skipped();
    setenv("DISPLAY", server_->Name().c_str(), 1);
    unsetenv("QUELLOR_HEADLESS");
    setenv("QUELLOR_X_SELECTION_TIMEOUT_MS", "100", 1);
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "PresenterTestWindow";
    RegisterClassA(&wc);
  }

  HWND MakeWindow(const char* title, int x, int y, int width, int height, DWORD style = WS_POPUP,
                  HWND owner = nullptr) {
    HWND hwnd = CreateWindowExA(0, "PresenterTestWindow", title, style | WS_VISIBLE, x, y, width,
                                height, owner, nullptr, nullptr, nullptr);
    UpdateWindow(hwnd);
    return hwnd;
  }

  // Runs the subset's messages while the presenter works on its own thread,
  // until `done` holds (at most about 10 s, for loaded machines; each step
  // waits a couple of ms).
  bool PumpUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 5000; ++i) {
      quellor::desktop::RunUntilIdle();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }

  // The X window named `title` among the root's children, 0 when none.
  Window FindX(const char* title) {
    Display* d = server_->Connection();
    Window root = DefaultRootWindow(d), parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(d, root, &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
      char* name = nullptr;
      XWindowAttributes attributes{};
      if (XFetchName(d, children[i], &name) && name && std::strcmp(name, title) == 0 &&
          XGetWindowAttributes(d, children[i], &attributes) && attributes.map_state == IsViewable)
        found = children[i];
      if (name) XFree(name);
    }
    if (children) XFree(children);
    return found;
  }

  std::string Shell(const std::string& command) {
    const std::string full = "DISPLAY=" + server_->Name() + " " + command;
    FILE* pipe = popen(full.c_str(), "r");
    std::string out;
    char chunk[4096];
    while (size_t got = std::fread(chunk, 1, sizeof chunk, pipe)) out.append(chunk, got);
    pclose(pipe);
    return out;
  }

  std::string SubsetText() { return ::quellor::display::testing::SubsetText(); }

  void SetSubset(UINT format, const void* data, size_t size, HWND owner) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    SetClipboardData(format, memory);
    CloseClipboard();
  }

  std::unique_ptr<XvfbServer> server_;
};

}  // namespace quellor::display::testing
