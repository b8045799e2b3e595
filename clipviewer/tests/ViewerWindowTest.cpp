// The running viewer: main window, tray icon and menu, clipboard chain and
// the commands.
#include <gtest/gtest.h>

#include "ViewerTestSupport.h"
#include "app/ViewerError.h"
#include "settings/IniSettings.h"
#include "win32/clipboard.h"
#include "win32/menus.h"
#include "win32/resources.h"
#include "win32/automation/Desktop.h"
#include "win32/automation/Modal.h"
#include "win32/automation/Shell.h"

namespace quellor::clipviewer::testing {
namespace {

class RunningViewerTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    viewer_ = std::make_unique<ClipViewer>(CountingHooks());
    ASSERT_TRUE(viewer_->InitialiseStatics());
    ASSERT_TRUE(viewer_->StartUp(""));
    desktop::RunUntilIdle();
  }
  void TearDown() override {
    viewer_.reset();
    ViewerTest::TearDown();
  }
  ClipViewer& Viewer() { return *viewer_; }

 private:
  std::unique_ptr<ClipViewer> viewer_;
};

UINT CheckState(HMENU popup, UINT position) {
  return GetMenuState(popup, position, MF_BYPOSITION) & MF_CHECKED;
}

TEST_F(RunningViewerTest, HiddenWindowWithTrayIcon) {
  HWND window = Viewer().MainWindow();
  EXPECT_EQ(FindWindowA("QLClip", "Video Quellor Director / Clipboard Viewer"), window);
  EXPECT_FALSE(IsWindowVisible(window));
  RECT frame = {};
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.left, 320);
  EXPECT_EQ(frame.top, 240);
  EXPECT_EQ(frame.right - frame.left, 320);
  EXPECT_EQ(frame.bottom - frame.top, 240);
  const auto icons = desktop::TrayIcons();
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].owner, window);
  EXPECT_EQ(icons[0].id, 101u);
  EXPECT_EQ(icons[0].flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(icons[0].callbackMessage, 2034u);
  EXPECT_NE(icons[0].icon, nullptr);
  EXPECT_EQ(icons[0].tip, "Video Quellor Director / Clipboard Viewer");
}

TEST_F(RunningViewerTest, FirstTwoClipboardNotificationsAreSkipped) {
  // Joining the chain and emptying the clipboard at creation.
  EXPECT_EQ(Viewer().State().clipboardChangeCount, 2);
  EXPECT_EQ(Viewer().State().displayCallCount, 2);
  EXPECT_EQ(renders, 0);
  PutTextOnClipboard("hello");
  EXPECT_EQ(Viewer().State().clipboardChangeCount, 3);
  EXPECT_EQ(renders, 1);
  Command(Viewer(), kCmdEnabled);  // off: counted, not shown
  PutTextOnClipboard("again");
  EXPECT_EQ(Viewer().State().clipboardChangeCount, 4);
  EXPECT_EQ(renders, 1);
  EXPECT_EQ(settings::ReadIniInt("ClipboardEnabled", 9), 0);
  Command(Viewer(), kCmdEnabled);  // on again: shown at once
  EXPECT_EQ(renders, 2);
}

// A window standing for the next viewer in the chain: counts what reaches it.
int gNextViewerChanges = 0;
int gNextViewerChainMessages = 0;
LRESULT CALLBACK NextViewerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWCLIPBOARD) ++gNextViewerChanges;
  if (message == WM_CHANGECBCHAIN) ++gNextViewerChainMessages;
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(RunningViewerTest, ClipboardChainPassesNotificationsOn) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = NextViewerProcedure;
  windowClass.lpszClassName = "NextViewerStandIn";
  RegisterClassA(&windowClass);
  HWND next = CreateWindowExA(0, "NextViewerStandIn", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr);
  HWND following = CreateWindowExA(0, "NextViewerStandIn", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
  ASSERT_NE(next, nullptr);
  gNextViewerChanges = gNextViewerChainMessages = 0;
  Viewer().Window().SetNextClipboardViewer(next);

  PutTextOnClipboard("passed on");
  EXPECT_EQ(gNextViewerChanges, 1);
  // Another window leaves the chain: the message goes on down the chain.
  SendMessageA(Viewer().MainWindow(), WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(following), 0);
  EXPECT_EQ(gNextViewerChainMessages, 1);
  EXPECT_EQ(Viewer().Window().NextClipboardViewer(), next);
  // Our next viewer leaves: the one after it takes its place.
  SendMessageA(Viewer().MainWindow(), WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(next),
               reinterpret_cast<LPARAM>(following));
  EXPECT_EQ(gNextViewerChainMessages, 1);
  EXPECT_EQ(Viewer().Window().NextClipboardViewer(), following);
  Viewer().Window().SetNextClipboardViewer(nullptr);
  DestroyWindow(next);
  DestroyWindow(following);
  UnregisterClassA("NextViewerStandIn", nullptr);
}

