// Queues: cross-thread sending, posting, quit, timers on the manual clock.
#include <atomic>
#include <future>
#include <memory>
#include <thread>

#include "WindowTestSupport.h"
#include "win32/testing/Sends.h"

using namespace quellor::testing;
namespace desktop = quellor::desktop;

namespace {

class MessageQueueTest : public WindowTest {};

// Runs a window on its own thread and pumps its messages until WM_QUIT.
class WindowThread {
 public:
  explicit WindowThread(std::function<void(HWND)> setup = {}) {
    std::promise<HWND> ready;
    auto future = ready.get_future();
    thread_ = std::thread([this, setup, &ready] {
      HWND w = CreateRecording("worker", WS_POPUP, 0, 0, 10, 10);
      if (setup) setup(w);
      ready.set_value(w);
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      DestroyWindow(w);
    });
    hwnd_ = future.get();
  }
  ~WindowThread() {
    PostMessageA(hwnd_, WM_QUIT, 0, 0);
    thread_.join();
  }
  HWND hwnd() const { return hwnd_; }

 private:
  std::thread thread_;
  HWND hwnd_;
};

TEST_F(MessageQueueTest, SendToAnotherThreadIsAnsweredByThatThread) {
  std::atomic<DWORD> handledOn{0};
  WindowThread worker([&](HWND w) {
    SetHandler(w, [&](HWND h, UINT m, WPARAM wp, LPARAM, LRESULT* result) {
      if (m != WM_USER + 1) return false;
      handledOn = GetWindowThreadProcessId(h, nullptr);
      *result = LRESULT(wp * 2);
      return true;
    });
  });
  EXPECT_EQ(SendMessageA(worker.hwnd(), WM_USER + 1, 21, 0), 42);
  EXPECT_EQ(handledOn.load(), GetWindowThreadProcessId(worker.hwnd(), nullptr));
}

TEST_F(MessageQueueTest, SendersAnswerIncomingSendsWhileWaiting) {
  // The worker, while handling our message, sends one back to our window:
  // without answering it while we wait, both threads would hang.
  HWND mine = CreateRecording("main", WS_POPUP, 0, 0, 10, 10);
  SetHandler(mine, [](HWND, UINT m, WPARAM, LPARAM, LRESULT* result) {
    if (m != WM_USER + 2) return false;
    *result = 5;
    return true;
  });
  WindowThread worker([mine](HWND w) {
    SetHandler(w, [mine](HWND, UINT m, WPARAM, LPARAM, LRESULT* result) {
      if (m != WM_USER + 1) return false;
      *result = SendMessageA(mine, WM_USER + 2, 0, 0) + 1;
      return true;
    });
  });
  EXPECT_EQ(SendMessageA(worker.hwnd(), WM_USER + 1, 0, 0), 6);
}

TEST_F(MessageQueueTest, WindowsEndWithTheirThread) {
  HWND orphan;
  std::thread([&] {
    orphan = CreateRecording("gone", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  }).join();
  EXPECT_FALSE(IsWindow(orphan));
  EXPECT_EQ(SendMessageA(orphan, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessageA(orphan, WM_USER, 0, 0));
  EXPECT_EQ(WindowFromPoint(POINT{5, 5}), nullptr);
}

TEST_F(MessageQueueTest, SendToAThreadThatEndsWithoutAnsweringReturnsZero) {
  std::promise<HWND> created;
  std::promise<void> release;
  std::thread t([&] {
    created.set_value(CreateRecording("busy", WS_POPUP, 0, 0, 10, 10));
    release.get_future().wait();  // never reads its queue
  });
  HWND busy = created.get_future().get();
  // The thread ends only once the send is queued and waiting for it.
  std::promise<void> waiting;
  desktop::SetSendWaitHook([&](HWND target) {
    if (target == busy) waiting.set_value();
  });
  // The sender runs detached, so a send that is never answered fails the
  // test below instead of hanging it.
  auto answer = std::make_shared<std::promise<LRESULT>>();
  auto answered = answer->get_future();
  std::thread([busy, answer] { answer->set_value(SendMessageA(busy, WM_USER, 0, 0)); }).detach();
  waiting.get_future().wait();
  desktop::SetSendWaitHook({});
  release.set_value();
  t.join();
  ASSERT_EQ(answered.wait_for(std::chrono::seconds(30)), std::future_status::ready)
      << "the send still waits for a thread that has ended";
  EXPECT_EQ(answered.get(), 0);
}

TEST_F(MessageQueueTest, PostedMessagesComeInOrderAndQuitAfterThem) {
  HWND w = CreateRecording("a", WS_POPUP, 0, 0, 10, 10);
  PostMessageA(w, WM_USER + 1, 0, 0);
  PostQuitMessage(3);
  PostMessageA(w, WM_USER + 2, 0, 0);
  MSG msg;
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, UINT(WM_USER + 1));
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, UINT(WM_USER + 2));
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  EXPECT_EQ(msg.wParam, WPARAM(3));
  // Filters: a range selects messages, PM_NOREMOVE leaves them.
  PostMessageA(w, WM_USER + 7, 0, 0);
  PostMessageA(w, WM_USER + 9, 0, 0);
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 8, WM_USER + 9, PM_NOREMOVE));
  EXPECT_EQ(msg.message, UINT(WM_USER + 9));
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_USER + 7));
}

