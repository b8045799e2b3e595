// The virtual display: its size and refresh rate (settable by tests and the
// presenter through the desktop interface).
#pragma once

namespace quellor::win32 {

struct DisplayMode {
  int width;
  int height;
  int bitsPerPixel;
  int refreshHz;
};

DisplayMode CurrentDisplayMode();
void SetDisplaySize(int width, int height);
void SetDisplayRefresh(int hz);

}  // namespace quellor::win32
