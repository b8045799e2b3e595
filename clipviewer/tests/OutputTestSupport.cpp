#include "OutputTestSupport.h"

#include <cstdio>
#include <cstdlib>

#include "board/BoardControl.h"
#include "board/ColourConversion.h"
#include "board/testing/BoardClock.h"
#include "win32/automation/Desktop.h"
#include "win32/clipboard.h"
#include "win32/metafile.h"

namespace quellor::clipviewer::testing {

::testing::AssertionResult PixelNear(const OutputFrame& frame, int x, int y, std::uint32_t rgb,
                                     int tolerance) {
  const int want[3] = {static_cast<int>(rgb >> 16) & 0xFF, static_cast<int>(rgb >> 8) & 0xFF,
                       static_cast<int>(rgb) & 0xFF};
  const int got[3] = {frame.Red(x, y), frame.Green(x, y), frame.Blue(x, y)};
  for (int i = 0; i < 3; ++i) {
    if (std::abs(want[i] - got[i]) > tolerance) {
      char text[128];
      std::snprintf(text, sizeof text, "pixel (%d, %d) is %02X%02X%02X, wanted %06X within %d", x,
                    y, got[0], got[1], got[2], rgb, tolerance);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

void PutBitmapHandleOnClipboard(HBITMAP bitmap) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, bitmap);
  CloseClipboard();
  desktop::RunUntilIdle();
}

void PutBitmapOnClipboard(int width, int height,
                          const std::function<std::uint32_t(int, int)>& colour) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = colour(x, y);
  PutBitmapHandleOnClipboard(bitmap);
}

void PutMetafileOnClipboard() {
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  const RECT left = {0, 0, 50, 100}, right = {50, 0, 100, 100};
  FillRect(dc, &left, red);
  FillRect(dc, &right, blue);
  HENHMETAFILE metafile = CloseEnhMetaFile(dc);
  DeleteObject(red);
  DeleteObject(blue);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_ENHMETAFILE, metafile);
  CloseClipboard();
  desktop::RunUntilIdle();
}

void EmptyTheClipboard() {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  desktop::RunUntilIdle();
}

bool WaitForQueuedFrames(const OutputHub& hub, unsigned frames) {
  for (int waited = 0; waited < 5000; ++waited) {
    if (hub.FramesQueued() >= frames) return true;
    Sleep(1);
  }
  return false;
}

void OutputViewerTest::SetUp() {
  ViewerTest::SetUp();
  board::testing::UseManualClock(0);
  viewer_ = std::make_unique<ClipViewer>(StandardHooks());
  ASSERT_TRUE(viewer_->InitialiseStatics());
  viewer_->State().deInterlace = false;
  viewer_->State().resizeMode = ResizeMode::StretchToFit;
  ASSERT_TRUE(viewer_->StartUp(""));
  desktop::RunUntilIdle();
}

void OutputViewerTest::TearDown() {
  viewer_.reset();
  board::testing::UseRealtimeClock();
  ViewerTest::TearDown();
}

OutputFrame OutputViewerTest::ReadOutput() const {
  OutputFrame frame;
  board::BoardFrame shown;
  std::string error;
  if (!board::ReadShownFrame(shown, error)) {
    ADD_FAILURE() << "no frame on the output: " << error;
    return frame;
  }
  const int fieldLines = static_cast<int>(board::FieldLines(shown.standard));
  frame.width = 720;
  frame.height = 2 * fieldLines;
  frame.pixels.resize(static_cast<size_t>(frame.width) * frame.height);
  for (int y = 0; y < frame.height; ++y) {
    const std::uint8_t* line =
        shown.pixels.data() + static_cast<size_t>((y & 1) * fieldLines + y / 2) * 1440;
    decode_ycbcr8_bgra(&frame.pixels[static_cast<size_t>(y) * frame.width], line, frame.width);
  }
  for (auto& pixel : frame.pixels) pixel &= 0xFFFFFF;
  return frame;
}

OutputFrame OutputViewerTest::ShowAndRead(const std::function<void()>& action) {
  OutputHub* hub = viewer_->Hub();
  const unsigned before = hub->FramesQueued();
  action();
  EXPECT_TRUE(WaitForQueuedFrames(*hub, before + 1)) << "the hub queued no frame";
  board::testing::AdvanceFields(4);
  return ReadOutput();
}

}  // namespace quellor::clipviewer::testing
