// Start-up and its ways of ending: static initialisation, the "exit" command
// line, a second copy, a missing board.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include "ViewerTestSupport.h"
#include "board/Engine.h"
#include "board/Support.h"
#include "board/testing/BoardClock.h"

namespace quellor::clipviewer::testing {
namespace {

constexpr const char* kNtscStartup = "ZivaVIR \"VideoQuellorLogo_Ntsc.rtv\"";

int ControlValue(DWORD client, const char* name, DWORD type) {
  int value = -9999;
  RTME_GetControl(client, 0, 0, name, type, &value, sizeof value);
  return value;
}

// True while the hub's producer name is held on the board.
bool HubNameTaken() {
  DWORD engine = RTME_OpenEngine();
  Harmonex_FormatRecord format = {};
  format.recordBytes = sizeof format;
  Harmonex_ProducerDescriptor descriptor = {
      kHarmonexProducerDescriptorBytes, &format, nullptr, nullptr, nullptr, 0};
  DWORD producer = Harmonex_CreateProducer(RTME_GetMediaContext(engine),
                                           "media.apps.qlclipboard.vidout", &descriptor);
  if (producer) Harmonex_DestroyProducer(producer);
  RTME_CloseEngine(engine);
  return producer == 0;
}

TEST_F(ViewerTest, FirstStartCreatesTheSettingsFileWithTheKeysReadSoFar) {
  ClipViewer viewer(CountingHooks());
  ASSERT_TRUE(viewer.InitialiseStatics());
  const auto lines = SettingsLines();
  ASSERT_EQ(lines.size(), 50u);  // section, 4 viewer keys, 5 output keys, Input, 40 per input
  const std::vector<std::string> head = {"[VideoQuellor Configuration]",
                                         "Resize=0",
                                         "DeInterlace=1",
                                         "ClipboardEnabled=1",
                                         "VideoMode=1",
                                         "Output=0",
                                         "Pedestal=1",
                                         "OutputFilter=2",
                                         "SCPhase=0",
                                         "Input=0",
                                         "HYPK_Composite=0"};
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 11), head);
  EXPECT_EQ(lines.back(), "VOffset_SDI=0");
  // The board got the composite input's values, after the one 100 ms pause.
  EXPECT_EQ(ControlValue(viewer.SwitcherClient(), "control.contrast", 4), 44);
  EXPECT_EQ(ControlValue(viewer.SwitcherClient(), "control.chromacomb", 5), 8);
  EXPECT_EQ(pauses, std::vector<DWORD>{100});
  EXPECT_TRUE(viewer.Picture().Empty());
  viewer.CleanUpStatics();
}

TEST_F(ViewerTest, StoredViewerSettingsAreTakenAndBadOnesRewritten) {
  {
    std::ofstream file(SettingsFile());
    file << "[VideoQuellor Configuration]\nResize=1\nDeInterlace=abc\nClipboardEnabled=0\n"
            "VideoMode=0\nPALStartupClip=C:\\clips\\pal logo.rtv\n";
  }
  ClipViewer viewer(CountingHooks());
  ASSERT_TRUE(viewer.InitialiseStatics());
  EXPECT_EQ(viewer.State().resizeMode, ResizeMode::OneToOne);
  EXPECT_TRUE(viewer.State().deInterlace);
  EXPECT_FALSE(viewer.State().clipboardEnabled);
  EXPECT_EQ(viewer.State().videoMode, VideoMode::Pal);
  EXPECT_EQ(SettingsLines()[2], "DeInterlace=1");
  // PAL mode starts the PAL clip.
  ASSERT_TRUE(viewer.StartUp(""));
  ASSERT_FALSE(launches.empty());
  EXPECT_EQ(launches[0], "ZivaVIR \"C:\\clips\\pal logo.rtv\"");
  EXPECT_FALSE(viewer.Hub()->IsNtsc());
  ExitAndShutDown(viewer);
  viewer.CleanUpStatics();
}

TEST_F(ViewerTest, ExitCommandLineStartsTheClipAndCreatesNothing) {
  ClipViewer viewer(CountingHooks());
  ASSERT_TRUE(viewer.InitialiseStatics());
  pauses.clear();
  EXPECT_EQ(viewer.Run("exit"), 1);
  EXPECT_EQ(launches, std::vector<std::string>{kNtscStartup});
  EXPECT_EQ(pauses, std::vector<DWORD>{2000});
  EXPECT_EQ(viewer.MainWindow(), nullptr);
  EXPECT_EQ(viewer.Hub(), nullptr);
  EXPECT_EQ(FindWindowA("QLClip", nullptr), nullptr);
  EXPECT_FALSE(HubNameTaken());
  // Only the whole command line counts.
  EXPECT_TRUE(viewer.StartUp("Exit"));
  ExitAndShutDown(viewer);
  viewer.CleanUpStatics();
}

