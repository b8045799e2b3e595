// The preview programs as rtvbridge.so and clipviewer run them: a live PNG of
// the board's input or output, ended by a signal or after N pictures, and
// their arguments checked.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "LivePreview.h"
#include "PreviewWindow.h"
#include "board/BoardControl.h"
#include "board/testing/BoardClock.h"

extern char** environ;

namespace {

std::string ProgramsFolder() {
  const char* bin = std::getenv("QUELLOR_BIN");
  return bin != nullptr ? bin : "bin";
}

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* root = std::getenv("QUELLOR_TEST_TMP");
    folder_ = std::string(root ? root : "/tmp") + "/preview/" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ + "/board");
    setenv("QUELLOR_BOARD_DIR", (folder_ + "/board").c_str(), 1);
    quellor::board::testing::ResetBoard();
  }

  // Runs a program to its end; its exit status.
  int Run(const std::string& command) {
    const int result = std::system((command + " 2>/dev/null").c_str());
    return WIFEXITED(result) ? WEXITSTATUS(result) : -1;
  }

  // Width and height from a PNG's header; 0 x 0 when it is not one.
  static std::pair<int, int> PngSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    if (!in || header[1] != 'P' || header[2] != 'N' || header[3] != 'G') return {0, 0};
    const auto word = [&](int at) {
      return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3];
    };
    return {word(16), word(20)};
  }

  std::string folder_;
};

TEST_F(PreviewTest, InputPreviewWritesTheInputAsAPictureAndEndsAfterNPictures) {
  const std::string picture = folder_ + "/in.png";
  EXPECT_EQ(Run(ProgramsFolder() + "/VideoPreviewIn --interval 10 --pictures 3 -o " + picture), 0);
  EXPECT_EQ(PngSize(picture), std::make_pair(720, 480));
  EXPECT_FALSE(std::filesystem::exists(picture + ".part"));

  quellor::board::InputSetting pal;
  pal.standard = quellor::board::VideoStandard::Pal;
  std::string error;
  ASSERT_TRUE(quellor::board::SetInputSource(pal, error)) << error;
  // Long enough for PAL fields to arrive (the board runs at the field rate).
  EXPECT_EQ(Run(ProgramsFolder() + "/VideoPreviewIn --interval 100 --pictures 3 -o " + picture), 0);
  EXPECT_EQ(PngSize(picture), std::make_pair(720, 576));
}

