// The order of the messages of creation, moving, sizing and destruction.
#include "WindowTestSupport.h"

using namespace quellor::testing;

namespace {

class MessageOrderTest : public WindowTest {};

const std::vector<UINT> kLifecycle = {WM_NCCREATE,   WM_CREATE,  WM_SIZE,     WM_MOVE,
                                      WM_SHOWWINDOW, WM_DESTROY, WM_NCDESTROY};

TEST_F(MessageOrderTest, CreateSendsNcCreateCreateSizeMoveInOrder) {
  HWND w = CreateRecording("a", WS_POPUP, 10, 20, 100, 50);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(MessageLog::Instance().MessagesOf(w, kLifecycle),
            (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
  // The first message of all is WM_NCCREATE; WM_SIZE carries the client size.
  auto entries = MessageLog::Instance().Entries();
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries.front().message, UINT(WM_NCCREATE));
  for (const Logged& e : entries) {
    if (e.message == WM_SIZE) {
      EXPECT_EQ(e.lParam, MAKELPARAM(100, 50));
    }
    if (e.message == WM_MOVE) {
      EXPECT_EQ(e.lParam, MAKELPARAM(10, 20));
    }
  }
  char text[16];
  EXPECT_EQ(GetWindowTextA(w, text, sizeof text), 1);
  EXPECT_STREQ(text, "a");
}

TEST_F(MessageOrderTest, CreateStructReachesNcCreateAndCreate) {
  int marker = 7;
  HWND seen = nullptr;
  RegisterRecordingClasses();
  HWND w = CreateWindowExA(0, "RecordingWindow", "t", WS_POPUP, 1, 2, 3, 4, nullptr, nullptr,
                           nullptr, &marker);
  for (const Logged& e : MessageLog::Instance().Entries()) {
    if (e.message == WM_CREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(e.lParam);
      (void)cs;  // the structure lives only during the call
      seen = e.hwnd;
    }
  }
  EXPECT_EQ(seen, w);
}

TEST_F(MessageOrderTest, CreateFailsWhenCreateReturnsMinusOne) {
  RegisterRecordingClasses();
  WNDCLASSA wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_CREATE) return -1;
    MessageLog::Instance().Add(Logged{h, m, wp, lp});
    return DefWindowProcA(h, m, wp, lp);
  };
  wc.lpszClassName = "FailingCreate";
  RegisterClassA(&wc);
  EXPECT_EQ(CreateWindowExA(0, "FailingCreate", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            nullptr, nullptr),
            nullptr);
  bool destroyed = false, ncDestroyed = false;
  for (const Logged& e : MessageLog::Instance().Entries()) {
    destroyed |= e.message == WM_DESTROY;
    ncDestroyed |= e.message == WM_NCDESTROY;
  }
  EXPECT_TRUE(destroyed);
  EXPECT_TRUE(ncDestroyed);
}

TEST_F(MessageOrderTest, MoveAndSizeAnnounceThroughWindowPosChanged) {
  HWND w = CreateRecording("a", WS_POPUP, 0, 0, 100, 50);
  MessageLog::Instance().Clear();
  SetWindowPos(w, nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(MessageLog::Instance().MessagesOf(
                w, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}),
            (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}));
  MessageLog::Instance().Clear();
  MoveWindow(w, 5, 6, 70, 80, TRUE);
  EXPECT_EQ(MessageLog::Instance().MessagesOf(w, {WM_MOVE, WM_SIZE}), (std::vector<UINT>{WM_SIZE}));
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.right - r.left, 70);
  GetClientRect(w, &r);
  EXPECT_EQ(r.bottom, 80);
}

TEST_F(MessageOrderTest, DestroySendsParentThenChildrenThenNcDestroyLast) {
  HWND parent = CreateRecording("p", WS_POPUP, 0, 0, 100, 100);
  HWND child = CreateRecording("c", WS_CHILD, 0, 0, 10, 10, parent, 1);
  HWND grandchild = CreateRecording("g", WS_CHILD, 0, 0, 5, 5, child, 2);
  MessageLog::Instance().Clear();
  ASSERT_TRUE(DestroyWindow(parent));
  std::vector<std::pair<HWND, UINT>> order;
  for (const Logged& e : MessageLog::Instance().Entries()) {
    if (e.message == WM_DESTROY || e.message == WM_NCDESTROY) order.emplace_back(e.hwnd, e.message);
  }
  std::vector<std::pair<HWND, UINT>> expected = {
      {parent, WM_DESTROY},       {child, WM_DESTROY},   {grandchild, WM_DESTROY},
      {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(grandchild));
}

TEST_F(MessageOrderTest, DestroyFromInsideWmDestroyIsHarmless) {
  HWND w = CreateRecording("a", WS_POPUP, 0, 0, 10, 10);
  HWND child = CreateRecording("c", WS_CHILD, 0, 0, 5, 5, w);
  int destroyCalls = 0;
  SetHandler(w, [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
    if (m == WM_DESTROY) {
      ++destroyCalls;
      DestroyWindow(h);      // the framework does this from its WM_DESTROY
      DestroyWindow(child);  // and closes its children itself
    }
    return false;
  });
  EXPECT_TRUE(DestroyWindow(w));
  EXPECT_EQ(destroyCalls, 1);
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(MessageLog::Instance().MessagesOf(child, {WM_NCDESTROY}).size(), 1u);
}

TEST_F(MessageOrderTest, ChildrenAreNotifiedToParentAndWalkInZOrder) {
  HWND parent = CreateRecording("p", WS_POPUP, 0, 0, 100, 100);
  HWND a = CreateRecording("a", WS_CHILD, 0, 0, 10, 10, parent, 11);
  HWND b = CreateRecording("b", WS_CHILD, 0, 0, 10, 10, parent, 12);
  auto notes = MessageLog::Instance().MessagesOf(parent, {WM_PARENTNOTIFY});
  EXPECT_EQ(notes.size(), 2u);
  // Children keep creation order: the first created is first in z-order.
  EXPECT_EQ(GetWindow(parent, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDPREV), a);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetParent(a), parent);
  EXPECT_EQ(GetDlgItem(parent, 12), b);
  EXPECT_EQ(GetDlgCtrlID(a), 11);
  SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), b);
}

