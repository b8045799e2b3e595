// The preview's window: on a real display (the subset's presenter running)
// it shows the latest frame scaled to the window, repainted as fields come,
// with the field number and standard in the title. Headless it stays hidden,
// as before, and costs nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quellor::preview {

// "Video Preview Out: field 1234, NTSC".
std::string PreviewTitle(const char* name, std::uint32_t field, std::uint32_t fieldLines);

class PreviewWindow {
 public:
  // Makes the window; shows it when the windows reach a display.
  explicit PreviewWindow(const char* name);
  ~PreviewWindow();
  PreviewWindow(const PreviewWindow&) = delete;
  PreviewWindow& operator=(const PreviewWindow&) = delete;

  HWND Handle() const { return window_; }
  bool Shown() const { return shown_; }
  // The picture the window shows (720 x 2 * fieldLines BGRA), kept from one
  // field to the next: update it in place, then Redraw.
  std::vector<std::uint8_t>& Picture() { return picture_; }
  void Redraw(std::uint32_t field, std::uint32_t fieldLines);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();

  const char* name_;
  HWND window_ = nullptr;
  bool shown_ = false;
  std::vector<std::uint8_t> picture_;
  std::uint32_t fieldLines_ = 0;
};

}  // namespace quellor::preview
