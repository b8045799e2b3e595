// Copies in another X program racing a program of the subset that changes
// the clipboard as it starts (a viewer joining the chain and emptying the
// clipboard): the bridge is driven by hand on a connection of the test's
// own, so that each copy lands at an exact step.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xlib.h>
// clang-format on

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "ClipboardBridge.h"
#include "SubsetClipboard.h"
#include "XvfbServer.h"
#include "win32/automation/Desktop.h"
#include "windows.h"

namespace {

using quellor::display::ClipboardBridge;
using quellor::display::testing::SubsetText;
using quellor::display::testing::XvfbServer;

// What the viewer saw on the clipboard the last time it heard of a change.
std::string g_lastSeen;
int g_notices = 0;

LRESULT CALLBACK ViewerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWCLIPBOARD) {
    ++g_notices;
    g_lastSeen = SubsetText();
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Empties the clipboard, as a viewer starting up does.
void EmptyClipboardAsAtStart(HWND viewer) {
  ASSERT_TRUE(OpenClipboard(viewer));
  EmptyClipboard();
  CloseClipboard();
}

// The same from a program thread that is not the bridge's, as in a real
// program; this thread answers the viewer's notice meanwhile.
void EmptyClipboardFromAProgramThread(HWND viewer) {
  std::atomic<bool> done{false};
  std::thread program([&] {
    EmptyClipboardAsAtStart(viewer);
    done = true;
  });
  MSG message;
  while (!done) PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  program.join();
}

class ClipboardRaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<XvfbServer>();
    if (!server_->Running()) GTEST_SKIP() << server_->Skipped();
    setenv("QUELLOR_HEADLESS", "1", 1);  // the bridge is the test's, not a presenter's
    g_lastSeen.clear();
    g_notices = 0;
    WNDCLASSA wc{};
    wc.lpfnWndProc = ViewerProc;
    wc.lpszClassName = "ClipboardRaceViewer";
    RegisterClassA(&wc);
    other_ = server_->Connection();
    clipboard_ = XInternAtom(other_, "CLIPBOARD", False);
    targets_ = XInternAtom(other_, "TARGETS", False);
    utf8_ = XInternAtom(other_, "UTF8_STRING", False);
    copier_ = XCreateSimpleWindow(other_, DefaultRootWindow(other_), 0, 0, 1, 1, 0, 0, 0);
    XSync(other_, False);
    bridgeDisplay_ = XOpenDisplay(server_->Name().c_str());
    ASSERT_NE(bridgeDisplay_, nullptr);
    bridge_ = std::make_unique<ClipboardBridge>(bridgeDisplay_);
  }

  void TearDown() override {
    bridge_.reset();
    if (bridgeDisplay_) XCloseDisplay(bridgeDisplay_);
  }

  HWND MakeViewer() {
    return CreateWindowExA(0, "ClipboardRaceViewer", "viewer", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50,
                           nullptr, nullptr, nullptr, nullptr);
  }

  // Another X program copies: it owns CLIPBOARD from the server's next step.
  void CopyInX(const std::string& text) {
    copied_ = text;
    XSetSelectionOwner(other_, clipboard_, copier_, CurrentTime);
    XSync(other_, False);
  }

  // The other program's side: it answers requests for its copy, notes when
  // it lost the clipboard, and takes the answers to its own requests.
  void ServeOther() {
    XSync(other_, False);
    while (XPending(other_)) {
      XEvent event;
      XNextEvent(other_, &event);
      if (event.type == SelectionClear) lostCopy_ = true;
      if (event.type == SelectionNotify) pasted_ = ReadPasted(event.xselection);
      if (event.type == SelectionRequest) Answer(event.xselectionrequest);
    }
    XSync(other_, False);
  }

  // One turn of the bridge: the events that have come, then its poll.
  void BridgeHandlesEvents() {
    XSync(bridgeDisplay_, False);
    while (XPending(bridgeDisplay_)) {
      XEvent event;
      XNextEvent(bridgeDisplay_, &event);
      bridge_->HandleEvent(event);
    }
  }

  // Until both sides are quiet: each round trip finishes within one round.
  void Settle() {
    for (int round = 0; round < 10; ++round) {
      ServeOther();
      BridgeHandlesEvents();
      bridge_->Poll();
    }
    ServeOther();
  }

  // What another X program pastes now (empty when nothing).
  std::string PasteInX() {
    pasted_.reset();
    XConvertSelection(other_, clipboard_, utf8_, utf8_, copier_, CurrentTime);
    for (int round = 0; round < 10 && !pasted_; ++round) {
      ServeOther();
      BridgeHandlesEvents();
    }
    return pasted_.value_or("");
  }

  std::unique_ptr<XvfbServer> server_;
  Display* other_ = nullptr;
  Display* bridgeDisplay_ = nullptr;
  std::unique_ptr<ClipboardBridge> bridge_;
  Window copier_ = 0;
  Atom clipboard_ = 0, targets_ = 0, utf8_ = 0;
  std::string copied_;
  bool lostCopy_ = false;
  std::optional<std::string> pasted_;

 private:
  std::string ReadPasted(const XSelectionEvent& event) {
    if (event.property == None) return "";
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* bytes = nullptr;
    std::string out;
    if (XGetWindowProperty(other_, copier_, event.property, 0, 1 << 16, True, AnyPropertyType,
                           &type, &format, &items, &after, &bytes) == Success &&
        bytes)
      out.assign(reinterpret_cast<char*>(bytes), items);
    if (bytes) XFree(bytes);
    return out;
  }

  void Answer(const XSelectionRequestEvent& request) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None;
    if (request.target == targets_) {
      const Atom offered[] = {targets_, utf8_};
      XChangeProperty(other_, request.requestor, request.property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered), 2);
      reply.property = request.property;
    } else if (request.target == utf8_) {
      XChangeProperty(other_, request.requestor, request.property, utf8_, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(copied_.data()), int(copied_.size()));
      reply.property = request.property;
    }
    XSendEvent(other_, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
  }
};

