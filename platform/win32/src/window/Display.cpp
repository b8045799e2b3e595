#include "Display.h"

#include <atomic>

namespace quellor::win32 {
namespace {
std::atomic<int> gWidth{1920};
std::atomic<int> gHeight{1080};
std::atomic<int> gRefresh{60};
}  // namespace

DisplayMode CurrentDisplayMode() {
  return DisplayMode{gWidth.load(), gHeight.load(), 32, gRefresh.load()};
}
void SetDisplaySize(int width, int height) {
  gWidth = width;
  gHeight = height;
}
void SetDisplayRefresh(int hz) {
  gRefresh = hz;
}

}  // namespace quellor::win32
