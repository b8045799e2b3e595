// The viewer's hidden main window: the "QLClip" window class, the window
// procedure, the clipboard viewer chain and the tray icon. Commands and the
// tray menu's request go on to ViewerCommands and TrayMenu; an error raised
// while a message is handled is kept and raised again by the message loop
// (errors may not unwind through the window system).
#pragma once

#include <optional>

#include "window/TrayMenu.h"
#include "windows.h"

namespace quellor::clipviewer {

class ClipViewer;

class ViewerWindow {
 public:
  ViewerWindow(ClipViewer& viewer, HMODULE module);
  ViewerWindow(const ViewerWindow&) = delete;
  ViewerWindow& operator=(const ViewerWindow&) = delete;

  // Registers "QLClip" (raises "Could not register main window WNDCLASS").
  void RegisterWindowClass();
  // Deletes the class icon and unregisters the class; false when the class
  // would not go.
  bool UnregisterWindowClass();

  // Creates the hidden window with its tray icon; raises the error raised
  // while it was created, else "Cannot create main window application." when
  // creation fails.
  void Create();
  // Destroys the window if it is still there; the quit message its
  // destruction posts is taken off the queue, since the loop that would have
  // taken it has already ended.
  void Destroy();
  // The window has gone with the message loop: only forget its handle.
  void Forget() { window_ = nullptr; }

  HWND Handle() const { return window_; }
  HWND NextClipboardViewer() const { return nextClipboardViewer_; }
  void SetNextClipboardViewer(HWND next) { nextClipboardViewer_ = next; }

  // The error raised inside the window procedure, taken once.
  std::optional<const char*> TakePendingError();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCreate(HWND window);
  void OnDestroy(HWND window);
  void OnClipboardChange(WPARAM wParam, LPARAM lParam);
  void OnClipboardChainChange(WPARAM wParam, LPARAM lParam);
  void OnTrayCallback(LPARAM mouseMessage);

  ClipViewer& viewer_;
  HMODULE module_;
  TrayMenu menu_;
  HICON classIcon_ = nullptr;
  bool classRegistered_ = false;
  HWND window_ = nullptr;
  HWND nextClipboardViewer_ = nullptr;
  HICON trayIcon_ = nullptr;
  std::optional<const char*> pendingError_;
};

}  // namespace quellor::clipviewer
