// Play (clips to the clip player, JPEG pictures onto the output), input that
// must never bring the viewer down, and texts thrown below the viewer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "OutputTestSupport.h"
#include "TestJpeg.h"
#include "board/testing/BoardClock.h"
#include "cliplib/clip/ClipFile.h"
#include "display/DisplayTexts.h"
#include "display/PictureCopy.h"
#include "play/PictureFile.h"
#include "play/PlayCommand.h"
#include "programs/ClipPlayer.h"
#include "win32/automation/Desktop.h"
#include "win32/clipboard.h"

namespace quellor::clipviewer::testing {
namespace {

void Truncate(const std::string& path, double keep) {
  const auto size = std::filesystem::file_size(path);
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size * keep));
}

class PlayTest : public OutputViewerTest {
 protected:
  void SetUp() override {
    OutputViewerTest::SetUp();
    desktop::SetAnswerHook([this](const desktop::Question& question) {
      if (question.kind == desktop::Question::Kind::OpenFile) {
        dialogs.push_back(question);
        return std::optional<desktop::Answer>(desktop::Answer{IDOK, answerFile, answerFilter});
      }
      boxes.push_back(question);
      return std::optional<desktop::Answer>(desktop::Answer{IDOK, {}, 0});
    });
  }
  std::string Path(const char* name) const { return Folder() + "/" + name; }
  // Chooses `file` in the Play dialog under filter `filter`.
  void Play(const std::string& file, int filter) {
    answerFile = file;
    answerFilter = filter;
    Command(Viewer(), kCmdPlay);
  }

  std::vector<desktop::Question> dialogs;
  std::string answerFile;
  int answerFilter = 1;
};

TEST_F(PlayTest, DialogAsksWithItsTitleAndFiltersAndTheWindowHidesAgain) {
  Play("", 1);  // cancelled
  ASSERT_EQ(dialogs.size(), 1u);
  const desktop::Question& dialog = dialogs[0];
  EXPECT_EQ(dialog.caption, "Select A File To Display");
  using Filter = std::pair<std::string, std::string>;
  const std::vector<Filter> filters = {{"RTV File Sequence (*.rtv)", "*.rtv"},
                                       {"JPEG Image Source (*.jpg)", "*.jpg"},
                                       {"All Files (*.*)", "*.*"}};
  EXPECT_EQ(dialog.filters, filters);
  EXPECT_EQ(dialog.filterIndex, 1);
  EXPECT_EQ(dialog.style & (OFN_EXPLORER | OFN_HIDEREADONLY),
            UINT(OFN_EXPLORER | OFN_HIDEREADONLY));
  EXPECT_FALSE(IsWindowVisible(Viewer().MainWindow()));
  EXPECT_TRUE(launches.size() == 1u);  // only the start-up clip
}

TEST_F(PlayTest, ClipFilterHandsEvenAJpegToTheClipPlayer) {
  const std::string file = Path("picture.jpg");
  WriteJpeg(file, 16, 16, 3, 0xFF0000);
  Play(file, 1);
  ASSERT_EQ(launches.size(), 2u);
  EXPECT_EQ(launches[1], "zivavir \"" + file + "\"");
  EXPECT_TRUE(Viewer().Picture().Empty());
  // The dialog opens at the last choice next time.
  Play("", 1);
  EXPECT_EQ(dialogs.back().file, file);
}

TEST_F(PlayTest, PictureStaysOnTheOutputUntilTheClipboardChanges) {
  ShowAndRead([] { PutTextOnClipboard("before"); });
  const std::string file = Path("red.jpg");
  WriteJpeg(file, 64, 48, 3, 0xFF0000);
  const OutputFrame picture = ShowAndRead([&] { Play(file, 2); });
  EXPECT_EQ(Viewer().State().clipboardChangeCount, 0);
  EXPECT_TRUE(PixelNear(picture, 0, 0, 0xFF0000, 12));
  EXPECT_TRUE(PixelNear(picture, 719, 479, 0xFF0000, 12));
  // A command re-renders: still the picture.
  const OutputFrame again = ShowAndRead([&] { Command(Viewer(), kCmdStretchFit); });
  EXPECT_TRUE(PixelNear(again, 360, 240, 0xFF0000, 12));
  // The clipboard changes: its text is shown; emptied, the picture is back.
  const OutputFrame text = ShowAndRead([] { PutTextOnClipboard("after"); });
  EXPECT_TRUE(PixelNear(text, 0, 0, 0x000000, 8));
  const OutputFrame empty = ShowAndRead(EmptyTheClipboard);
  EXPECT_TRUE(PixelNear(empty, 0, 0, 0xFF0000, 12));
}

TEST_F(PlayTest, GreyJpegUnderAllFilesIsShownOneToOne) {
  Viewer().State().resizeMode = ResizeMode::OneToOne;
  const std::string file = Path("grey.jpeg");
  WriteJpeg(file, 100, 50, 1, 0x808080);
  const OutputFrame frame = ShowAndRead([&] { Play(file, 3); });
  EXPECT_TRUE(PixelNear(frame, 360, 240, 0x808080, 8));
  EXPECT_TRUE(PixelNear(frame, 300, 240, 0x000000, 8));
}

