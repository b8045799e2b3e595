// A viewer whose display path and output hub are real, on a board whose field
// clock moves only when a test says so; the board's output read back as
// BGRA pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ViewerTestSupport.h"

namespace quellor::clipviewer::testing {

// The frame on the board's output, woven from its two fields.
struct OutputFrame {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // BGRA words, 0x00RRGGBB
  std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  int Red(int x, int y) const { return (At(x, y) >> 16) & 0xFF; }
  int Green(int x, int y) const { return (At(x, y) >> 8) & 0xFF; }
  int Blue(int x, int y) const { return At(x, y) & 0xFF; }
};

// True when the pixel is within `tolerance` of 0xRRGGBB in every channel.
::testing::AssertionResult PixelNear(const OutputFrame& frame, int x, int y, std::uint32_t rgb,
                                     int tolerance);

// Puts a 32-bit bitmap on the clipboard (one clipboard change), its pixels
// from colour(x, y) as 0xRRGGBB.
void PutBitmapOnClipboard(int width, int height,
                          const std::function<std::uint32_t(int, int)>& colour);
// Puts a bitmap handle as it is (even a bad one).
void PutBitmapHandleOnClipboard(HBITMAP bitmap);
// An enhanced metafile drawn in 100 x 100 units: left half red, right half blue.
void PutMetafileOnClipboard();
// Empties the clipboard (one clipboard change, no format left).
void EmptyTheClipboard();

class OutputViewerTest : public ViewerTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  ClipViewer& Viewer() { return *viewer_; }

  // Runs `action` (which ends in a display), waits for the hub to queue the
  // frame, moves the board on by four fields and reads its output.
  OutputFrame ShowAndRead(const std::function<void()>& action);
  // The output as it is now.
  OutputFrame ReadOutput() const;

 private:
  std::unique_ptr<ClipViewer> viewer_;
};

// Waits (1 ms steps, at most 5 s) until the hub has queued `frames` frames.
bool WaitForQueuedFrames(const OutputHub& hub, unsigned frames);

}  // namespace quellor::clipviewer::testing
