// The viewer's own state, kept by the main (window) thread. The enumerators
// carry the numbers the settings file "VideoQuellor.ini" stores.
#pragma once

namespace quellor::clipviewer {

// "VideoMode": 1 is NTSC (720 x 480); any other stored value means PAL
// (720 x 576) and reads as Pal.
enum class VideoMode : int { Pal = 0, Ntsc = 1 };

// "Resize": how a picture meets the video frame. Any other stored value reads
// as StretchToFit, the default.
enum class ResizeMode : int {
  StretchToFit = 0,  // scaled to fill the whole frame
  OneToOne = 1,      // pixel for pixel, centred on black, clipped
};

constexpr VideoMode VideoModeFromSetting(int stored) {
  return stored == 1 ? VideoMode::Ntsc : VideoMode::Pal;
}
constexpr ResizeMode ResizeModeFromSetting(int stored) {
  return stored == 1 ? ResizeMode::OneToOne : ResizeMode::StretchToFit;
}
constexpr int ToSetting(VideoMode mode) {
  return static_cast<int>(mode);
}
constexpr int ToSetting(ResizeMode mode) {
  return static_cast<int>(mode);
}

struct ViewerState {
  // Read from the settings file before the entry point, written back at exit
  // (and by the commands that change them).
  bool clipboardEnabled = true;  // "ClipboardEnabled": clipboard changes reach the output
  ResizeMode resizeMode = ResizeMode::StretchToFit;  // "Resize"
  bool deInterlace = true;                           // "DeInterlace": blur before output
  VideoMode videoMode = VideoMode::Ntsc;             // "VideoMode"

  // Every clipboard change adds one; choosing a picture file sets it to 0 so
  // that the picture stays on the output until the clipboard changes again.
  int clipboardChangeCount = 0;
  // Calls of the display routine; the first two (joining the clipboard chain
  // and emptying the clipboard at start-up) leave the output alone.
  int displayCallCount = 0;
};

}  // namespace quellor::clipviewer
