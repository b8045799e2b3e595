// VideoQuellorXRLogo: the product logo as a shaped, always-on-top splash
// window in the middle of the screen, on a thread of its own so that an
// application's start-up work does not keep it from painting. Creating the
// object shows the window (the constructor returns once it is up or has
// failed); destroying the object removes it.
//
// The picture is "Logo\VideoQuellorLogo.tga" found along the "Skins" search
// path; the window shows only the pixels whose alpha is above 253.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include <atomic>

#include "qlxrapi/Thread.h"

class BitmapItem;

class QUELLOR_EXPORT VideoQuellorXRLogo : public Thread {
 public:
  VideoQuellorXRLogo();
  // Ends the window's loop and waits until its thread has taken the window
  // down; does not wait when the thread failed.
  ~VideoQuellorXRLogo() override;

  // True while the window exists and its loop runs.
  bool IsUp() const { return m_state.load(std::memory_order_acquire) == kUp; }
  // Why no window came up: "VideoQuellorXRLogo::Could not register class",
  // "Could not find the VideoQuellor logo skin file." or "Could not start the
  // logo thread."; null when it came up. The text is constant.
  const char* GetFailureText() const { return m_failure; }
  // The logo's window (owned by the logo's thread); null unless up.
  HWND GetWindowHandle() const { return IsUp() ? m_window : nullptr; }
  // The class name the logo registered ("VideoQuellorXRLogo_<n>"); empty when
  // registration was not reached.
  const char* GetClassName() const { return m_className; }

  void ThreadEntryPoint() override;

 private:
  enum State : int { kStarting, kUp, kFailed, kDown };

  static LRESULT CALLBACK LogoProcedure(HWND window, UINT message, WPARAM w, LPARAM l);
  // Steps 1 to 4 of the thread: class, picture, window, shape; false with
  // m_failure set when one of them fails.
  bool BringUp();
  void Fail(const char* text);

  HWND m_window = nullptr;
  BitmapItem* m_picture = nullptr;
  std::atomic<int> m_state{kStarting};
  const char* m_failure = nullptr;
  char m_className[40] = {};
};
