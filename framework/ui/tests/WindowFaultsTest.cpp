// More windows that go away at awkward moments: from a notice of their own
// paint, from a hook that watches them, with a real timer still set and with
// a deferred message on its way; and screen objects whose holders go first.
// Run under AddressSanitizer, a use after free fails these tests.
#include <qlxrapi/BitmapItem.h>

#include "WindowTesting.h"

using namespace uitest;

namespace {

class WindowFaults : public ::testing::Test {
 protected:
  void TearDown() override {
    Settle();
    quellor::desktop::UseManualClock(false);
  }
  Log log;
  int deleted = 0;
};

TEST_F(WindowFaults, WindowDestroyedByAListenerOfItsOwnPaint) {
  NoticeRecorder notices(log);
  auto* w = new TestWindow(log, &deleted);
  ASSERT_TRUE(w->Open(nullptr, "w", WS_POPUP | WS_VISIBLE));
  HWND handle = w->GetWindowHandle();
  Settle();
  w->AddDependant(&notices, 1);
  notices.onNotice = [&](const char* name, std::uint64_t*) {
    if (std::string(name) == "BaseWindowClass::Paint") ::DestroyWindow(handle);
  };
  InvalidateRect(handle, nullptr, TRUE);
  UpdateWindow(handle);
  notices.onNotice = nullptr;
  EXPECT_EQ(1, deleted);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_TRUE(Contains(log, "notice BaseWindowClass::Closed"));
}

TEST_F(WindowFaults, HookDestroyingTheWindowItWatches) {
  Log hookLog;
  auto* watched = new TestWindow(log, &deleted);
  ASSERT_TRUE(watched->Open(nullptr, "watched", WS_POPUP));
  auto* hook = new TestWindow(hookLog);
  ASSERT_TRUE(hook->Open(nullptr, "hook", WS_POPUP));
  HWND watchedHandle = watched->GetWindowHandle();
  watched->AddExternalCallbackHook(hook);
  hook->onClick = [&] { ::DestroyWindow(watchedHandle); };
  SendMessageA(watchedHandle, WM_LBUTTONDOWN, 0, Point(2, 3));
  EXPECT_EQ(1, deleted);
  EXPECT_FALSE(IsWindow(watchedHandle));
  // The hook lives on and hears nothing more of the window that went.
  SendMessageA(hook->GetWindowHandle(), WM_LBUTTONDOWN, 0, Point(1, 1));
  EXPECT_TRUE(Contains(hookLog, "hook lclick 1,1"));
  ::DestroyWindow(hook->GetWindowHandle());
}

TEST_F(WindowFaults, TimerSetWhenTheWindowWentNeverFires) {
  quellor::desktop::UseManualClock(true);
  auto* w = new TestWindow(log, &deleted);
  ASSERT_TRUE(w->Open(nullptr, "w", WS_POPUP));
  HWND handle = w->GetWindowHandle();
  w->StartTimer(7, 5);
  quellor::desktop::AdvanceClock(6);
  ::DestroyWindow(handle);  // with a tick due
  quellor::desktop::AdvanceClock(50);
  Settle();
  EXPECT_EQ(1, deleted);
  EXPECT_FALSE(Contains(log, "w timer 7"));
}

TEST_F(WindowFaults, DeferredMessageForAWindowThatWentIsDropped) {
  auto* w = new TestWindow(log, &deleted);
  ASSERT_TRUE(w->Open(nullptr, "w", WS_POPUP));
  w->DeferredMessage(4, 5);
  ::DestroyWindow(w->GetWindowHandle());
  Settle();
  EXPECT_EQ(1, deleted);
  EXPECT_FALSE(Contains(log, "w deferred 4,5"));
}

TEST_F(WindowFaults, ObjectQueriedFromItsOwnDestroyHandlerThenGone) {
  // Asked from inside its own closing, the window still answers with its
  // object; once the close is over, with none.
  class Asking : public TestWindow {
   public:
    Asking(Log& log, int* deleted, BaseWindowClass** seen)
        : TestWindow(log, deleted), m_seen(seen) {}
    void DestroyWindow() override {
      *m_seen = Orvane_GetWindowObject(GetWindowHandle());
      TestWindow::DestroyWindow();
    }

   private:
    BaseWindowClass** m_seen;
  };
  BaseWindowClass* seen = nullptr;
  auto* w = new Asking(log, &deleted, &seen);
  ASSERT_TRUE(w->Open(nullptr, "w", WS_POPUP));
  HWND handle = w->GetWindowHandle();
  ::DestroyWindow(handle);
  EXPECT_EQ(static_cast<BaseWindowClass*>(w), seen);
  EXPECT_EQ(1, deleted);
  EXPECT_EQ(nullptr, Orvane_GetWindowObject(handle));
  EXPECT_EQ(0, SendMessageA(handle, WM_LBUTTONDOWN, 0, Point(1, 1)));
}

TEST(ScreenObjectFaults, ContainerWhoseChildIsDeletedElsewhereDrawsNothing) {
  auto* child = new BitmapItem(192ul, nullptr);
  ASSERT_TRUE(child->GetBitmap()->Resize(2, 2));
  ScreenObject_Container holder(child);
  delete child;  // by someone holding a plain pointer
  EXPECT_EQ(nullptr, holder.GetChildItem());
  RECT r{0, 0, 4, 4};
  WindowBitmap surface(4, 4);
  EXPECT_TRUE(holder.ScreenObject_DrawItem(&r, surface.GetHDC()));
  EXPECT_EQ(-1, holder.ScreenObject_GetPreferedXSize());
}

TEST(ScreenObjectFaults, CompositeChildRegisteredAgainUnderItsNameLeavesTheStack) {
  ScreenObject_Composite stack;
  new ScreenObjectNull(const_cast<char*>("FAULT_PIECE"));
  ScreenObject* entry = GetResource(const_cast<char*>("FAULT_PIECE"));
  stack.ScreenObject_Composite_AddChild(entry, false);
  ASSERT_EQ(1ul, stack.ScreenObject_Composite_GetNoChildren());
  // A skin registers another piece under the name: the entry the stack held
  // is deleted, and the stack lets go of it rather than dangle.
  new ScreenObjectNull(const_cast<char*>("fault_piece"));
  EXPECT_EQ(0ul, stack.ScreenObject_Composite_GetNoChildren());
  RECT r{0, 0, 4, 4};
  EXPECT_TRUE(stack.ScreenObject_DrawItem(&r, nullptr));
  DeleteResource(const_cast<char*>("FAULT_PIECE"));
}

}  // namespace
