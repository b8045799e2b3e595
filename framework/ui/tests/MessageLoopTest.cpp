// The framework's message loop: listeners, vetoes, diversions, nested loops
// and mouse enter and exit.
#include <qlxrapi/MessageQueue.h>

#include "WindowTesting.h"

using namespace uitest;

namespace {

class Listener : public MessageQueue_Listener {
 public:
  Listener(Log& log, std::string name, bool veto)
      : m_log(log), m_name(std::move(name)), m_veto(veto) {}
  bool PreCallback(HWND, unsigned message, unsigned, unsigned) override {
    if (message == WM_USER + 1) m_log.push_back(m_name + " pre");
    return m_veto;
  }
  void PostCallback(HWND, unsigned message, unsigned, unsigned) override {
    if (message == WM_USER + 1) m_log.push_back(m_name + " post");
  }

 private:
  Log& m_log;
  std::string m_name;
  bool m_veto;
};

class Diversion : public MessageQueue_Diversion {
 public:
  bool Divert(MSG* m) override { return m->message == WM_USER + 1; }
};

class UserWindow : public TestWindow {
 public:
  using TestWindow::TestWindow;
  Log* seen = nullptr;

 protected:
  LRESULT AdditionalCallback(HWND window, UINT message, WPARAM w, LPARAM l) override {
    if (message == WM_USER + 1 && seen) seen->push_back("dispatched");
    return TestWindow::AdditionalCallback(window, message, w, l);
  }
};

class MessageLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    window = new UserWindow(log);
    window->seen = &log;
    ASSERT_TRUE(window->Open(nullptr, "w", WS_POPUP));
    FlushMessageQueue();
    log.clear();
  }
  void TearDown() override {
    ::DestroyWindow(window->GetWindowHandle());
    Settle();
  }
  Log log;
  UserWindow* window = nullptr;
};

TEST_F(MessageLoop, VetoStopsDispatchButEveryListenerIsCalledBeforeAndAfter) {
  Listener first(log, "first", true);
  Listener second(log, "second", false);
  PostMessageA(window->GetWindowHandle(), WM_USER + 1, 0, 0);
  FlushMessageQueue();
  EXPECT_EQ((Log{"first pre", "second pre", "first post", "second post"}), log);
}

TEST_F(MessageLoop, ConsumedByADiversionHiddenFromListeners) {
  Listener listener(log, "l", false);
  Diversion diversion;
  AddMessageDiversion(&diversion);
  EXPECT_TRUE(CurrentlyUsingDiversion(&diversion));
  PostMessageA(window->GetWindowHandle(), WM_USER + 1, 0, 0);
  FlushMessageQueue();
  EXPECT_TRUE(log.empty());
  RemoveMessageDiversion(&diversion);
  EXPECT_FALSE(CurrentlyUsingDiversion(&diversion));
  PostMessageA(window->GetWindowHandle(), WM_USER + 1, 0, 0);
  FlushMessageQueue();
  EXPECT_EQ((Log{"l pre", "dispatched", "l post"}), log);
}

class Nested : public Message_DiversionLoop {
 public:
  int DiversionLoop(MSG* m, UINT*, WPARAM*, LPARAM*) override {
    ++seen;
    return m->message == WM_USER + 2 ? 2 : 1;
  }
  int seen = 0;
};

TEST_F(MessageLoop, NestedLoopEndsOnTwoAndPassesQuitOutwards) {
  HWND h = window->GetWindowHandle();
  Nested nested;
  PostMessageA(h, WM_USER + 1, 0, 0);
  PostMessageA(h, WM_USER + 2, 0, 0);
  nested.LoopDiversion(h);
  EXPECT_EQ(2, nested.seen);
  EXPECT_EQ((Log{"dispatched"}), log);
  EXPECT_EQ(nullptr, GetCapture());
  PostQuitMessage(0);
  nested.LoopDiversion(h);
  MSG m{};
  EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Listens to WM_USER + 1 without dispatch (wParam 0), drops it (wParam 1),
// ends on WM_USER + 2; notes whether it held the mouse each time.
class Sorting : public Message_DiversionLoop {
 public:
  explicit Sorting(HWND capture) : m_capture(capture) {}
  int DiversionLoop(MSG* m, UINT*, WPARAM*, LPARAM*) override {
    held = held && GetCapture() == m_capture;
    if (m->message == WM_USER + 2) return 2;
    if (m->message == WM_USER + 1) return m->wParam == 0 ? 0 : 5;
    return 1;
  }
  bool held = true;

 private:
  HWND m_capture;
};

TEST_F(MessageLoop, NestedLoopZeroListensWithoutDispatchAndOtherValuesDropTheMessage) {
  HWND h = window->GetWindowHandle();
  Listener listener(log, "l", false);
  Sorting sorting(h);
  PostMessageA(h, WM_USER + 1, 0, 0);
  PostMessageA(h, WM_USER + 1, 1, 0);
  PostMessageA(h, WM_USER + 2, 0, 0);
  sorting.LoopDiversion(h);
  EXPECT_EQ((Log{"l pre", "l post"}), log);
  EXPECT_TRUE(sorting.held);
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(MessageLoop, MainLoopRunsThroughListenersUntilQuit) {
  Listener listener(log, "l", false);
  PostMessageA(window->GetWindowHandle(), WM_USER + 1, 0, 0);
  PostQuitMessage(0);
  ExecuteMessageQueue();
  EXPECT_EQ((Log{"l pre", "dispatched", "l post"}), log);
}

class EnterExitWindow : public TestWindow {
 public:
  using TestWindow::TestWindow;
  void MouseEnter() override { seen.push_back(m_name + " enter"); }
  void MouseExit() override { seen.push_back(m_name + " exit"); }
  Log seen;
};

TEST_F(MessageLoop, MouseEnterContextAnnouncesCrossings) {
  MouseEnterContext context;
  auto* a = new EnterExitWindow(log);
  auto* b = new EnterExitWindow(log);
  ASSERT_TRUE(a->Open(nullptr, "a", WS_POPUP));
  ASSERT_TRUE(b->Open(nullptr, "b", WS_POPUP));
  PostMessageA(a->GetWindowHandle(), WM_MOUSEMOVE, 0, 0);
  PostMessageA(a->GetWindowHandle(), WM_MOUSEMOVE, 0, 0);
  PostMessageA(b->GetWindowHandle(), WM_MOUSEMOVE, 0, 0);
  FlushMessageQueue();
  EXPECT_EQ((Log{"a enter", "a exit"}), a->seen);
  EXPECT_EQ((Log{"b enter"}), b->seen);
  ::DestroyWindow(a->GetWindowHandle());
  ::DestroyWindow(b->GetWindowHandle());
}

}  // namespace