TEST_F(MessageQueueTest, PostThreadMessageReachesTheThreadQueue) {
  std::promise<UINT> got;
  std::promise<DWORD> id;
  std::thread t([&] {
    HWND w = CreateRecording("t", WS_POPUP, 0, 0, 1, 1);
    id.set_value(GetWindowThreadProcessId(w, nullptr));
    MSG msg;
    GetMessageA(&msg, nullptr, 0, 0);
    got.set_value(msg.hwnd == nullptr ? msg.message : 0);
    DestroyWindow(w);
  });
  EXPECT_TRUE(PostThreadMessageA(id.get_future().get(), WM_APP + 3, 0, 0));
  EXPECT_EQ(got.get_future().get(), UINT(WM_APP + 3));
  t.join();
  EXPECT_FALSE(PostThreadMessageA(0xFFFFFFF0u, WM_APP, 0, 0));
}

TEST_F(MessageQueueTest, TimersFireOnlyWhenTheClockIsAdvanced) {
  HWND w = CreateRecording("a", WS_POPUP, 0, 0, 10, 10);
  EXPECT_EQ(SetTimer(w, 7, 100, nullptr), UINT_PTR(7));
  desktop::RunUntilIdle();
  EXPECT_TRUE(MessageLog::Instance().MessagesOf(w, {WM_TIMER}).empty());
  desktop::AdvanceClock(99);
  desktop::RunUntilIdle();
  EXPECT_TRUE(MessageLog::Instance().MessagesOf(w, {WM_TIMER}).empty());
  desktop::AdvanceClock(1);
  desktop::RunUntilIdle();
  EXPECT_EQ(MessageLog::Instance().MessagesOf(w, {WM_TIMER}).size(), 1u);
  // Several periods passing at once give one WM_TIMER, as on Windows.
  desktop::AdvanceClock(1000);
  desktop::RunUntilIdle();
  EXPECT_EQ(MessageLog::Instance().MessagesOf(w, {WM_TIMER}).size(), 2u);
  for (const Logged& e : MessageLog::Instance().Entries()) {
    if (e.message == WM_TIMER) {
      EXPECT_EQ(e.wParam, WPARAM(7));
    }
  }
  EXPECT_TRUE(KillTimer(w, 7));
  EXPECT_FALSE(KillTimer(w, 7));
  desktop::AdvanceClock(1000);
  desktop::RunUntilIdle();
  EXPECT_EQ(MessageLog::Instance().MessagesOf(w, {WM_TIMER}).size(), 2u);
}

TEST_F(MessageQueueTest, TimerProcedureIsCalledByDispatch) {
  static int calls = 0;
  calls = 0;
  UINT_PTR id = SetTimer(nullptr, 0, 10, [](HWND, UINT m, UINT_PTR, DWORD) {
    if (m == WM_TIMER) ++calls;
  });
  ASSERT_NE(id, UINT_PTR(0));
  desktop::AdvanceClock(10);
  desktop::RunUntilIdle();
  EXPECT_EQ(calls, 1);
  KillTimer(nullptr, id);
}

TEST_F(MessageQueueTest, PaintComesAfterPostedMessagesAndTimersAfterPaint) {
  HWND w = CreateRecording("a", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  desktop::RunUntilIdle();
  SetTimer(w, 1, 10, nullptr);
  desktop::AdvanceClock(10);
  InvalidateRect(w, nullptr, FALSE);
  PostMessageA(w, WM_USER, 0, 0);
  MSG msg;
  std::vector<UINT> order;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    order.push_back(msg.message);
    DispatchMessageA(&msg);
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_PAINT, WM_TIMER}));
}

TEST_F(MessageQueueTest, GetMessageWakesForTimerWithRealClock) {
  desktop::UseManualClock(false);
  HWND w = CreateRecording("a", WS_POPUP, 0, 0, 10, 10);
  SetTimer(w, 3, 10, nullptr);  // the minimum period: a short wait
  MSG msg;
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, UINT(WM_TIMER));
  KillTimer(w, 3);
  desktop::UseManualClock(true);
}

TEST_F(MessageQueueTest, TranslateMessageMakesCharacters) {
  HWND w = CreateRecording("a", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  SetFocus(w);
  desktop::RunUntilIdle();
  MessageLog::Instance().Clear();
  desktop::TypeKey('A');
  desktop::PressKey(VK_SHIFT);
  desktop::TypeKey('B');
  desktop::ReleaseKey(VK_SHIFT);
  desktop::RunUntilIdle();
  std::vector<WPARAM> chars;
  for (const Logged& e : MessageLog::Instance().Entries()) {
    if (e.message == WM_CHAR) chars.push_back(e.wParam);
  }
  EXPECT_EQ(chars, (std::vector<WPARAM>{'a', 'B'}));
  auto keys = MessageLog::Instance().MessagesOf(w, {WM_KEYDOWN, WM_KEYUP, WM_CHAR});
  ASSERT_GE(keys.size(), 3u);
  EXPECT_EQ(keys[0], UINT(WM_KEYDOWN));
  EXPECT_EQ(keys[1], UINT(WM_CHAR));
  EXPECT_EQ(keys[2], UINT(WM_KEYUP));
}

TEST_F(MessageQueueTest, WindowsOnManyThreadsAtOnce) {
  std::atomic<int> painted{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &painted] {
      for (int i = 0; i < 10; ++i) {
        HWND w = CreateSolidWindow(RGB(t * 60, i * 20, 0), WS_POPUP | WS_VISIBLE, t * 50, i * 10,
                                   40, 40);
        HWND child = CreateRecording("c", WS_CHILD | WS_VISIBLE, 5, 5, 10, 10, w);
        desktop::RunUntilIdle();
        HDC hdc = GetDC(child);
        RECT r{0, 0, 10, 10};
        FillRect(hdc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(child, hdc);
        painted += desktop::CaptureWindow(w).At(6, 6) == 0 ? 1 : 0;
        DestroyWindow(w);
      }
    });
  }
  for (int i = 0; i < 20; ++i) desktop::CaptureScreen();
  for (auto& t : threads) t.join();
  EXPECT_EQ(painted.load(), 40);
}

}  // namespace