TEST_F(ViewerTest, SecondCopyShowsTheHubMessageAfterStartingTheClip) {
  ClipViewer first(CountingHooks());
  ASSERT_TRUE(first.StartUp(""));
  launches.clear();

  ClipViewer* firstCurrent = ClipViewer::Current();
  EXPECT_NE(firstCurrent, nullptr);
  {
    ClipViewer second(CountingHooks());
    EXPECT_EQ(second.Run(""), 0);
    EXPECT_EQ(launches, std::vector<std::string>{kNtscStartup});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Video Quellor Director / Clipboard Viewer");
    EXPECT_EQ(boxes[0].text,
              "I could not create the hub media producer.\nThis might be because you have another "
              "copy of this application running, you may only have one copy running at any one "
              "time.");
    EXPECT_EQ(boxes[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(second.Hub(), nullptr);
  }
  EXPECT_TRUE(HubNameTaken());  // the failed copy left the first one's name alone
}

TEST_F(ViewerTest, SettingsThatCannotBeSavedAreReportedAndFailTheExit) {
  ClipViewer viewer(CountingHooks());
  ASSERT_TRUE(viewer.StartUp(""));
  // A folder now stands where the settings file was.
  std::filesystem::remove(SettingsFile());
  std::filesystem::create_directory(SettingsFile());
  viewer.State().resizeMode = ResizeMode::OneToOne;
  PostMessageA(viewer.MainWindow(), WM_COMMAND, kCmdExit, 0);
  viewer.RunMessageLoop();
  EXPECT_FALSE(viewer.ShutDown());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Video Quellor Director / Clipboard Viewer");
  EXPECT_EQ(boxes[0].text.rfind("The settings could not be saved to ", 0), 0u) << boxes[0].text;
  EXPECT_NE(boxes[0].text.find("VideoQuellor.ini (error 5)."), std::string::npos) << boxes[0].text;
  EXPECT_EQ(boxes[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
  std::filesystem::remove(SettingsFile());
  viewer.CleanUpStatics();
}

TEST_F(ViewerTest, MissingBoardShowsTheMessage) {
  setenv("QUELLOR_BOARD", "none", 1);
  board::testing::ResetBoard();
  ClipViewer viewer(CountingHooks());
  EXPECT_FALSE(viewer.InitialiseStatics());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text,
            "The Video Quellor board was not found, this could be because the device driver "
            "failed to load.");
  EXPECT_TRUE(SettingsLines().empty());  // nothing read, nothing written
}

TEST_F(ViewerTest, MissingBoardEndsTheProgramWithExitCodeOne) {
  const char* bin = std::getenv("QUELLOR_BIN");
  ASSERT_NE(bin, nullptr);
  const std::string errors = Folder() + "/stderr.txt";
  const std::string command =
      "QUELLOR_BOARD=none \"" + std::string(bin) + "/clipviewer\" 2>\"" + errors + "\" >/dev/null";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  std::ifstream in(errors);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("Error: The Video Quellor board was not found, this could be because "
                            "the device driver failed to load."),
            std::string::npos)
      << text.str();
}

}  // namespace
}  // namespace quellor::clipviewer::testing

namespace quellor::clipviewer::testing {
namespace {

// Modes outside the named ones read as PAL (video) and stretch to fit
// (resize), and are written back as those numbers at exit.
TEST_F(ViewerTest, StoredModesOutsideTheNamedOnesReadAsPalAndStretch) {
  {
    std::ofstream file(SettingsFile());
    file << "[VideoQuellor Configuration]\nResize=7\nVideoMode=3\n";
  }
  ClipViewer viewer(CountingHooks());
  ASSERT_TRUE(viewer.InitialiseStatics());
  EXPECT_EQ(viewer.State().resizeMode, ResizeMode::StretchToFit);
  EXPECT_EQ(viewer.State().videoMode, VideoMode::Pal);
  ASSERT_TRUE(viewer.StartUp(""));
  EXPECT_FALSE(viewer.Hub()->IsNtsc());
  ExitAndShutDown(viewer);
  const auto lines = SettingsLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Resize=0"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "VideoMode=0"), lines.end());
  viewer.CleanUpStatics();
}

}  // namespace
}  // namespace quellor::clipviewer::testing