// The copy is on both sides, and the viewer's last notice showed it.
#define EXPECT_COPY_KEPT(text)     \
  do {                             \
    EXPECT_EQ(SubsetText(), text); \
    EXPECT_EQ(g_lastSeen, text);   \
    EXPECT_FALSE(lostCopy_);       \
    EXPECT_EQ(PasteInX(), text);   \
  } while (0)

// A program empties the clipboard; before the bridge has looked, another X
// program copies. The empty is the older change and must not take the X
// clipboard from the copy.
TEST_F(ClipboardRaceTest, ACopyInXJustAfterAProgramEmptiedTheClipboardIsKept) {
  HWND viewer = MakeViewer();
  SetClipboardViewer(viewer);
  Settle();
  EmptyClipboardFromAProgramThread(viewer);
  CopyInX("copied at start");
  bridge_->Poll();  // the bridge sees the empty before the copy's notice
  Settle();
  EXPECT_COPY_KEPT("copied at start");
  DestroyWindow(viewer);
}

// Whatever step of a viewer's start-up the copy comes at, and whether the
// bridge first polls or first reads its events, the copy ends on both sides.
TEST_F(ClipboardRaceTest, ACopyAtAnyStepOfAViewersStartUpReachesTheViewer) {
  for (int copyAt = 0; copyAt < 3; ++copyAt) {
    for (bool pollFirst : {true, false}) {
      SCOPED_TRACE("copy at step " + std::to_string(copyAt) + (pollFirst ? ", poll first" : ""));
      const std::string text = "copy " + std::to_string(copyAt) + (pollFirst ? "p" : "e");
      lostCopy_ = false;
      HWND viewer = MakeViewer();
      if (copyAt == 0) CopyInX(text);
      SetClipboardViewer(viewer);
      if (copyAt == 1) CopyInX(text);
      EmptyClipboardFromAProgramThread(viewer);
      if (copyAt == 2) CopyInX(text);
      if (pollFirst) bridge_->Poll();
      BridgeHandlesEvents();
      Settle();
      EXPECT_COPY_KEPT(text);
      ChangeClipboardChain(viewer, nullptr);
      DestroyWindow(viewer);
    }
  }
}