TEST_F(PreviewTest, OutputPreviewKeepsItsDefaultPictureUntilItIsAskedToEnd) {
  pid_t pid = 0;
  const std::string program = ProgramsFolder() + "/VideoPreviewOut";
  char* arguments[] = {const_cast<char*>(program.c_str()), nullptr};
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, arguments, environ), 0);
  const std::string picture = folder_ + "/board/preview-out.png";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!std::filesystem::exists(picture) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(PngSize(picture), std::make_pair(720, 480));
  ASSERT_EQ(kill(pid, SIGTERM), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(PreviewTest, BadArgumentsAreRefusedWithTheUsage) {
  for (const char* arguments : {"--pictures 0", "--interval 5", "--interval x", "-o", "extra"}) {
    EXPECT_EQ(Run(ProgramsFolder() + "/VideoPreviewIn " + arguments), 2) << arguments;
  }
  EXPECT_EQ(Run(ProgramsFolder() + "/VideoPreviewOut -o /no/such/folder/x.png --pictures 1"), 1);
}

TEST_F(PreviewTest, WithoutSignalTheInputPictureIsBlack) {
  quellor::board::InputSetting none;
  none.kind = quellor::board::InputSourceKind::None;
  std::string error;
  ASSERT_TRUE(quellor::board::SetInputSource(none, error)) << error;
  quellor::preview::LivePreview preview(quellor::preview::PreviewSource::Input);
  ASSERT_TRUE(preview.Attach(error)) << error;
  const std::string picture = folder_ + "/black.png";
  ASSERT_TRUE(preview.WritePicture(picture, error)) << error;
  EXPECT_EQ(preview.FieldsSeen(), 0u);
  EXPECT_EQ(PngSize(picture), std::make_pair(720, 480));
}

// The picture is rewritten several times a second: a frame the file already
// holds is not written again, but a removed file or a new frame is.
TEST_F(PreviewTest, APictureIsWrittenOnlyWhenItChangedOrTheFileIsGone) {
  quellor::board::testing::UseManualClock(0);
  quellor::preview::LivePreview preview(quellor::preview::PreviewSource::Input);
  std::string error;
  ASSERT_TRUE(preview.Attach(error)) << error;
  const std::string picture = folder_ + "/live.png";
  quellor::board::testing::AdvanceFields(2);
  ASSERT_TRUE(preview.WritePicture(picture, error)) << error;
  ASSERT_TRUE(preview.WritePicture(picture, error)) << error;
  EXPECT_EQ(preview.PicturesWritten(), 1u);
  const auto first = std::filesystem::last_write_time(picture);

  std::filesystem::remove(picture);
  ASSERT_TRUE(preview.WritePicture(picture, error)) << error;
  EXPECT_EQ(preview.PicturesWritten(), 2u);
  EXPECT_EQ(PngSize(picture), std::make_pair(720, 480));

  // Another name is another file.
  ASSERT_TRUE(preview.WritePicture(folder_ + "/other.png", error)) << error;
  EXPECT_EQ(preview.PicturesWritten(), 3u);

  // The bars' marker moves with the fields: a new frame, a new file.
  quellor::board::testing::AdvanceFields(2);
  ASSERT_TRUE(preview.WritePicture(picture, error)) << error;
  EXPECT_EQ(preview.PicturesWritten(), 4u);
  EXPECT_GE(std::filesystem::last_write_time(picture), first);
  EXPECT_FALSE(std::filesystem::exists(picture + ".part"));
  quellor::board::testing::UseRealtimeClock();
}

// The window's picture is brought up to date field by field: whatever fields
// came, and across a change of standard, it is the whole frame's picture.
TEST_F(PreviewTest, AKeptPictureFollowsEveryFieldAndAStandardChange) {
  quellor::board::testing::UseManualClock(0);
  quellor::preview::LivePreview preview(quellor::preview::PreviewSource::Input);
  std::string error;
  ASSERT_TRUE(preview.Attach(error)) << error;
  std::vector<std::uint8_t> kept, whole;
  quellor::preview::PictureState state;
  std::uint32_t keptField = 0, wholeField = 0;
  for (std::uint32_t fields : {2u, 1u, 1u, 3u, 0u}) {
    quellor::board::testing::AdvanceFields(fields);
    const std::uint32_t lines = preview.UpdatePicture(kept, state, keptField);
    EXPECT_EQ(preview.Picture(whole, wholeField), lines);
    EXPECT_EQ(keptField, wholeField);
    ASSERT_TRUE(kept == whole) << "after " << fields << " more fields";
  }
  quellor::board::InputSetting pal;
  pal.standard = quellor::board::VideoStandard::Pal;
  ASSERT_TRUE(quellor::board::SetInputSource(pal, error)) << error;
  quellor::board::testing::AdvanceFields(1);  // one PAL field: the rest is black
  EXPECT_EQ(preview.UpdatePicture(kept, state, keptField), 288u);
  preview.Picture(whole, wholeField);
  EXPECT_EQ(kept.size(), 720u * 576u * 4u);
  EXPECT_TRUE(kept == whole);
  quellor::board::testing::AdvanceFields(1);
  preview.UpdatePicture(kept, state, keptField);
  preview.Picture(whole, wholeField);
  EXPECT_TRUE(kept == whole);
  quellor::board::testing::UseRealtimeClock();
}

}  // namespace

namespace {

TEST(PreviewTitleTest, NamesTheFieldAndTheStandard) {
  EXPECT_EQ(quellor::preview::PreviewTitle("Video Preview Out", 1234, 240),
            "Video Preview Out: field 1234, NTSC");
  EXPECT_EQ(quellor::preview::PreviewTitle("Video Preview In", 7, 288),
            "Video Preview In: field 7, PAL");
}

}  // namespace
