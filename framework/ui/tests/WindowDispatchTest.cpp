// Messages of a framework window as virtual calls and named notices.
#include <qlxrapi/PluginClass.h>
#include <qlxrapi/WindowFunctions.h>

#include "WindowTesting.h"

using namespace uitest;

namespace {

class WindowDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    top = new TestWindow(log);
    ASSERT_TRUE(top->Open(nullptr, "top", WS_POPUP | WS_VISIBLE));
    top->AddDependant(&notices, 1);
    Settle();
  }
  void TearDown() override {
    if (IsWindow(topHandle())) ::DestroyWindow(topHandle());
    Settle();
  }
  HWND topHandle() { return top->GetWindowHandle(); }

  Log log;
  NoticeRecorder notices{log};
  TestWindow* top = nullptr;
};

TEST_F(WindowDispatch, FirstMessageOpensTheWindowOnceAndTellsTheParent) {
  EXPECT_TRUE(top->IsOpened());
  EXPECT_EQ(1, std::count(log.begin(), log.end(), std::string("top init")));
  NoticeRecorder childNotices(log);
  log.clear();
  auto* child = new TestWindow(log);
  ASSERT_TRUE(child->Open(topHandle(), "child", WS_CHILD | WS_VISIBLE));
  child->AddDependant(&childNotices, 2);
  Settle();
  std::erase_if(log, [](const std::string& e) { return e.find("Paint") != std::string::npos; });
  EXPECT_EQ((Log{"child init", "notice BaseWindowClass::Opened", "top child created",
                 "notice BaseWindowClass::ChildCreated"}),
            log);
  EXPECT_EQ(child, Orvane_GetWindowObject(child->GetWindowHandle()));
  EXPECT_EQ(top, child->GetParentBWC());
}

TEST_F(WindowDispatch, MouseButtonsCarrySignExtendedPositionsVirtualFirst) {
  log.clear();
  SendMessageA(topHandle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(-3, 7));
  ASSERT_EQ((Log{"top lclick -3,7", "notice BaseWindowClass::LButtonClick"}), log);
  EXPECT_EQ(MK_LBUTTON, notices.lastArgs[0]);
  EXPECT_EQ(static_cast<std::uint64_t>(-3), notices.lastArgs[1]);
  EXPECT_EQ(7u, notices.lastArgs[2]);
}

TEST_F(WindowDispatch, KeyReleaseAnnouncesKeyDownAndMoveAnnouncesSizedThenMoved) {
  log.clear();
  SendMessageA(topHandle(), WM_KEYUP, VK_F5, 0);
  EXPECT_EQ((Log{"top keyup 116", "notice BaseWindowClass::KeyDown"}), log);
  EXPECT_EQ(static_cast<std::uint64_t>(VK_F5), notices.lastArgs[0]);
  log.clear();
  SendMessageA(topHandle(), WM_MOVE, 0, Point(12, -4));
  EXPECT_EQ(
      (Log{"top moved 12,-4", "notice BaseWindowClass::Sized", "notice BaseWindowClass::Moved"}),
      log);
}

TEST_F(WindowDispatch, DeferredMessagesArriveAfterTheCurrentOne) {
  log.clear();
  top->DeferredMessage(3, 9);
  EXPECT_TRUE(log.empty());
  Settle();
  EXPECT_EQ((Log{"top deferred 3,9"}), log);
}

TEST_F(WindowDispatch, TimersArriveAsVirtualAndNotice) {
  quellor::desktop::UseManualClock(true);
  top->StartTimer(5, 20);
  log.clear();
  quellor::desktop::AdvanceClock(25);
  Settle();
  EXPECT_TRUE(Contains(log, "top timer 5"));
  EXPECT_TRUE(Contains(log, "notice BaseWindowClass::Timer"));
  top->StopTimer(5);
  log.clear();
  quellor::desktop::AdvanceClock(50);
  Settle();
  EXPECT_FALSE(Contains(log, "top timer 5"));
  quellor::desktop::UseManualClock(false);
}

TEST_F(WindowDispatch, HooksSeeTheWindowsMessagesButNotItsObjectQuery) {
  Log hookLog;
  auto* hook = new TestWindow(hookLog);
  ASSERT_TRUE(hook->Open(nullptr, "hook", WS_POPUP));
  Settle();
  hookLog.clear();
  top->AddExternalCallbackHook(hook);
  SendMessageA(topHandle(), WM_LBUTTONDOWN, 0, Point(1, 2));
  EXPECT_EQ((Log{"hook lclick 1,2"}), hookLog);
  EXPECT_EQ(top, Orvane_GetWindowObject(topHandle()));  // the hook does not answer for it
  top->RemoveExternalCallbackHook(hook);
  SendMessageA(topHandle(), WM_LBUTTONDOWN, 0, Point(1, 2));
  EXPECT_EQ(1u, hookLog.size());
  ::DestroyWindow(hook->GetWindowHandle());
}

TEST_F(WindowDispatch, ChildWalkAndSizes) {
  EXPECT_EQ(-1, top->GetChildNo(topHandle()));
  auto* child = new TestWindow(log);
  ASSERT_TRUE(child->Open(topHandle(), "child", WS_CHILD | WS_VISIBLE));
  EXPECT_EQ(1, top->GetNoChildren());
  EXPECT_EQ(0, top->GetChildNo(child->GetWindowHandle()));
  EXPECT_EQ(nullptr, top->GetChildhWnd(1));
  top->SetWindowSize(200, 150);
  child->ResizeToChildren(true);  // no children: the parent's client size
  EXPECT_EQ(200, child->GetWindowWidth());
  EXPECT_EQ(150, child->GetWindowHeight());
  child->SetWindowSize(30, 20);
  child->SetWindowPosition(5, 6);
  top->ResizeToChildren(false);
  EXPECT_EQ(30, top->GetWindowWidth());
  EXPECT_EQ(20, top->GetWindowHeight());
}

// A window class whose windows make their own framework object, as a
// plug-in's control classes do.
LRESULT CALLBACK MakeObjectProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_CREATE) (new BaseWindowClass)->SetupControl(window);
  return DefWindowProcA(window, message, w, l);
}

TEST_F(WindowDispatch, OrvaneNewAnswersTheObjectBehindANewWindow) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &MakeObjectProcedure;
  windowClass.lpszClassName = "UiTestControl";
  ASSERT_NE(0, RegisterClassA(&windowClass));
  PluginClass* made = Orvane_New(const_cast<char*>("UiTestControl"), topHandle(), 0, 0, 10, 10,
                                 const_cast<char*>(""), WS_CHILD, 0);
  ASSERT_NE(nullptr, made);
  auto* window = dynamic_cast<BaseWindowClass*>(made);
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(window, Orvane_GetWindowObject(window->GetWindowHandle()));
  EXPECT_EQ(nullptr, Orvane_New(const_cast<char*>("STATIC"), topHandle(), 0, 0, 1, 1,
                                const_cast<char*>(""), WS_CHILD, 0));
}

}  // namespace