// The copy reaches the subset while a viewer on a thread of its own is still
// starting (its notice waits for the viewer's loop): the viewer empties the
// clipboard before it hears of the copy. The copy is put back, so that the
// viewer shows it and X keeps it.
TEST_F(ClipboardRaceTest, ACopyDeliveredWhileAViewerStartsIsPutBackAfterItsEmpty) {
  std::promise<HWND> joined;
  std::promise<void> mayEmpty;
  std::shared_future<void> mayEmptyFuture = mayEmpty.get_future().share();
  std::thread viewerThread([&] {
    HWND viewer = MakeViewer();
    SetClipboardViewer(viewer);
    joined.set_value(viewer);
    mayEmptyFuture.wait();
    EmptyClipboardAsAtStart(viewer);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  });
  HWND viewer = joined.get_future().get();
  // The bridge's write waits for the viewer thread; the empty is let go once
  // the copy is on the subset's clipboard.
  std::atomic<bool> watching{true};
  std::thread watcher([&] {
    while (watching && SubsetText() != "copied while starting")
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    mayEmpty.set_value();
  });
  CopyInX("copied while starting");
  Settle();
  watching = false;
  watcher.join();
  Settle();
  EXPECT_EQ(SubsetText(), "copied while starting");
  EXPECT_FALSE(lostCopy_);
  EXPECT_EQ(PasteInX(), "copied while starting");
  PostMessageA(viewer, WM_CLOSE, 0, 0);
  viewerThread.join();
  EXPECT_EQ(g_lastSeen, "copied while starting");
}

// A copy that finds the clipboard open in a program waits for the next turn
// rather than being dropped.
TEST_F(ClipboardRaceTest, ACopyThatFindsTheClipboardOpenArrivesLater) {
  HWND viewer = MakeViewer();
  SetClipboardViewer(viewer);
  Settle();
  std::promise<void> opened, mayClose;
  std::thread holder([&] {
    OpenClipboard(nullptr);
    opened.set_value();
    mayClose.get_future().wait();
    CloseClipboard();
  });
  opened.get_future().wait();
  CopyInX("waited for the clipboard");
  Settle();
  mayClose.set_value();
  holder.join();
  Settle();
  EXPECT_COPY_KEPT("waited for the clipboard");
  DestroyWindow(viewer);
}

// Two copies in other programs one after the other, the first owner
// answering only after the second copy: its late answer is not taken for the
// second owner's, which would leave the bridge waiting on the wrong question
// and the second copy never fetched.
TEST_F(ClipboardRaceTest, ALateAnswerFromAnEarlierOwnerIsNotTakenForTheNewOnes) {
  HWND viewer = MakeViewer();
  SetClipboardViewer(viewer);
  Settle();
  CopyInX("first");
  BridgeHandlesEvents();         // asks the first owner what it offers
  XSync(bridgeDisplay_, False);  // the question has reached the first owner
  // The server dates changes of hands in milliseconds: the second is later.
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  const Window second = XCreateSimpleWindow(other_, DefaultRootWindow(other_), 0, 0, 1, 1, 0, 0, 0);
  copied_ = "second";
  XSetSelectionOwner(other_, clipboard_, second, CurrentTime);
  ServeOther();       // the first owner answers now, late
  lostCopy_ = false;  // the first copy's loss is expected
  Settle();
  EXPECT_EQ(SubsetText(), "second");
  EXPECT_EQ(g_lastSeen, "second");
  EXPECT_EQ(PasteInX(), "second");
  XDestroyWindow(other_, second);
  DestroyWindow(viewer);
}

}  // namespace
