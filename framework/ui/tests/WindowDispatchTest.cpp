// Messages of a framework window as virtual calls and named notices.
#include <qlxrapi/PluginClass.h>
#include <qlxrapi/WindowFunctions.h>
#include <qlxrapi/WindowSystem.h>

#include <vector>

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

// Fills its whole client area with one colour each time it paints.
class FilledWindow : public BaseWindowClass {
 public:
  explicit FilledWindow(COLORREF colour) : m_colour(colour) {}
  void PaintWindow(HWND window, HDC dc) override {
    RECT client{};
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(m_colour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
  }
  COLORREF m_colour;
};

TEST_F(WindowDispatch, APaintClipsAwayTheChildrenOverItsAreaAndOnlyThose) {
  auto* panel = new FilledWindow(RGB(255, 255, 255));
  ASSERT_TRUE(panel->OpenWindow(topHandle(), 30, 20, 400, 250, const_cast<char*>("panel"),
                                WS_CHILD | WS_VISIBLE, 0));
  HWND window = panel->GetWindowHandle();
  // Two hundred children in rows of twenty, and one with a frame, whose
  // client area is smaller than its window.
  std::vector<HWND> children;
  for (int i = 0; i < 200; ++i) {
    auto* child = new FilledWindow(RGB(0, 0, 255));
    ASSERT_TRUE(child->OpenWindow(window, (i % 20) * 20, (i / 20) * 20, 16, 16,
                                  const_cast<char*>("c"), WS_CHILD | WS_VISIBLE, 0));
    children.push_back(child->GetWindowHandle());
  }
  HWND framed = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 300, 210, 30,
                                30, window, nullptr, nullptr, nullptr);
  Settle();
  // What the window system reports for an area: exactly the client
  // rectangles that meet it, topmost first, as the plain walk finds them.
  auto& system = quellor::win::CurrentWindowSystem();
  for (const RECT& area : {RECT{25, 25, 45, 45}, RECT{0, 0, 0, 0}, RECT{290, 200, 302, 212},
                           RECT{298, 208, 302, 212}, RECT{-50, -50, -10, -10}}) {
    std::vector<RECT> fast, plain;
    system.ChildRectanglesOver(window, area, &fast);
    system.quellor::win::WindowSystem::ChildRectanglesOver(window, area, &plain);
    ASSERT_EQ(plain.size(), fast.size()) << area.left;
    for (std::size_t i = 0; i < plain.size(); ++i) EXPECT_TRUE(EqualRect(&plain[i], &fast[i]));
  }
  std::vector<RECT> one;
  system.ChildRectanglesOver(window, RECT{25, 25, 30, 30}, &one);
  ASSERT_EQ(1u, one.size());
  EXPECT_EQ(20, one[0].left);
  EXPECT_EQ(36, one[0].bottom);
  std::vector<RECT> frame;
  system.ChildRectanglesOver(window, RECT{300, 210, 301, 211}, &frame);  // on its border only
  EXPECT_TRUE(frame.empty());
  // Repainting a small area of the panel leaves the children in it alone.
  RECT area{15, 15, 45, 45};
  InvalidateRect(window, &area, FALSE);
  Settle();
  auto picture = quellor::desktop::CaptureWindow(window);
  EXPECT_EQ(0x0000FFu, picture.At(25, 25));  // a child's own colour
  EXPECT_EQ(0xFFFFFFu, picture.At(37, 37));  // the panel between children
  (void)framed;
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
