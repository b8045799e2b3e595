// A framework window among its parent and children: what each learns when a
// child moves, is resized, changes parent or is closed, and the window
// functions that look at the family (popups, capture, shape).
#include <qlxrapi/WindowFunctions.h>
#include <win32/resources.h>

#include <algorithm>

#include "WindowTesting.h"

using namespace uitest;

namespace {

// Logs the family virtuals TestWindow leaves alone.
class FamilyWindow : public TestWindow {
 public:
  using TestWindow::TestWindow;
  void WindowSized(long w, long h) override {
    Note(" sized " + std::to_string(w) + "," + std::to_string(h));
  }
  void ChildWindowMoved(HWND) override { Note(" child moved"); }
  void ChildWindowSized(HWND) override { Note(" child sized"); }
  void Child_AboutToLeave(HWND) override { Note(" child leaving"); }
  void Child_JustEntered(HWND) override { Note(" child entered"); }
  void ParentChanged(HWND, HWND) override { Note(" parent changed"); }
  void TextChanged(char* text) override { Note(std::string(" text ") + text); }
  void MouseLButtonRelease(long, long x, long y) override { Button("lrelease", x, y); }
  void MouseLButtonDblClick(long, long x, long y) override { Button("ldouble", x, y); }
  void MouseRButtonClick(long, long x, long y) override { Button("rclick", x, y); }
  void MouseRButtonRelease(long, long x, long y) override { Button("rrelease", x, y); }
  void MouseRButtonDblClick(long, long x, long y) override { Button("rdouble", x, y); }
  void MouseMButtonClick(long, long x, long y) override { Button("mclick", x, y); }
  void MouseMButtonRelease(long, long x, long y) override { Button("mrelease", x, y); }
  void MouseMButtonDblClick(long, long x, long y) override { Button("mdouble", x, y); }

  Log* log = nullptr;

 private:
  void Note(const std::string& what) {
    if (log) log->push_back(m_name + what);
  }
  void Button(const char* what, long x, long y) {
    Note(std::string(" ") + what + " " + std::to_string(x) + "," + std::to_string(y));
  }
};

// A window that lays out its children; it only logs when it is asked to.
class ManagerWindow : public FamilyWindow, public BaseWindowLayoutManager {
 public:
  using FamilyWindow::FamilyWindow;
  void Layout_PerformLayout(HWND, bool) override { log->push_back(m_name + " layout"); }
  void MultipleLayouts_Start() override { log->push_back(m_name + " hold layouts"); }
  void MultipleLayouts_Finished(bool) override { log->push_back(m_name + " release layouts"); }
};

class WindowFamily : public ::testing::Test {
 protected:
  void TearDown() override {
    for (HWND w : toplevel)
      if (IsWindow(w)) ::DestroyWindow(w);
    Settle();
  }
  template <typename Window>
  Window* Make(HWND parent, const char* name, long style = WS_CHILD | WS_VISIBLE) {
    auto* window = new Window(log);
    window->log = &log;
    EXPECT_TRUE(window->Open(parent, name, style));
    window->AddDependant(&notices, 1);
    if (parent == nullptr) toplevel.push_back(window->GetWindowHandle());
    return window;
  }
  // The log without painting, which the window system may add anywhere.
  Log Settled() {
    Settle();
    std::erase_if(log, [](const std::string& e) { return e.find("Paint") != std::string::npos; });
    return log;
  }

