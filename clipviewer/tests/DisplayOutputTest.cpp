// What each clipboard format looks like on the board's output, read back from
// the board as pixels. YCbCr 4:2:2 on the way costs a few levels per channel
// and shares colour between pixel pairs, hence the tolerances.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "OutputTestSupport.h"
#include "board/testing/BoardClock.h"
#include "win32/automation/Desktop.h"
#include "win32/clipboard.h"

namespace quellor::clipviewer::testing {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr int kTolerance = 8;

bool Bright(const OutputFrame& frame, int x, int y) {
  return frame.Green(x, y) > 128;
}

// A white block of width x height on the clipboard.
void PutWhiteBitmap(int width, int height) {
  PutBitmapOnClipboard(width, height, [](int, int) { return 0xFFFFFFu; });
}

// Checks that the white block placed 1-to-1 spans columns [left, right] and
// rows [top, bottom] and is black just outside.
void ExpectWhiteBlock(const OutputFrame& frame, int left, int top, int right, int bottom) {
  const int midX = (left + right) / 2, midY = (top + bottom) / 2;
  EXPECT_TRUE(Bright(frame, left, midY)) << "left " << left;
  EXPECT_FALSE(Bright(frame, left - 1, midY)) << "left " << left;
  EXPECT_TRUE(Bright(frame, right, midY)) << "right " << right;
  EXPECT_FALSE(Bright(frame, right + 1, midY)) << "right " << right;
  EXPECT_TRUE(Bright(frame, midX, top)) << "top " << top;
  EXPECT_FALSE(Bright(frame, midX, top - 1)) << "top " << top;
  EXPECT_TRUE(Bright(frame, midX, bottom)) << "bottom " << bottom;
  EXPECT_FALSE(Bright(frame, midX, bottom + 1)) << "bottom " << bottom;
}

using DisplayOutputTest = OutputViewerTest;

TEST_F(DisplayOutputTest, TextIsWhiteOnBlackAndCentredBothWays) {
  const OutputFrame frame = ShowAndRead([] { PutTextOnClipboard("Video Quellor"); });
  ASSERT_EQ(frame.height, 480);
  int left = frame.width, right = -1, top = frame.height, bottom = -1;
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      if (!Bright(frame, x, y)) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  ASSERT_GE(right, left) << "no text on the output";
  EXPECT_NEAR((left + right) / 2.0, 360, 12);
  EXPECT_NEAR((top + bottom) / 2.0, 240, 12);
  EXPECT_TRUE(PixelNear(frame, 5, 5, kBlack, kTolerance));
  EXPECT_TRUE(PixelNear(frame, 714, 474, kBlack, kTolerance));
}

TEST_F(DisplayOutputTest, LongTextWrapsInsideTheFrame) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "wrapped words\t";
  const OutputFrame frame = ShowAndRead([&] { PutTextOnClipboard(text); });
  int rowsWithText = 0;
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      if (Bright(frame, x, y)) {
        ++rowsWithText;
        break;
      }
    }
  }
  EXPECT_GT(rowsWithText, 40) << "the text stayed on one line";
}

TEST_F(DisplayOutputTest, BitmapIsStretchedOverTheWholeFrame) {
  // 200 x 100: left half red, right half blue, stretched 3.6 x 4.8.
  const OutputFrame frame = ShowAndRead(
      [] { PutBitmapOnClipboard(200, 100, [](int x, int) { return x < 100 ? kRed : kBlue; }); });
  EXPECT_TRUE(PixelNear(frame, 0, 0, kRed, kTolerance));
  EXPECT_TRUE(PixelNear(frame, 340, 479, kRed, kTolerance));
  EXPECT_TRUE(PixelNear(frame, 380, 0, kBlue, kTolerance));
  EXPECT_TRUE(PixelNear(frame, 719, 479, kBlue, kTolerance));
}

TEST_F(DisplayOutputTest, OneByOneBitmapFillsTheFrameWithItsColour) {
  const OutputFrame frame =
      ShowAndRead([] { PutBitmapOnClipboard(1, 1, [](int, int) { return kBlue; }); });
  EXPECT_TRUE(PixelNear(frame, 0, 0, kBlue, kTolerance));
  EXPECT_TRUE(PixelNear(frame, 360, 240, kBlue, kTolerance));
  EXPECT_TRUE(PixelNear(frame, 719, 479, kBlue, kTolerance));
}

TEST_F(DisplayOutputTest, OneToOneBitmapIsCentredOnBlack) {
  Viewer().State().resizeMode = ResizeMode::OneToOne;
  // (720 - 100) / 2 = 310, (480 - 50) / 2 = 215.
  ExpectWhiteBlock(ShowAndRead([] { PutWhiteBitmap(100, 50); }), 310, 215, 409, 264);
}

TEST_F(DisplayOutputTest, OneToOneOddSizeDifferenceRoundsTheOffsetTowardsZero) {
  Viewer().State().resizeMode = ResizeMode::OneToOne;
  // (720 - 101) / 2 = 309, (480 - 51) / 2 = 214; the bitmap's padding to a
  // width of 104 never shows.
  ExpectWhiteBlock(ShowAndRead([] { PutWhiteBitmap(101, 51); }), 309, 214, 409, 264);
}

