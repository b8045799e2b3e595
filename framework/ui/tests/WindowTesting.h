// A window object and a notice listener that write what they see into one
// log, so that tests can check the order of virtual calls and notices.
#pragma once

#include <gtest/gtest.h>
#include <qlxrapi/BaseWindowClass.h>
#include <qlxrapi/DynamicListener.h>
#include <win32/automation/Desktop.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace uitest {

using Log = std::vector<std::string>;

class NoticeRecorder : public DynamicListener {
 public:
  explicit NoticeRecorder(Log& log) : m_log(log) {}
  ~NoticeRecorder() override { RemoveAllDependantsToThis(); }
  void DynamicCallback(long, const char* name, void* args) override {
    auto* words = static_cast<std::uint64_t*>(args);
    m_log.push_back(std::string("notice ") + name);
    // Mouse-button notices carry three words; every notice at least one.
    const bool mouse = std::string(name).find("Button") != std::string::npos;
    lastArgs.assign(words, words + (mouse ? 3 : 1));
    if (onNotice) onNotice(name, words);
  }
  std::vector<std::uint64_t> lastArgs;
  std::function<void(const char*, std::uint64_t*)> onNotice;

 private:
  Log& m_log;
};

class TestWindow : public BaseWindowClass {
 public:
  explicit TestWindow(Log& log, int* deleted = nullptr) : m_log(log), m_deleted(deleted) {}
  ~TestWindow() override {
    if (m_deleted) ++*m_deleted;
  }
  void InitialiseWindow() override { m_log.push_back(m_name + " init"); }
  void DestroyWindow() override { m_log.push_back(m_name + " destroy"); }
  void OnTimer(unsigned long id) override {
    m_log.push_back(m_name + " timer " + std::to_string(id));
    if (onTimer) onTimer();
  }
  void WindowMoved(long x, long y) override {
    m_log.push_back(m_name + " moved " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseLButtonClick(long, long x, long y) override {
    m_log.push_back(m_name + " lclick " + std::to_string(x) + "," + std::to_string(y));
    if (onClick) onClick();
  }
  void KeyPressedUp(int key) override { m_log.push_back(m_name + " keyup " + std::to_string(key)); }
  void Child_Created(HWND) override { m_log.push_back(m_name + " child created"); }
  void Child_Destroyed(HWND) override {
    m_log.push_back(m_name + " child destroyed");
    if (onChildDestroyed) onChildDestroyed();
  }
  void ReceiveDeferredMessage(unsigned w, unsigned l) override {
    m_log.push_back(m_name + " deferred " + std::to_string(w) + "," + std::to_string(l));
  }
  bool DragNDrop_FilesDropped(FileSelectNames* names) override {
    m_log.push_back(m_name + " dropped " + std::to_string(names->FileSelect_GetNoFiles()));
    return takesFiles;
  }
  bool Open(HWND parent, const char* name, long style) {
    m_name = name;
    return OpenWindow(parent, 0, 0, 100, 80, const_cast<char*>(name), style, 0);
  }

  std::function<void()> onClick, onTimer, onChildDestroyed;
  bool takesFiles = false;
  std::string m_name = "w";

 private:
  Log& m_log;
  int* m_deleted;
};

inline bool Contains(const Log& log, const std::string& entry) {
  for (const auto& e : log)
    if (e == entry) return true;
  return false;
}

inline LPARAM Point(int x, int y) {
  return static_cast<LPARAM>((static_cast<unsigned>(y & 0xFFFF) << 16) |
                             static_cast<unsigned>(x & 0xFFFF));
}

// Runs queued messages (the opened message among them) and forgets a
// WM_QUIT that closing the tests' last window posts.
inline void Settle() {
  quellor::desktop::RunUntilIdle();
  MSG m;
  while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace uitest