  Log log;
  NoticeRecorder notices{log};
  std::vector<HWND> toplevel;
};

TEST_F(WindowFamily, ReparentingTellsTheOldParentThenTheNewThenTheChildThenLaysBothOut) {
  auto* from = Make<ManagerWindow>(nullptr, "from", WS_POPUP | WS_VISIBLE);
  auto* to = Make<ManagerWindow>(nullptr, "to", WS_POPUP | WS_VISIBLE);
  auto* child = Make<FamilyWindow>(from->GetWindowHandle(), "child");
  Settled();
  log.clear();
  Orvane_SetParent(child->GetWindowHandle(), to->GetWindowHandle(), true);
  EXPECT_EQ(
      (Log{"from child leaving", "notice BaseWindowClass::ChildAboutToLeave", "to child entered",
           "notice BaseWindowClass::ChildJustEntered", "child parent changed",
           "notice BaseWindowClass::ParentChanged", "from layout", "to layout"}),
      log);
  EXPECT_EQ(to, child->GetParentBWC());
  EXPECT_EQ(-1, from->GetChildNo(child->GetWindowHandle()));
  EXPECT_EQ(0, to->GetChildNo(child->GetWindowHandle()));
  // Without the relayout nobody lays out; the three still hear of it.
  log.clear();
  Orvane_SetParent(child->GetWindowHandle(), from->GetWindowHandle(), false);
  EXPECT_EQ(3u, std::count_if(log.begin(), log.end(),
                              [](const std::string& e) { return e.rfind("notice", 0) == 0; }));
  EXPECT_FALSE(Contains(log, "from layout"));
  EXPECT_FALSE(Contains(log, "to layout"));
}

TEST_F(WindowFamily, AChildsMoveAndSizeReachItsParentAndALayoutParentLaysOut) {
  auto* parent = Make<ManagerWindow>(nullptr, "parent", WS_POPUP | WS_VISIBLE);
  auto* child = Make<FamilyWindow>(parent->GetWindowHandle(), "child");
  Settled();
  log.clear();
  SendMessageA(child->GetWindowHandle(), WM_SIZE, 0, Point(40, 30));
  EXPECT_EQ((Log{"child sized 40,30", "parent child sized", "notice BaseWindowClass::ChildSized",
                 "parent layout", "notice BaseWindowClass::Sized"}),
            log);
  log.clear();
  SendMessageA(child->GetWindowHandle(), WM_MOVE, 0, Point(3, 4));
  EXPECT_EQ((Log{"child moved 3,4", "notice BaseWindowClass::Sized", "parent child moved",
                 "notice BaseWindowClass::ChildMoved", "notice BaseWindowClass::Moved"}),
            log);
  // A size past 32767 is unsigned for the virtual, signed for the notice.
  log.clear();
  SendMessageA(child->GetWindowHandle(), WM_SIZE, 0, Point(40000, 2));
  EXPECT_EQ("child sized 40000,2", log.front());
  EXPECT_EQ(static_cast<std::uint64_t>(40000 - 65536), notices.lastArgs[0]);
}

TEST_F(WindowFamily, TextAndEveryButtonReachTheirVirtualThenTheirNotice) {
  auto* window = Make<FamilyWindow>(nullptr, "w", WS_POPUP | WS_VISIBLE);
  HWND handle = window->GetWindowHandle();
  Settled();
  log.clear();
  EXPECT_NE(0, SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("hello")));
  EXPECT_EQ((Log{"w text hello"}), log);
  char text[16] = {};
  GetWindowTextA(handle, text, sizeof text);
  EXPECT_STREQ("hello", text);  // the default procedure still stored it
  const struct {
    UINT message;
    const char* call;
    const char* notice;
  } buttons[] = {
      {WM_LBUTTONUP, "w lrelease 9,-2", "notice BaseWindowClass::LButtonRelease"},
      {WM_LBUTTONDBLCLK, "w ldouble 9,-2", "notice BaseWindowClass::LButtonDClick"},
      {WM_RBUTTONDOWN, "w rclick 9,-2", "notice BaseWindowClass::RButtonClick"},
      {WM_RBUTTONUP, "w rrelease 9,-2", "notice BaseWindowClass::RButtonRelease"},
      {WM_RBUTTONDBLCLK, "w rdouble 9,-2", "notice BaseWindowClass::RButtonDClick"},
      {WM_MBUTTONDOWN, "w mclick 9,-2", "notice BaseWindowClass::MButtonClick"},
      {WM_MBUTTONUP, "w mrelease 9,-2", "notice BaseWindowClass::MButtonRelease"},
      {WM_MBUTTONDBLCLK, "w mdouble 9,-2", "notice BaseWindowClass::MButtonDClick"},
  };
  for (const auto& button : buttons) {
    log.clear();
    EXPECT_EQ(0, SendMessageA(handle, button.message, MK_SHIFT, Point(9, -2)));
    EXPECT_EQ((Log{button.call, button.notice}), log);
    EXPECT_EQ((std::vector<std::uint64_t>{MK_SHIFT, 9, static_cast<std::uint64_t>(-2)}),
              notices.lastArgs);
  }
}

TEST_F(WindowFamily, ClosingAllChildrenHoldsTheGrandparentsLayoutsOnceAndStepsOverForeigners) {
  auto* grandparent = Make<ManagerWindow>(nullptr, "grandparent", WS_POPUP | WS_VISIBLE);
  auto* parent = Make<FamilyWindow>(grandparent->GetWindowHandle(), "parent");
  int deleted = 0;
  for (const char* name : {"a", "b"}) {
    auto* child = new TestWindow(log, &deleted);
    ASSERT_TRUE(child->Open(parent->GetWindowHandle(), name, WS_CHILD | WS_VISIBLE));
  }
  HWND foreign = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5,
                                 parent->GetWindowHandle(), nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, foreign);
  Settled();
  log.clear();
  parent->CloseAllChildren();
  Settled();
  EXPECT_EQ("grandparent hold layouts", log.front());
  EXPECT_EQ(1, std::count(log.begin(), log.end(), std::string("grandparent hold layouts")));
  EXPECT_EQ(1, std::count(log.begin(), log.end(), std::string("grandparent release layouts")));
  EXPECT_EQ(2, std::count(log.begin(), log.end(), std::string("parent child destroyed")));
  EXPECT_EQ(2, deleted);
  EXPECT_EQ(0, parent->GetNoChildren());
  EXPECT_FALSE(IsWindow(foreign));
}