TEST_F(RunningViewerTest, MenuItemsAndChecksFollowTheState) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(102));
  ASSERT_NE(menu, nullptr);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  const UINT ids[] = {40007, 0,     40003, 40002, 40005, 0,     40008, 40025,
                      0,     40027, 40026, 0,     40023, 40024, 0,     40001};
  ASSERT_EQ(GetMenuItemCount(popup), 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(GetMenuItemID(popup, i), ids[i]) << i;
  char text[64] = {};
  GetMenuStringA(popup, 13, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Output Se&ttings ...");

  Viewer().SetMenuChecks(popup);  // enabled, stretch, de-interlace
  EXPECT_TRUE(CheckState(popup, 0));
  EXPECT_TRUE(CheckState(popup, 2));
  EXPECT_FALSE(CheckState(popup, 3));
  EXPECT_TRUE(CheckState(popup, 4));

  Command(Viewer(), kCmdOneToOne);
  Command(Viewer(), kCmdDeInterlace);
  Command(Viewer(), kCmdEnabled);
  Viewer().SetMenuChecks(popup);
  EXPECT_FALSE(CheckState(popup, 0));
  EXPECT_FALSE(CheckState(popup, 2));
  EXPECT_TRUE(CheckState(popup, 3));
  EXPECT_FALSE(CheckState(popup, 4));
  EXPECT_EQ(settings::ReadIniInt("Resize", 9), 1);
  EXPECT_EQ(settings::ReadIniInt("DeInterlace", 9), 0);
  DestroyMenu(menu);
}

TEST_F(RunningViewerTest, TrayRightClickShowsTheMenuAndRunsTheChosenItem) {
  int menusSeen = 0;
  desktop::SetModalIdleHook([&](HWND) {
    ++menusSeen;
    RECT item = {};
    ASSERT_TRUE(desktop::PopupMenuItemRect(4, &item));  // "&De-Interlace"
    desktop::Click(desktop::Button::Left, (item.left + item.right) / 2,
                   (item.top + item.bottom) / 2);
  });
  ASSERT_TRUE(desktop::ClickTrayIcon(Viewer().MainWindow(), 101, WM_RBUTTONDOWN));
  desktop::RunUntilIdle();
  desktop::SetModalIdleHook({});
  EXPECT_GE(menusSeen, 1);
  EXPECT_FALSE(Viewer().State().deInterlace);
  EXPECT_EQ(renders, 1);
  // Other mouse events on the icon do nothing.
  ASSERT_TRUE(desktop::ClickTrayIcon(Viewer().MainWindow(), 101, WM_LBUTTONDOWN));
  desktop::RunUntilIdle();
  EXPECT_EQ(renders, 1);
}

TEST_F(RunningViewerTest, OutputSettingsWithoutAChangeKeepTheHub) {
  OutputHub* hub = Viewer().Hub();
  Command(Viewer(), kCmdOutputSettings);
  EXPECT_EQ(Viewer().Hub(), hub);
  EXPECT_EQ(renders, 0);

  outputDialogVideoMode = 0;  // the dialog switches to PAL
  Command(Viewer(), kCmdOutputSettings);
  ASSERT_NE(Viewer().Hub(), nullptr);
  EXPECT_FALSE(Viewer().Hub()->IsNtsc());
  EXPECT_EQ(Viewer().State().videoMode, VideoMode::Pal);
  EXPECT_EQ(renders, 1);
}

TEST_F(RunningViewerTest, ExitRemovesTheIconAndWritesTheSettings) {
  Command(Viewer(), kCmdOneToOne);
  settings::WriteIniInt("Resize", 0);  // shut-down writes the state again
  ExitAndShutDown(Viewer());
  EXPECT_TRUE(desktop::TrayIcons().empty());
  EXPECT_EQ(FindWindowA("QLClip", nullptr), nullptr);
  EXPECT_EQ(Viewer().Hub(), nullptr);
  EXPECT_EQ(settings::ReadIniInt("Resize", 9), 1);
  Viewer().BoardSettings().contrast[0].Set(12.9);
  Viewer().CleanUpStatics();
  EXPECT_EQ(settings::ReadIniInt("Contrast_Composite", 0), 12);
}

TEST_F(RunningViewerTest, MissingPreviewProgramEndsTheProgramWithItsMessage) {
  const std::string path = std::getenv("PATH");
  setenv("PATH", Folder().c_str(), 1);  // nothing to find
  Command(Viewer(), kCmdInputPreview);
  setenv("PATH", path.c_str(), 1);
  EXPECT_FALSE(IsWindow(Viewer().MainWindow()));
  try {
    Viewer().RunMessageLoop();
    ADD_FAILURE() << "the error was not raised";
  } catch (const ViewerError& error) {
    EXPECT_STREQ(error.text,
                 "Could not launch the application. Your Quellor installation is probably "
                 "corrupted");
  }
}

}  // namespace
}  // namespace quellor::clipviewer::testing
