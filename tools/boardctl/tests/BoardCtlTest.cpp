// boardctl as a user runs it: commands, texts and exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <string>
#include <vector>

namespace {

void Put32(std::vector<char>& bytes, size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// A one-frame NTSC clip (720 x 240 fields) with its data at `data_offset`.
void WriteNtscClip(const std::string& path, std::uint32_t data_offset) {
  constexpr std::uint32_t kChunk = 720 * 240 * 2;
  std::vector<char> bytes(data_offset + 2 * kChunk, 0);
  std::memcpy(bytes.data(), "FMTR", 4);
  Put32(bytes, 4, 1);
  Put32(bytes, 8, data_offset);
  Put32(bytes, 12, 2);
  Put32(bytes, 16, 2 * kChunk);
  for (int i = 0; i < 2; ++i) {
    const size_t at = 24 + 24 * i;
    bytes[at] = 1;
    bytes[at + 2] = 8;
    Put32(bytes, at + 4, kChunk);
    Put32(bytes, at + 12, 1716);
    Put32(bytes, at + 16, 1440);
    Put32(bytes, at + 20, 240);
  }
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ProgramsFolder() {
  if (const char* bin = std::getenv("QUELLOR_BIN"); bin && *bin) return bin;
  std::error_code error;
  return (std::filesystem::read_symlink("/proc/self/exe", error)
              .parent_path()
              .parent_path()
              .parent_path() /
          "bin")
      .string();
}

class BoardCtlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* root = std::getenv("QUELLOR_TEST_TMP");
    folder_ = std::string(root ? root : "/tmp") + "/boardctl-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
              std::to_string(getpid());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // Runs boardctl with the arguments (in the test's folder, with the
  // environment assignments given first); returns standard output and error.
  std::string Run(const std::string& arguments, int* status, const std::string& environment = "") {
    const std::string command = "cd '" + folder_ + "' && " + environment + " QUELLOR_BOARD_DIR='" +
                                folder_ + "/board' '" + ProgramsFolder() + "/boardctl' " +
                                arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char chunk[512];
    while (size_t got = std::fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, got);
    const int result = pclose(pipe);
    *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return output;
  }
  std::string folder_;
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

TEST_F(BoardCtlTest, ClipsAreStoredWholeAndMustPlayBeforeTheInputSwitches) {
  int status = -1;
  WriteNtscClip(folder_ + "/good.rtv", 512);
  EXPECT_EQ(Run("input clip good.rtv", &status), "input: clip " + folder_ + "/good.rtv (NTSC)\n");
  EXPECT_EQ(status, 0);
  // Data at 513: the header is fine, but no field can be read unbuffered.
  WriteNtscClip(folder_ + "/odd.rtv", 513);
  EXPECT_EQ(Run("input clip odd.rtv", &status),
            "boardctl: odd.rtv: the clip's first frame cannot be read\n");
  EXPECT_EQ(status, 1);
  ASSERT_EQ(mkfifo((folder_ + "/pipe.rtv").c_str(), 0600), 0);
  EXPECT_EQ(Run("input clip pipe.rtv", &status),
            "boardctl: pipe.rtv: The file is not a regular file.\n");
  EXPECT_EQ(status, 1);
  const std::string report = Run("status", &status);
  EXPECT_NE(report.find("input:    clip " + folder_ + "/good.rtv (NTSC)\n"), std::string::npos)
      << report;
}

TEST_F(BoardCtlTest, PipesInTheBoardFolderAreRefusedNotWaitedFor) {
  int status = -1;
  Run("input bars", &status);
  ASSERT_EQ(status, 0);
  for (const char* name : {"input", "controls"}) {
    const std::string path = folder_ + "/board/" + name;
    std::filesystem::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    for (const char* command : {"status", "controls", "set control.hue 3"}) {
      EXPECT_EQ(
          Run(command, &status),
          "boardctl: " + path + " is not a regular file (a pipe, device or folder): remove it\n");
      EXPECT_EQ(status, 1);
    }
    std::filesystem::remove(path);
  }
}

TEST_F(BoardCtlTest, SetRefusesUnknownControlsAndValuesOutOfRange) {
  int status = -1;
  const std::string unknown = Run("set control.contrst 3", &status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(unknown.rfind("boardctl: the input side has no control \"control.contrst\" "
                          "(control.format, control.lumacomb, ",
                          0),
            0u)
      << unknown;
  EXPECT_NE(unknown.find("control.hypk)\n"), std::string::npos) << unknown;
  EXPECT_EQ(Run("set --output control.contrast 3", &status),
            "boardctl: the output side has no control \"control.contrast\" (control.format, "
            "control.filter, control.pedestal, control.scphase)\n");
  EXPECT_EQ(Run("set control.contrast 300", &status),
            "boardctl: control.contrast takes -127 to 127, not 300\n");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(Run("set --output control.filter 4", &status),
            "boardctl: control.filter takes 0 to 3, not 4\n");
  Run("set control.contrast -127", &status);
  EXPECT_EQ(status, 0);
  // Every control the board lists can be set.
  const std::string listed = Run("controls", &status);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 20) << listed;
  size_t line_start = 0;
  while (line_start < listed.size()) {
    const size_t end = listed.find('\n', line_start);
    char side[16], name[64];
    ASSERT_EQ(
        std::sscanf(listed.substr(line_start, end - line_start).c_str(), "%15s %63s", side, name),
        2);
    Run(std::string("set --") + side + " " + name + " 0", &status);
    EXPECT_EQ(status, 0) << side << " " << name;
    line_start = end + 1;
  }
}

}  // namespace

// A machine without the board: every command says so and fails, and nothing
// is created on the way; help still works.
TEST_F(BoardCtlTest, NoBoardPresent) {
  int status = -1;
  for (const char* command : {"status", "controls", "input bars", "snapshot -o x.png", "watch"}) {
    EXPECT_EQ(Run(command, &status, "QUELLOR_BOARD=none"),
              "boardctl: no board is present (QUELLOR_BOARD=none)\n")
        << command;
    EXPECT_EQ(status, 1) << command;
  }
  EXPECT_FALSE(std::filesystem::exists(folder_ + "/board"));
  Run("--help", &status, "QUELLOR_BOARD=none");
  EXPECT_EQ(status, 0);
}

// Without a display the window cannot be shown: say so rather than run
// unseen. (The window itself is exercised under Xvfb by hand; see README.)
TEST_F(BoardCtlTest, WatchWindowNeedsADisplay) {
  int status = -1;
  EXPECT_EQ(Run("watch --window", &status, "QUELLOR_HEADLESS=1"),
            "boardctl: watch --window needs a display (DISPLAY is not set, or "
            "QUELLOR_HEADLESS=1)\n");
  EXPECT_EQ(status, 1);
  Run("watch --window --output", &status);
  EXPECT_EQ(status, 2);  // usage
}