TEST_F(PlayTest, CorruptOrTruncatedJpegChangesNothing) {
  const OutputFrame before = ShowAndRead([] { PutTextOnClipboard("kept"); });
  const std::string truncated = Path("truncated.jpg");
  WriteJpeg(truncated, 64, 64, 3, 0x00FF00);
  Truncate(truncated, 0.5);
  const std::string garbage = Path("garbage.jpg");
  std::ofstream(garbage) << "\xFF\xD8\xFF\xE0 this is not really a JPEG";
  for (const std::string& file : {truncated, garbage, Path("missing.jpg")}) {
    const unsigned queued = Viewer().Hub()->FramesQueued();
    Play(file, 2);
    EXPECT_TRUE(Viewer().Picture().Empty()) << file;
    EXPECT_EQ(Viewer().State().clipboardChangeCount, 3) << file;  // untouched
    EXPECT_EQ(Viewer().Hub()->FramesQueued(), queued) << file;
  }
  board::testing::AdvanceFields(4);
  EXPECT_EQ(ReadOutput().pixels, before.pixels);
  EXPECT_TRUE(boxes.empty());
}

TEST(PictureFileTest, JpegOf641PixelsBecomesA644WidePictureWithBlackPadding) {
  const char* root = std::getenv("QUELLOR_TEST_TMP");
  const std::string file = std::string(root ? root : "/tmp") + "/clipviewer-641.jpg";
  WriteJpeg(file, 641, 3, 3, 0xFFFFFF);
  LoadedPicture loaded;
  ASSERT_TRUE(LoadPictureFile(file, loaded));
  EXPECT_EQ(loaded.width, 641);
  EXPECT_EQ(loaded.height, 3);
  ASSERT_EQ(loaded.picture->Width(), 644);
  for (int y = 0; y < 3; ++y) {
    EXPECT_GT(loaded.picture->Row(y)[640] & 0xFF, 240u);
    for (int x = 641; x < 644; ++x) EXPECT_EQ(loaded.picture->Row(y)[x], 0u);
  }
  // A failed load keeps what was there.
  Truncate(file, 0.3);
  EXPECT_FALSE(LoadPictureFile(file, loaded));
  EXPECT_EQ(loaded.width, 641);
}

using BadInputTest = OutputViewerTest;

TEST_F(BadInputTest, BitmapHandleThatIsGoneKeepsTheFrame) {
  const OutputFrame before = ShowAndRead([] { PutTextOnClipboard("kept"); });
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  DeleteObject(bitmap);
  const OutputFrame after = ShowAndRead([&] { PutBitmapHandleOnClipboard(bitmap); });
  EXPECT_EQ(before.pixels, after.pixels);
}

TEST_F(BadInputTest, BitmapWiderThan16384PixelsIsSkippedAndOneOf16384Shown) {
  const OutputFrame before = ShowAndRead([] { PutTextOnClipboard("kept"); });
  const OutputFrame wide =
      ShowAndRead([] { PutBitmapOnClipboard(16385, 1, [](int, int) { return 0x0000FFu; }); });
  EXPECT_EQ(before.pixels, wide.pixels);
  const OutputFrame widest =
      ShowAndRead([] { PutBitmapOnClipboard(16384, 2, [](int, int) { return 0x0000FFu; }); });
  EXPECT_TRUE(PixelNear(widest, 360, 240, 0x0000FF, 8));
}

TEST_F(BadInputTest, HugeTextIsDrawnAndTheViewerRunsOn) {
  std::string text;
  while (text.size() < (1u << 20)) text += "a long line of text that wraps ";
  const OutputFrame frame = ShowAndRead([&] { PutTextOnClipboard(text); });
  int bright = 0;
  for (std::uint32_t pixel : frame.pixels) bright += ((pixel >> 8) & 0xFF) > 128;
  EXPECT_GT(bright, 1000);
  const OutputFrame next = ShowAndRead([] { PutTextOnClipboard(""); });
  EXPECT_TRUE(PixelNear(next, 360, 240, 0x000000, 8));
}

TEST_F(BadInputTest, TextWithoutAnEndIsReadNoFurtherThanItsBlock) {
  const OutputFrame frame = ShowAndRead([] {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 64);
    std::memset(GlobalLock(memory), 'W', 64);  // no terminating zero
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    desktop::RunUntilIdle();
  });
  int bright = 0;
  for (std::uint32_t pixel : frame.pixels) bright += ((pixel >> 8) & 0xFF) > 128;
  EXPECT_GT(bright, 100);
}

