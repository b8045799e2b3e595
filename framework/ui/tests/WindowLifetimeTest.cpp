// Framework windows that go away at awkward moments: from their own handlers,
// while they hook others, with timers pending, and queried afterwards. Run
// under AddressSanitizer, a use after free fails these tests.
#include "WindowTesting.h"

using namespace uitest;

namespace {

class WindowLifetime : public ::testing::Test {
 protected:
  void TearDown() override { Settle(); }
  Log log;
  int deleted = 0;
};

TEST_F(WindowLifetime, WindowDestroyedFromItsOwnClickIsDeletedAfterTheClick) {
  NoticeRecorder notices(log);
  auto* w = new TestWindow(log, &deleted);
  ASSERT_TRUE(w->Open(nullptr, "w", WS_POPUP));
  w->AddDependant(&notices, 1);
  HWND handle = w->GetWindowHandle();
  w->onClick = [&] {
    ::DestroyWindow(handle);
    EXPECT_EQ(0, deleted);  // still in use by the click
  };
  SendMessageA(handle, WM_LBUTTONDOWN, 0, Point(1, 1));
  EXPECT_EQ(1, deleted);
  EXPECT_EQ((Log{"w lclick 1,1", "w destroy", "notice BaseWindowClass::Closed",
                 "notice BaseWindowClass::LButtonClick", "notice DynamicTalker::Delete"}),
            log);
  EXPECT_FALSE(IsWindow(handle));
}

TEST_F(WindowLifetime, ObjectQueriedAfterItsWindowIsGoneIsNull) {
  auto* w = new TestWindow(log, &deleted);
  ASSERT_TRUE(w->Open(nullptr, "w", WS_POPUP));
  HWND handle = w->GetWindowHandle();
  EXPECT_EQ(w, Orvane_GetWindowObject(handle));
  ::DestroyWindow(handle);
  EXPECT_EQ(1, deleted);
  EXPECT_EQ(nullptr, Orvane_GetWindowObject(handle));
}

TEST_F(WindowLifetime, ObjectDeletedWhileItsWindowLivesLeavesTheWindowPlain) {
  quellor::desktop::UseManualClock(true);
  auto* w = new TestWindow(log, &deleted);
  ASSERT_TRUE(w->Open(nullptr, "w", WS_POPUP));
  HWND handle = w->GetWindowHandle();
  w->StartTimer(1, 10);
  delete w;
  quellor::desktop::AdvanceClock(30);
  PostMessageA(handle, WM_TIMER, 1, 0);  // one already queued
  Settle();
  EXPECT_FALSE(Contains(log, "w timer 1"));
  EXPECT_EQ(nullptr, Orvane_GetWindowObject(handle));
  ::DestroyWindow(handle);
  EXPECT_EQ(1, deleted);
  quellor::desktop::UseManualClock(false);
}

TEST_F(WindowLifetime, TimerQueuedForADestroyedWindowIsHarmless) {
  auto* w = new TestWindow(log, &deleted);
  ASSERT_TRUE(w->Open(nullptr, "w", WS_POPUP));
  HWND handle = w->GetWindowHandle();
  PostMessageA(handle, WM_TIMER, 4, 0);
  w->onTimer = [&] { ::DestroyWindow(handle); };
  PostMessageA(handle, WM_TIMER, 4, 0);
  Settle();
  EXPECT_EQ(1, deleted);
  EXPECT_EQ(1, std::count(log.begin(), log.end(), std::string("w timer 4")));
}

TEST_F(WindowLifetime, HookRemovedDuringDispatchIsNotCalled) {
  Log hookLog;
  auto* watched = new TestWindow(log);
  ASSERT_TRUE(watched->Open(nullptr, "watched", WS_POPUP));
  auto* first = new TestWindow(hookLog);
  auto* second = new TestWindow(hookLog);
  ASSERT_TRUE(first->Open(nullptr, "first", WS_POPUP));
  ASSERT_TRUE(second->Open(nullptr, "second", WS_POPUP));
  Settle();
  hookLog.clear();
  watched->AddExternalCallbackHook(first);
  watched->AddExternalCallbackHook(second);
  first->onClick = [&] { watched->RemoveExternalCallbackHook(second); };
  SendMessageA(watched->GetWindowHandle(), WM_LBUTTONDOWN, 0, Point(0, 0));
  EXPECT_EQ((Log{"first lclick 0,0"}), hookLog);
  ::DestroyWindow(first->GetWindowHandle());
  ::DestroyWindow(second->GetWindowHandle());
  ::DestroyWindow(watched->GetWindowHandle());
}

TEST_F(WindowLifetime, HookDestroyedDuringDispatchLeavesTheHookList) {
  Log hookLog;
  int hookDeleted = 0;
  auto* watched = new TestWindow(log, &deleted);
  ASSERT_TRUE(watched->Open(nullptr, "watched", WS_POPUP));
  auto* hook = new TestWindow(hookLog, &hookDeleted);
  ASSERT_TRUE(hook->Open(nullptr, "hook", WS_POPUP));
  watched->AddExternalCallbackHook(hook);
  HWND hookHandle = hook->GetWindowHandle();
  hook->onClick = [&] { ::DestroyWindow(hookHandle); };
  SendMessageA(watched->GetWindowHandle(), WM_LBUTTONDOWN, 0, Point(0, 0));
  EXPECT_EQ(1, hookDeleted);
  SendMessageA(watched->GetWindowHandle(), WM_LBUTTONDOWN, 0, Point(0, 0));  // no hook left
  EXPECT_EQ(2, std::count_if(log.begin(), log.end(),
                             [](const std::string& e) { return e == "watched lclick 0,0"; }));
  // A hook whose watched window goes first is not left pointing at it.
  auto* other = new TestWindow(hookLog);
  ASSERT_TRUE(other->Open(nullptr, "other", WS_POPUP));
  watched->AddExternalCallbackHook(other);
  ::DestroyWindow(watched->GetWindowHandle());
  EXPECT_EQ(1, deleted);
  ::DestroyWindow(other->GetWindowHandle());
}

TEST_F(WindowLifetime, ParentDestroyedFromChildDestroyedNoticeOutlivesTheNotice) {
  auto* parent = new TestWindow(log, &deleted);
  ASSERT_TRUE(parent->Open(nullptr, "parent", WS_POPUP));
  auto* child = new TestWindow(log, &deleted);
  ASSERT_TRUE(child->Open(parent->GetWindowHandle(), "child", WS_CHILD));
  HWND parentHandle = parent->GetWindowHandle();
  parent->onChildDestroyed = [&] { ::DestroyWindow(parentHandle); };
  ::DestroyWindow(child->GetWindowHandle());
  EXPECT_EQ(2, deleted);
  EXPECT_FALSE(IsWindow(parentHandle));
}

TEST_F(WindowLifetime, DestroyingTheLastWindowPostsQuit) {
  Settle();
  const long before = BaseWindowClass::GetLiveWindowCount();
  ASSERT_EQ(0, before);
  auto* a = new TestWindow(log);
  auto* b = new TestWindow(log);
  ASSERT_TRUE(a->Open(nullptr, "a", WS_POPUP));
  ASSERT_TRUE(b->Open(a->GetWindowHandle(), "b", WS_CHILD));
  EXPECT_EQ(2, BaseWindowClass::GetLiveWindowCount());
  ::DestroyWindow(a->GetWindowHandle());
  EXPECT_EQ(0, BaseWindowClass::GetLiveWindowCount());
  MSG m{};
  EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Switching the automatic selection shade repaints the window at once, so
// the change is seen without waiting for something else to paint it.
TEST_F(WindowLifetime, SwitchingTheAutomaticShadeRepaintsTheWindow) {
  NoticeRecorder notices(log);
  auto* w = new TestWindow(log, &deleted);
  ASSERT_TRUE(w->Open(nullptr, "w", WS_POPUP | WS_VISIBLE));
  HWND handle = w->GetWindowHandle();
  UpdateWindow(handle);
  Settle();
  w->AddDependant(&notices, 1);
  log.clear();
  w->DragAndDrop_DisplayRedShadeAutomatically(true);
  EXPECT_TRUE(Contains(log, "notice BaseWindowClass::Paint"));
  w->DeleteDependant(&notices);
  ::DestroyWindow(handle);
}

}  // namespace
