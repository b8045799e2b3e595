#include "ViewerTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/Pause.h"
#include "board/testing/BoardClock.h"
#include "quellor/testing/BoardReset.h"
#include "settings/IniSettings.h"
#include "win32/clipboard.h"
#include "win32/automation/Desktop.h"

namespace quellor::clipviewer::testing {

void ViewerTest::SetUp() {
  scratch_.emplace("clipviewer");
  const std::filesystem::path folder = scratch_->fspath();
  std::filesystem::create_directories(folder / "windows");
  std::filesystem::create_directories(folder / "board");
  folder_ = folder.string();
  setenv("QUELLOR_WINDIR", (folder / "windows").c_str(), 1);
  quellor::testing::UsePrivateBoard((folder / "board").string(),
                                    quellor::testing::FieldClock::Unchanged);

  SetPauseFunction([this](DWORD ms) { pauses.push_back(ms); });
  SetLaunchFunction([this](const char* application, const std::string& commandLine, bool hidden,
                           PROCESS_INFORMATION* process) {
    launches.push_back(application ? application : commandLine);
    return launchForReal && CreateProcessLaunch(application, commandLine, hidden, process);
  });
  desktop::SetAnswerHook([this](const desktop::Question& question) {
    boxes.push_back(question);
    return std::optional<desktop::Answer>(desktop::Answer{IDOK, {}, 0});
  });
}

void ViewerTest::TearDown() {
  desktop::SetAnswerHook({});
  SetLaunchFunction({});
  SetPauseFunction({});
  quellor::testing::ResetBoard();
  scratch_.reset();
}

std::vector<std::string> ViewerTest::SettingsLines() const {
  std::vector<std::string> lines;
  std::ifstream in(SettingsFile());
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

ViewerHooks ViewerTest::CountingHooks() {
  ViewerHooks hooks = StandardHooks();
  hooks.renderOutput = [this](ClipViewer&) { ++renders; };
  hooks.outputSettingsDialog = [this](ClipViewer&) {
    if (outputDialogVideoMode >= 0) settings::WriteIniInt("VideoMode", outputDialogVideoMode);
  };
  return hooks;
}

void ViewerTest::PutTextOnClipboard(const std::string& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
  desktop::RunUntilIdle();
}

void ViewerTest::Command(ClipViewer& viewer, UINT command) {
  PostMessageA(viewer.MainWindow(), WM_COMMAND, command, 0);
  desktop::RunUntilIdle();
}

void ViewerTest::ExitAndShutDown(ClipViewer& viewer) {
  PostMessageA(viewer.MainWindow(), WM_COMMAND, kCmdExit, 0);
  viewer.RunMessageLoop();
  viewer.ShutDown();
}

void StartedViewerTest::SetUp() {
  ViewerTest::SetUp();
  viewer_ = std::make_unique<ClipViewer>(CountingHooks());
  ASSERT_TRUE(viewer_->InitialiseStatics());
  ASSERT_TRUE(viewer_->StartUp(""));
  desktop::RunUntilIdle();
}

void StartedViewerTest::TearDown() {
  viewer_.reset();
  ViewerTest::TearDown();
}

}  // namespace quellor::clipviewer::testing
