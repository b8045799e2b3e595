// A panel on the in-memory desktop for driving the skinned controls with the
// subset's mouse and keys: controls are made by window class name, notices
// of their own (not the window's) are logged, pixels read from the screen.
#pragma once

#include <gtest/gtest.h>
#include <qlxrapi/BaseWindowClass.h>
#include <qlxrapi/MessageQueue.h>
#include <qlxrapi/PluginClass.h>
#include <qlxrapi/ScreenObject.h>
#include <win32/automation/Desktop.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "WindowTesting.h"

namespace uitest {

// Notices other than the window's own "BaseWindowClass::..." ones.
class ControlNotices : public DynamicListener {
 public:
  ~ControlNotices() override { RemoveAllDependantsToThis(); }
  void DynamicCallback(long, const char* name, void*) override {
    if (std::strncmp(name, "BaseWindowClass::", 17) == 0) return;
    seen.push_back(name);
    if (onNotice) onNotice(name);
  }
  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(seen);
    return taken;
  }
  std::vector<std::string> seen;
  std::function<void(const std::string&)> onNotice;
};

inline ScreenObjectSolid* Solid(unsigned r, unsigned g, unsigned b) {
  auto* solid = new ScreenObjectSolid;
  solid->ScreenObjectSolid_SetColor(r, g, b);
  return solid;
}

inline std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) {
  return (r << 16) | (g << 8) | b;
}

// A top-level panel at screen (100, 100), 240 x 160, and the desktop's
// manual clock.
class ControlPanel : public ::testing::Test {
 protected:
  static constexpr int kLeft = 100, kTop = 100;

  void SetUp() override {
    quellor::desktop::UseManualClock(true);
    panel = new BaseWindowClass;
    ASSERT_TRUE(panel->OpenWindow(nullptr, kLeft, kTop, 240, 160, const_cast<char*>("panel"),
                                  WS_POPUP | WS_VISIBLE, 0));
    Settle();
  }
  void TearDown() override {
    quellor::desktop::ReleaseButton(quellor::desktop::Button::Left, 0, 0);
    if (IsWindow(panel->GetWindowHandle())) ::DestroyWindow(panel->GetWindowHandle());
    Settle();
    objects.clear();
    quellor::desktop::UseManualClock(false);
  }

  // A control of that window class in the panel; its notices go to notices.
  template <typename Control>
  Control* Make(const char* className, long x, long y, long width, long height) {
    PluginClass* made = Orvane_New(const_cast<char*>(className), panel->GetWindowHandle(), x, y,
                                   width, height, const_cast<char*>(""), WS_CHILD | WS_VISIBLE, 0);
    auto* control = dynamic_cast<Control*>(made);
    if (control != nullptr) control->AddDependant(&notices, 0);
    Settle();
    return control;
  }

  // Screen objects the test owns for the panel's life.
  template <typename Object>
  Object* Keep(Object* object) {
    objects.emplace_back(object);
    return object;
  }

  // Input at panel client positions; runs the queue through the framework's
  // own loop (so that mouse enter and exit are seen).
  void Press(int x, int y) {
    quellor::desktop::PressButton(quellor::desktop::Button::Left, kLeft + x, kTop + y);
    Run();
  }
  void Move(int x, int y) {
    quellor::desktop::MoveMouse(kLeft + x, kTop + y);
    Run();
  }
  void Release(int x, int y) {
    quellor::desktop::ReleaseButton(quellor::desktop::Button::Left, kLeft + x, kTop + y);
    Run();
  }
  void Click(int x, int y) {
    Press(x, y);
    Release(x, y);
  }
  void Tick(DWORD milliseconds) {
    quellor::desktop::AdvanceClock(milliseconds);
    Run();
  }
  static void Run() {
    FlushMessageQueue();
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  // The panel's pixel at a client position, as the screen shows it.
  std::uint32_t PixelAt(int x, int y) {
    return quellor::desktop::CaptureWindow(panel->GetWindowHandle()).At(x, y);
  }

  BaseWindowClass* panel = nullptr;
  ControlNotices notices;
  std::vector<std::unique_ptr<ScreenObject>> objects;
};

using Notices = std::vector<std::string>;

}  // namespace uitest