TEST(PictureBufferTest, SizesOutsideTheLimitsAreRefusedWithTheDibSectionText) {
  for (auto [width, height] : {std::pair{0, 10}, {10, 0}, {-4, 4}, {16385, 1}, {1, 16385}}) {
    try {
      PictureBuffer picture(width, height);
      ADD_FAILURE() << width << " x " << height << " was made";
    } catch (const char* text) {
      EXPECT_STREQ(text, kCannotGetDibSection);
    }
  }
  PictureBuffer picture(5, 3);
  EXPECT_EQ(picture.Width(), 8);
  EXPECT_EQ(picture.Header().biHeight, -3);
  EXPECT_EQ(picture.Image()->imageData, reinterpret_cast<char*>(picture.Bits()));
  EXPECT_EQ(picture.Image()->widthStep, 32);
}

TEST(ClipCopyRegionTest, NegativeOffsetsMoveTheOtherSideAndTheSizeIsCutToBoth) {
  CopyRegion whole;  // negative size: the whole source
  ASSERT_TRUE(ClipCopyRegion(720, 480, 100, 50, whole));
  EXPECT_EQ(whole.w, 100);
  EXPECT_EQ(whole.h, 50);

  CopyRegion left{-30, -5, 0, 0, 100, 50};
  ASSERT_TRUE(ClipCopyRegion(720, 480, 100, 50, left));
  EXPECT_EQ(left.x, 0);
  EXPECT_EQ(left.sx, 30);
  EXPECT_EQ(left.w, 70);
  EXPECT_EQ(left.y, 0);
  EXPECT_EQ(left.sy, 5);
  EXPECT_EQ(left.h, 45);

  CopyRegion source{10, 10, -4, -6, 100, 50};
  ASSERT_TRUE(ClipCopyRegion(720, 480, 100, 50, source));
  EXPECT_EQ(source.x, 14);
  EXPECT_EQ(source.sx, 0);
  EXPECT_EQ(source.w, 96);
  EXPECT_EQ(source.y, 16);
  EXPECT_EQ(source.h, 44);

  CopyRegion large{-140, -60, 0, 0, -1, -1};  // 1001 x 601 into 720 x 480
  ASSERT_TRUE(ClipCopyRegion(720, 480, 1001, 601, large));
  EXPECT_EQ(large.w, 720);
  EXPECT_EQ(large.h, 480);
  EXPECT_EQ(large.sx, 140);

  CopyRegion outside{720, 0, 0, 0, 10, 10};
  EXPECT_FALSE(ClipCopyRegion(720, 480, 100, 50, outside));
  CopyRegion gone{-100, 0, 0, 0, 100, 50};
  EXPECT_FALSE(ClipCopyRegion(720, 480, 100, 50, gone));
}

TEST_F(ViewerTest, TextThrownByTheClipLibraryReachesTheMessageBox) {
  const std::string clip = Folder() + "/not-a-clip.rtv";
  std::ofstream(clip) << std::string(8192, '\0');
  ViewerHooks hooks = CountingHooks();
  hooks.started = [](ClipViewer& viewer) {
    PostMessageA(viewer.MainWindow(), WM_COMMAND, kCmdPlay, 0);
  };
  hooks.playFile = [clip](ClipViewer&) { clip::ClipFile::Open(clip.c_str()); };
  ClipViewer viewer(hooks);
  ASSERT_TRUE(viewer.InitialiseStatics());
  EXPECT_EQ(viewer.Run(""), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "This is not an RTV file.");
  EXPECT_EQ(boxes[0].caption, kAppTitle);
  EXPECT_EQ(viewer.Hub(), nullptr);
  viewer.CleanUpStatics();
}

TEST_F(ViewerTest, AnythingOtherThanTextIsAnUnknownInternalError) {
  ViewerHooks hooks = CountingHooks();
  hooks.started = [](ClipViewer& viewer) {
    PostMessageA(viewer.MainWindow(), WM_COMMAND, kCmdPlay, 0);
  };
  hooks.playFile = [](ClipViewer&) { throw 42; };
  ClipViewer viewer(hooks);
  ASSERT_TRUE(viewer.InitialiseStatics());
  EXPECT_EQ(viewer.Run(""), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kUnknownError);
  viewer.CleanUpStatics();
}

}  // namespace
}  // namespace quellor::clipviewer::testing

namespace quellor::clipviewer::testing {
namespace {

// Windows finds "zivavir" whatever the case of the program's file; so must a
// case-sensitive file system, where the stand-in is built as "ZivaVIR".
TEST_F(ViewerTest, LowerCaseClipPlayerNameStartsTheStandIn) {
  const char* bin = std::getenv("QUELLOR_BIN");
  ASSERT_NE(bin, nullptr);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (std::string(bin) + ":" + oldPath).c_str(), 1);
  PROCESS_INFORMATION process = {};
  const bool started =
      CreateProcessLaunch(nullptr, PlayClipCommandLine("clip.rtv"), true, &process);
  setenv("PATH", oldPath.c_str(), 1);
  ASSERT_TRUE(started);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace quellor::clipviewer::testing
