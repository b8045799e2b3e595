// The script driver of QUELLOR_CLIPVIEWER_SCRIPT: every step on a running
// viewer, the echo of each step, and the texts of refused scripts. The window
// system's clock is driven by hand, so "wait" costs no wall-clock time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "ViewerTestSupport.h"
#include "app/ScriptDriver.h"
#include "win32/automation/Desktop.h"
#include "win32/automation/Modal.h"
#include "win32/clipboard.h"
#include "win32/commdlg.h"

#include <png.h>

namespace quellor::clipviewer::testing {
namespace {

class ScriptDriverTest : public StartedViewerTest {
 protected:
  void SetUp() override {
    desktop::UseManualClock(true);
    StartedViewerTest::SetUp();
    Viewer().Hooks().playFile = [this](ClipViewer&) { ++plays; };
  }
  void TearDown() override {
    desktop::SetModalIdleHook({});
    // Exit leaves the quit message for the program's own loop: take it.
    if (!WindowAlive()) Viewer().RunMessageLoop();
    StartedViewerTest::TearDown();
    desktop::UseManualClock(false);
  }

  // Starts `script`; returns what the driver wrote to standard error.
  std::string Start(const std::string& script, bool expectStarted = true) {
    ::testing::internal::CaptureStderr();
    const bool started = StartScript(Viewer(), script);
    const std::string text = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(started, expectStarted) << script;
    return text;
  }
  // Moves the clock by `ticks` script ticks (10 ms each) and runs the
  // messages after each; returns what was written to standard error.
  std::string Tick(int ticks = 1) {
    ::testing::internal::CaptureStderr();
    for (int i = 0; i < ticks; ++i) {
      desktop::AdvanceClock(10);
      desktop::RunUntilIdle();
    }
    return ::testing::internal::GetCapturedStderr();
  }
  bool WindowAlive() { return IsWindow(Viewer().MainWindow()) != FALSE; }

