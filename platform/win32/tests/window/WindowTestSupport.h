// Shared pieces of the window system tests: a window class that records the
// messages it receives and lets each test add behaviour, and a fixture that
// leaves no windows behind.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "win32/automation/Desktop.h"
#include "windows.h"

namespace quellor::testing {

struct Logged {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Messages received by windows of the class "RecordingWindow" (and
// "RecordingWindowDbl", which has CS_DBLCLKS).
class MessageLog {
 public:
  static MessageLog& Instance();
  void Add(const Logged& entry);
  std::vector<Logged> Entries();
  // Just the message numbers of one window, in order, leaving out the ones
  // in `ignore`.
  std::vector<UINT> MessagesOf(HWND hwnd, const std::vector<UINT>& only = {});
  void Clear();

 private:
  std::mutex mutex_;
  std::vector<Logged> entries_;
};

// Per-window behaviour: when set for a window, it is asked first; returning
// true means "handled" with *result as the answer.
using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT* result)>;
void SetHandler(HWND hwnd, Handler handler);

void RegisterRecordingClasses();
HWND CreateRecording(const char* title, DWORD style, int x, int y, int w, int h,
                     HWND parent = nullptr, int id = 0, DWORD exStyle = 0,
                     const char* className = "RecordingWindow");

// A window whose WM_PAINT fills its update area with one colour and counts.
HWND CreateSolidWindow(COLORREF colour, DWORD style, int x, int y, int w, int h,
                       HWND parent = nullptr);

std::string TempPath(const std::string& name);

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace quellor::testing