TEST_F(DisplayOutputTest, OneToOneBitmapLargerThanTheFrameShowsItsCentre) {
  Viewer().State().resizeMode = ResizeMode::OneToOne;
  // 1001 x 601: offsets (720 - 1001) / 2 = -140 and (480 - 601) / 2 = -60, so
  // the frame shows bitmap columns 140..859 and rows 60..539. Everything
  // outside them is red; one red column or row would show a misplacement.
  const OutputFrame frame = ShowAndRead([] {
    PutBitmapOnClipboard(1001, 601, [](int x, int y) {
      return x >= 140 && x < 860 && y >= 60 && y < 540 ? kWhite : kRed;
    });
  });
  for (int x : {0, 1, 360, 718, 719}) {
    EXPECT_TRUE(PixelNear(frame, x, 0, kWhite, kTolerance));
    EXPECT_TRUE(PixelNear(frame, x, 479, kWhite, kTolerance));
  }
  for (int y : {1, 240, 478}) {
    EXPECT_TRUE(PixelNear(frame, 0, y, kWhite, kTolerance));
    EXPECT_TRUE(PixelNear(frame, 719, y, kWhite, kTolerance));
  }
}

TEST_F(DisplayOutputTest, MetafileIsPlayedOverTheWholeFrame) {
  const OutputFrame frame = ShowAndRead([] { PutMetafileOnClipboard(); });
  EXPECT_TRUE(PixelNear(frame, 2, 2, kRed, kTolerance));
  EXPECT_TRUE(PixelNear(frame, 340, 477, kRed, kTolerance));
  EXPECT_TRUE(PixelNear(frame, 380, 2, kBlue, kTolerance));
  EXPECT_TRUE(PixelNear(frame, 717, 477, kBlue, kTolerance));
}

TEST_F(DisplayOutputTest, BitmapWinsOverTextOnTheClipboard) {
  const OutputFrame frame = ShowAndRead([] {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 5);
    std::memcpy(GlobalLock(memory), "text", 5);
    GlobalUnlock(memory);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::fill_n(static_cast<std::uint32_t*>(bits), 16, kBlue);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, memory);
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
    desktop::RunUntilIdle();
  });
  EXPECT_TRUE(PixelNear(frame, 360, 240, kBlue, kTolerance));
}

// Alternate white and black lines: without de-interlace they reach the output
// as they are; the 3 x 3 Gaussian (1 2 1 down) turns both into mid grey.
void PutStripes() {
  PutBitmapOnClipboard(720, 480, [](int, int y) { return y % 2 == 0 ? kWhite : kBlack; });
}

TEST_F(DisplayOutputTest, WithoutDeInterlaceLinesReachTheOutputUnchanged) {
  const OutputFrame frame = ShowAndRead(PutStripes);
  for (int y : {100, 102, 300}) EXPECT_TRUE(PixelNear(frame, 360, y, kWhite, kTolerance));
  for (int y : {101, 103, 301}) EXPECT_TRUE(PixelNear(frame, 360, y, kBlack, kTolerance));
}

TEST_F(DisplayOutputTest, DeInterlaceBlursLinesIntoGrey) {
  Viewer().State().deInterlace = true;
  const OutputFrame frame = ShowAndRead(PutStripes);
  for (int y : {100, 101, 102, 103, 300, 301})
    EXPECT_TRUE(PixelNear(frame, 360, y, 0x808080, kTolerance)) << "line " << y;
}

TEST_F(DisplayOutputTest, DeInterlaceOnTextBlursItsEdges) {
  const OutputFrame sharp = ShowAndRead([] { PutTextOnClipboard("IIIIIIII"); });
  Viewer().State().deInterlace = true;
  const OutputFrame soft = ShowAndRead([] { PutTextOnClipboard("IIIIIIII"); });
  int sharpPeak = 0, softPeak = 0, sharpMid = 0, softMid = 0;
  for (size_t i = 0; i < sharp.pixels.size(); ++i) {
    const int a = (sharp.pixels[i] >> 8) & 0xFF, b = (soft.pixels[i] >> 8) & 0xFF;
    sharpPeak = std::max(sharpPeak, a);
    softPeak = std::max(softPeak, b);
    sharpMid += a > 40 && a < 200;
    softMid += b > 40 && b < 200;
  }
  EXPECT_GT(sharpPeak, 200);
  EXPECT_GT(softMid, sharpMid) << "the blur made no in-between levels";
}

TEST_F(DisplayOutputTest, NoUsableFormatKeepsThePreviousFrame) {
  const OutputFrame before = ShowAndRead([] { PutTextOnClipboard("kept"); });
  const OutputFrame after = ShowAndRead(EmptyTheClipboard);
  EXPECT_EQ(before.pixels, after.pixels);
}

TEST_F(DisplayOutputTest, DisabledClipboardLeavesTheOutputAlone) {
  const OutputFrame before = ShowAndRead([] { PutTextOnClipboard("first"); });
  Viewer().State().clipboardEnabled = false;
  const unsigned queued = Viewer().Hub()->FramesQueued();
  PutTextOnClipboard("second");
  Sleep(5);
  EXPECT_EQ(Viewer().Hub()->FramesQueued(), queued);
  board::testing::AdvanceFields(4);
  EXPECT_EQ(ReadOutput().pixels, before.pixels);
}

TEST_F(DisplayOutputTest, PalModeFillsAll576Lines) {
  Viewer().State().videoMode = VideoMode::Pal;
  Viewer().CreateHub();
  const OutputFrame frame =
      ShowAndRead([] { PutBitmapOnClipboard(8, 8, [](int, int) { return kRed; }); });
  ASSERT_EQ(frame.height, 576);
  EXPECT_TRUE(PixelNear(frame, 719, 575, kRed, kTolerance));
}

}  // namespace
}  // namespace quellor::clipviewer::testing