  int plays = 0;
};

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

TEST_F(ScriptDriverTest, StepsRunOneAfterTheOtherWithTheirEcho) {
  EXPECT_EQ(Start(" command 40005 ;; clipboard hello world ;command 40002"), "");
  EXPECT_EQ(Tick(), "clipviewer: script: command 40005\n");
  EXPECT_FALSE(Viewer().State().deInterlace);
  EXPECT_EQ(Tick(), "clipviewer: script: clipboard hello world\n");
  EXPECT_EQ(ClipboardText(), "hello world");
  EXPECT_EQ(Viewer().State().clipboardChangeCount, 3);
  EXPECT_EQ(renders, 2);  // de-interlace and the clipboard change
  EXPECT_EQ(Tick(), "clipviewer: script: command 40002\n");
  EXPECT_EQ(Viewer().State().resizeMode, ResizeMode::OneToOne);
  // Out of steps: the viewer exits as if Exit had been chosen.
  EXPECT_TRUE(WindowAlive());
  EXPECT_EQ(Tick(), "");
  EXPECT_FALSE(WindowAlive());
}

TEST_F(ScriptDriverTest, WaitHoldsTheNextStepOnTheWindowSystemClock) {
  Start("wait 100; command 40005");
  EXPECT_EQ(Tick(), "clipviewer: script: wait 100\n");
  EXPECT_EQ(Tick(9), "");  // 90 ms of the 100
  EXPECT_TRUE(Viewer().State().deInterlace);
  EXPECT_EQ(Tick(), "clipviewer: script: command 40005\n");
  EXPECT_FALSE(Viewer().State().deInterlace);
}

TEST_F(ScriptDriverTest, MenuChoosesTheItemAtAPosition) {
  Start("menu 3; menu 0");
  EXPECT_EQ(Tick(), "clipviewer: script: menu 3\n");
  EXPECT_EQ(Viewer().State().resizeMode, ResizeMode::OneToOne);
  EXPECT_EQ(desktop::OpenPopupMenu(), nullptr);
  Tick();
  EXPECT_FALSE(Viewer().State().clipboardEnabled);
}

TEST_F(ScriptDriverTest, MenuOnASeparatorOrPastTheEndOnlyDismissesIt) {
  Start("menu 1; menu 99; command 40005");
  EXPECT_EQ(Tick(2), "clipviewer: script: menu 1\nclipviewer: script: menu 99\n");
  EXPECT_EQ(desktop::OpenPopupMenu(), nullptr);
  EXPECT_TRUE(Viewer().State().clipboardEnabled);
  EXPECT_EQ(Viewer().State().resizeMode, ResizeMode::StretchToFit);
  EXPECT_TRUE(WindowAlive());
  EXPECT_EQ(Tick(), "clipviewer: script: command 40005\n");  // the script went on
}

TEST_F(ScriptDriverTest, TrayDoubleClickPlaysAndRightClickOpensTheMenu) {
  Start("tray double; tray right; exit");
  EXPECT_EQ(Tick(), "clipviewer: script: tray double\n");
  EXPECT_EQ(plays, 1);
  // The menu stays open until someone acts; the script waits for it.
  int idleCalls = 0;
  desktop::SetModalIdleHook([&](HWND) {
    if (++idleCalls < 3) {
      desktop::AdvanceClock(50);  // script ticks inside the menu's loop
      return;
    }
    desktop::SetModalIdleHook({});
    desktop::TypeKey(VK_ESCAPE);
  });
  EXPECT_EQ(Tick(), "clipviewer: script: tray right\n");
  EXPECT_GE(idleCalls, 3);
  EXPECT_TRUE(WindowAlive());
  EXPECT_EQ(Tick(), "clipviewer: script: exit \n");
  EXPECT_FALSE(WindowAlive());
}

TEST_F(ScriptDriverTest, ExitEndsTheRestOfTheScript) {
  Start("exit; command 40005");
  Tick(3);
  EXPECT_FALSE(WindowAlive());
  EXPECT_TRUE(Viewer().State().deInterlace);
}

TEST_F(ScriptDriverTest, AnEmptyScriptExitsAtOnce) {
  EXPECT_EQ(Start(" ; ;"), "");
  Tick();
  EXPECT_FALSE(WindowAlive());
}

TEST_F(ScriptDriverTest, StepsNotUnderstoodAreNamedAndNothingRuns) {
  const char* refused[] = {
      "jump 3",            // unknown verb
      "Wait 10",           // verbs are lower case
      "wait",              // missing argument
      "wait ten",          // not a number
      "wait -5",           // negative: would wait for weeks
      "wait 2147483648",   // past the largest wait
      "wait 1.5",          // whole numbers only
      "command",           //
      "command 4000x",     //
      "menu -1",           //
      "tray",              // missing button
      "tray left",         // only right and double
      "clipboard-bitmap",  // the picture's file is needed
      "play",              // so is the played one
  };
  for (const char* step : refused) {
    const std::string script = std::string("command 40005; ") + step + "; exit";
    EXPECT_EQ(Start(script, false),
              std::string("clipviewer: script step not understood: \"") + step + "\"\n");
  }
  EXPECT_EQ(Tick(3), "");
  EXPECT_TRUE(Viewer().State().deInterlace);  // not even the good first step ran
  EXPECT_TRUE(WindowAlive());
}

TEST_F(ScriptDriverTest, LargestWaitAndPlainArgumentsAreTaken) {
  EXPECT_EQ(Start("wait 2147483647; clipboard; exit now"), "");
  EXPECT_EQ(Tick(), "clipviewer: script: wait 2147483647\n");
  EXPECT_EQ(Tick(5), "");
}

TEST_F(ScriptDriverTest, CopyStepsPutTheirFormatsOnTheClipboard) {
  const std::string png = Folder() + "/two.png";
  const std::uint8_t pixels[] = {0, 0, 255, 255, 255, 0, 0, 255};  // BGRA: red, blue
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  image.width = 2;
  image.height = 1;
  image.format = PNG_FORMAT_BGRA;
  ASSERT_TRUE(png_image_write_to_file(&image, png.c_str(), 0, pixels, 8, nullptr));

  Start("clipboard-text some text; clipboard-metafile A drawing; clipboard-bitmap " + png +
        "; clipboard-bitmap " + Folder() + "/missing.png");
  Tick();
  EXPECT_EQ(ClipboardText(), "some text");
  Tick();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
  Tick();
  ASSERT_TRUE(OpenClipboard(nullptr));
  BITMAP bitmap = {};
  GetObjectA(GetClipboardData(CF_BITMAP), sizeof bitmap, &bitmap);
  CloseClipboard();
  EXPECT_EQ(bitmap.bmWidth, 2);
  EXPECT_EQ(bitmap.bmHeight, 1);
  EXPECT_EQ(Viewer().State().clipboardChangeCount, 5);
  // An unreadable picture is named and copies nothing.
  EXPECT_NE(Tick().find("cannot read"), std::string::npos);
  EXPECT_EQ(Viewer().State().clipboardChangeCount, 5);
}

TEST_F(ScriptDriverTest, PlayAnswersTheDialogWithTheFileAndTheFilterForItsName) {
  std::vector<std::pair<std::string, int>> chosen;
  Viewer().Hooks().playFile = [&chosen](ClipViewer& viewer) {
    char file[260] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = viewer.MainWindow();
    dialog.lpstrFilter = "a\0*.rtv\0b\0*.jpg\0c\0*.*\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    if (GetOpenFileNameA(&dialog)) chosen.emplace_back(file, dialog.nFilterIndex);
  };
  Start("play /clips/a.RTV; play b.jpeg; play c.png");
  Tick(3);
  const std::vector<std::pair<std::string, int>> expected = {
      {"/clips/a.RTV", 1}, {"b.jpeg", 2}, {"c.png", 3}};
  EXPECT_EQ(chosen, expected);
}

// The program itself: a refused script ends it as Exit does, with result 0.
TEST_F(ViewerTest, ProgramWithARefusedScriptSaysWhyAndExits) {
  const char* bin = std::getenv("QUELLOR_BIN");
  ASSERT_NE(bin, nullptr);
  const std::string errors = Folder() + "/stderr.txt";
  const std::string command = "QUELLOR_CLIPVIEWER_SCRIPT='command 40005; fly away' \"" +
                              std::string(bin) + "/clipviewer\" 2>\"" + errors + "\" >/dev/null";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::ifstream in(errors);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("clipviewer: script step not understood: \"fly away\"\n"),
            std::string::npos)
      << text.str();
  EXPECT_EQ(text.str().find("clipviewer: script: command"), std::string::npos) << text.str();
}

}  // namespace
}  // namespace quellor::clipviewer::testing
