// The preview programs: found on the search path, started once at a time,
// and started again after they have ended.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ViewerTestSupport.h"
#include "win32/automation/Desktop.h"

namespace quellor::clipviewer::testing {
namespace {

class PreviewTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    const std::string bin = Folder() + "/bin";
    std::filesystem::create_directories(bin);
    const std::string program = bin + "/VideoPreviewOut";
    std::ofstream(program) << "#!/bin/sh\nexec sleep 30\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    path_ = std::getenv("PATH");
    setenv("PATH", (bin + ":" + path_).c_str(), 1);
    launchForReal = true;
  }
  void TearDown() override {
    setenv("PATH", path_.c_str(), 1);
    ViewerTest::TearDown();
  }
  // Ends the preview the way a user closing it would, and waits for that.
  static void EndProcess(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    ASSERT_NE(process, nullptr);
    TerminateProcess(process, 0);
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    CloseHandle(process);
  }

 private:
  std::string path_;
};

TEST_F(PreviewTest, RunningPreviewIsNotStartedTwice) {
  ClipViewer viewer(CountingHooks());
  ASSERT_TRUE(viewer.StartUp(""));
  launches.clear();
  Command(viewer, kCmdOutputPreview);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(std::filesystem::path(launches[0]).filename(), "VideoPreviewOut");
  const DWORD first = viewer.OutputPreview().ProcessId();
  EXPECT_TRUE(viewer.OutputPreview().IsRunning());
  Command(viewer, kCmdOutputPreview);
  EXPECT_EQ(launches.size(), 1u);
  EXPECT_EQ(viewer.OutputPreview().ProcessId(), first);

  // Once the user has closed it, the entry starts it again.
  EndProcess(first);
  EXPECT_FALSE(viewer.OutputPreview().IsRunning());
  Command(viewer, kCmdOutputPreview);
  EXPECT_EQ(launches.size(), 2u);
  const DWORD second = viewer.OutputPreview().ProcessId();
  EXPECT_NE(second, 0u);
  EndProcess(second);
  ExitAndShutDown(viewer);
  EXPECT_EQ(viewer.OutputPreview().ProcessId(), 0u);
}

}  // namespace
}  // namespace quellor::clipviewer::testing