TEST_F(WindowFamily, PopupsAreFoundAmongTheAncestors) {
  auto* top = Make<FamilyWindow>(nullptr, "top", WS_POPUP | WS_VISIBLE);
  auto* middle = Make<FamilyWindow>(top->GetWindowHandle(), "middle");
  auto* leaf = Make<FamilyWindow>(middle->GetWindowHandle(), "leaf");
  EXPECT_TRUE(Orvane_IsPopup(top->GetWindowHandle()));
  EXPECT_FALSE(Orvane_IsPopup(leaf->GetWindowHandle()));
  EXPECT_EQ(top->GetWindowHandle(), Orvane_GetPopupParent(leaf->GetWindowHandle()));
  EXPECT_EQ(top->GetWindowHandle(), Orvane_GetPopupParent(middle->GetWindowHandle()));
  EXPECT_EQ(nullptr, Orvane_GetPopupParent(top->GetWindowHandle()));  // itself does not count
}

TEST_F(WindowFamily, ExclusiveInputIsReleasedOnlyByItsHolder) {
  auto* first = Make<FamilyWindow>(nullptr, "first", WS_POPUP | WS_VISIBLE);
  auto* second = Make<FamilyWindow>(nullptr, "second", WS_POPUP | WS_VISIBLE);
  first->ExclusiveInput(true);
  EXPECT_TRUE(first->IsExclusive());
  EXPECT_FALSE(second->IsExclusive());
  second->ExclusiveInput(false);  // not the holder: the capture stays
  EXPECT_TRUE(first->IsExclusive());
  first->ExclusiveInput(false);
  EXPECT_FALSE(first->IsExclusive());
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(WindowFamily, ShapeFromChildrenShowsTheWindowOnlyWhereItsChildrenAre) {
  auto* window = Make<FamilyWindow>(nullptr, "w", WS_POPUP | WS_VISIBLE);
  HWND handle = window->GetWindowHandle();
  CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, handle, nullptr, nullptr,
                  nullptr);
  CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 50, 40, 30, 30, handle, nullptr, nullptr,
                  nullptr);
  window->ApplyWindowMaskFromChildren();
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(ERROR, GetWindowRgn(handle, shape));
  EXPECT_TRUE(PtInRegion(shape, 10, 10));
  EXPECT_TRUE(PtInRegion(shape, 29, 29));
  EXPECT_FALSE(PtInRegion(shape, 30, 30));
  EXPECT_TRUE(PtInRegion(shape, 79, 69));
  EXPECT_FALSE(PtInRegion(shape, 40, 20));
  EXPECT_FALSE(PtInRegion(shape, 0, 0));
  DeleteObject(shape);
}

TEST_F(WindowFamily, ChildrenOfADialogTemplateMoveInKeepingTheirOrderAndTheParentIsLaidOut) {
  quellor::win32::DialogTemplate dialog;
  dialog.cx = 100;
  dialog.cy = 60;
  for (const char* text : {"first", "second", "third"}) {
    quellor::win32::DialogItemTemplate item;
    item.className = "STATIC";
    item.text = text;
    item.cx = 30;
    item.cy = 10;
    dialog.items.push_back(item);
  }
  quellor::win32::RegisterDialogResource(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(4711), dialog);
  auto* manager = Make<ManagerWindow>(nullptr, "manager", WS_POPUP | WS_VISIBLE);
  auto* panel = Make<FamilyWindow>(manager->GetWindowHandle(), "panel");
  Settled();
  log.clear();
  ASSERT_TRUE(panel->OpenChildren(4711));
  ASSERT_EQ(3, panel->GetNoChildren());
  const char* expected[] = {"first", "second", "third"};
  for (int i = 0; i < 3; ++i) {
    char text[16] = {};
    GetWindowTextA(panel->GetChildhWnd(i), text, sizeof text);
    EXPECT_STREQ(expected[i], text);
    EXPECT_TRUE(IsWindowVisible(panel->GetChildhWnd(i)));
  }
  EXPECT_TRUE(Contains(log, "manager layout"));
  // A template that does not exist opens nothing.
  EXPECT_FALSE(panel->OpenChildren(4712));
  EXPECT_EQ(3, panel->GetNoChildren());
}

}  // namespace