TEST_F(MessageOrderTest, PopupParentIsItsOwnerAndSetParentMoves) {
  HWND owner = CreateRecording("o", WS_POPUP, 0, 0, 100, 100);
  HWND popup = CreateRecording("p", WS_POPUP, 0, 0, 10, 10, owner);
  HWND overlapped = CreateRecording("x", WS_OVERLAPPED, 0, 0, 10, 10, owner);
  EXPECT_EQ(GetParent(popup), owner);
  EXPECT_EQ(GetParent(overlapped), nullptr);
  EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
  HWND other = CreateRecording("n", WS_POPUP, 0, 0, 100, 100);
  HWND child = CreateRecording("c", WS_CHILD, 1, 2, 10, 10, owner);
  EXPECT_EQ(SetParent(child, other), owner);
  EXPECT_EQ(GetParent(child), other);
  EXPECT_TRUE(IsChild(other, child));
  EXPECT_FALSE(IsChild(owner, child));
  // A window cannot go under its own child.
  EXPECT_EQ(SetParent(other, child), nullptr);
  // Destroying the owner destroys what it owns.
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(popup));
}

TEST_F(MessageOrderTest, WindowDataAndStyles) {
  HWND w = CreateRecording("a", WS_POPUP, 0, 0, 10, 10);
  EXPECT_EQ(SetWindowLongPtrA(w, GWLP_USERDATA, LONG_PTR(0x123456789AB)), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), LONG_PTR(0x123456789AB));
  EXPECT_TRUE(GetWindowLongPtrA(w, GWL_STYLE) & WS_POPUP);
  MessageLog::Instance().Clear();
  SetWindowLongPtrA(w, GWL_STYLE, WS_POPUP | WS_CLIPCHILDREN);
  EXPECT_EQ(MessageLog::Instance().MessagesOf(w, {WM_STYLECHANGING, WM_STYLECHANGED}),
            (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
  WNDPROC old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWLP_WNDPROC));
  ASSERT_NE(old, nullptr);
  static WNDPROC previous = old;
  static int subclassed = 0;
  SetWindowLongPtrA(
      w, GWLP_WNDPROC,
      reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_USER + 5) ++subclassed;
        return CallWindowProcA(previous, h, m, wp, lp);
      }));
  SendMessageA(w, WM_USER + 5, 0, 0);
  EXPECT_EQ(subclassed, 1);
  EXPECT_EQ(GetWindowLongPtrA(w, 4096), 0);
  EXPECT_EQ(GetLastError(), DWORD(1413));
  EXPECT_EQ(GetWindowLongPtrA(reinterpret_cast<HWND>(uintptr_t(0x999)), GWL_STYLE), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(MessageOrderTest, ClassRegistrationRules) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "QLClip";
  wc.style = CS_OWNDC;
  wc.lpszMenuName = MAKEINTRESOURCEA(102);
  ASSERT_NE(RegisterClassA(&wc), 0);
  EXPECT_EQ(RegisterClassA(&wc), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
  HWND w =
      CreateWindowExA(WS_EX_CONTROLPARENT, "qlclip", "Video Quellor Director / Clipboard Viewer",
                      WS_OVERLAPPEDWINDOW, 320, 240, 320, 240, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(GetClassLongPtrA(w, GCLP_MENUNAME), ULONG_PTR(102));
  // The overlapped frame makes the client area smaller than the window.
  RECT client, window;
  GetClientRect(w, &client);
  GetWindowRect(w, &window);
  EXPECT_LT(client.right, window.right - window.left);
  EXPECT_FALSE(UnregisterClassA("QLClip", nullptr));  // a window still uses it
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClassA("QLClip", nullptr));
  EXPECT_FALSE(UnregisterClassA("QLClip", nullptr));
}

}  // namespace
