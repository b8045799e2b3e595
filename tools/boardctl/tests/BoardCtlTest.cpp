// boardctl as a user runs it: commands, texts and exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "quellor/testing/ChildProcess.h"
#include "quellor/testing/ScratchFolder.h"

namespace {

// The words of a command line (no quoting: the tests' paths have no spaces).
std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

class BoardCtlTest : public ::testing::Test {
 protected:
  // Runs boardctl on the test's own board; returns standard output and error.
  std::string Run(const std::string& arguments, int* status) {
    quellor::testing::ChildOptions options;
    options.environment = {{"QUELLOR_BOARD_DIR", folder_ + "/board"}};
    options.errorToOutput = true;
    const auto run = quellor::testing::RunChild(quellor::testing::ProgramPath("boardctl"),
                                                Words(arguments), options);
    *status = run.exitCode;
    return run.output;
  }
  quellor::testing::ScratchFolder scratch_{"boardctl"};
  const std::string folder_ = scratch_.path();
};

TEST_F(BoardCtlTest, InputAndStatus) {
  int status = -1;
  EXPECT_EQ(Run("input black pal", &status), "input: black (PAL)\n");
  EXPECT_EQ(status, 0);
  const std::string report = Run("status", &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(report.find("input:    black (PAL)\n"), std::string::npos) << report;
  EXPECT_NE(report.find("at 50.000 fields/s"), std::string::npos) << report;
  EXPECT_NE(report.find("output:   live input\n"), std::string::npos) << report;
  EXPECT_NE(report.find("objects:  0\n"), std::string::npos) << report;

  EXPECT_EQ(Run("input blue", &status),
            "boardctl: unknown input \"blue\" (bars, black, clip FILE or none)\n");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(Run("input bars secam", &status),
            "boardctl: unknown standard \"secam\" (ntsc or pal)\n");
  const std::string missing = Run("input clip " + folder_ + "/none.rtv", &status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(missing.rfind("boardctl: " + folder_ + "/none.rtv: ", 0), 0u) << missing;
}

TEST_F(BoardCtlTest, SetAndListControls) {
  int status = -1;
  Run("set control.contrast -12", &status);
  EXPECT_EQ(status, 0);
  Run("set --output control.filter 3", &status);
  EXPECT_EQ(status, 0);
  const std::string listed = Run("controls", &status);
  EXPECT_NE(listed.find("input  control.contrast       type 4  -12\n"), std::string::npos)
      << listed;
  EXPECT_NE(listed.find("output control.filter         type 5  3\n"), std::string::npos);
  EXPECT_EQ(Run("set control.contrast lots", &status), "boardctl: not a whole number: \"lots\"\n");
  EXPECT_EQ(status, 1);
}

TEST_F(BoardCtlTest, SnapshotsArePngPictures) {
  int status = -1;
  const std::string path = folder_ + "/shot.png";
  EXPECT_EQ(Run("snapshot -o " + path + " --input", &status), path + ": 720 x 480 input\n");
  EXPECT_EQ(status, 0);
  std::ifstream file(path, std::ios::binary);
  char signature[8] = {};
  file.read(signature, 8);
  EXPECT_EQ(std::string(signature + 1, 3), "PNG");
  Run("input none", &status);
  EXPECT_EQ(Run("snapshot -o " + path + " --input", &status),
            "boardctl: the input has no signal\n");
  EXPECT_EQ(status, 1);
  Run("snapshot", &status);
  EXPECT_EQ(status, 2);  // usage
}

TEST_F(BoardCtlTest, UsageForUnknownCommands) {
  int status = -1;
  const std::string usage = Run("frobnicate", &status);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(usage.rfind("usage: boardctl COMMAND\n", 0), 0u);
  Run("--help", &status);
  EXPECT_EQ(status, 0);
}

}  // namespace
