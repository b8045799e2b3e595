// The clipboard viewer program: its process-wide state, its start-up and
// shut-down, the hidden main window with the tray icon, and the commands of
// the tray menu. One per process; the window procedure reaches it through
// Current().
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/LoadedPicture.h"
#include "app/ViewerHooks.h"
#include "cliplib/settings/BoardSettings.h"
#include "hub/OutputHub.h"
#include "programs/PreviewProgram.h"
#include "windows.h"

namespace quellor::clipviewer {

class ClipViewer {
 public:
  explicit ClipViewer(ViewerHooks hooks = PlaceholderHooks());
  ~ClipViewer();
  ClipViewer(const ClipViewer&) = delete;
  ClipViewer& operator=(const ClipViewer&) = delete;

  static ClipViewer* Current() { return current_; }

  // ---- before the entry point ----------------------------------------------
  // Opens the switcher client (false, after the "board was not found" message
  // box, when the board is missing: the program then ends with exit code 1),
  // reads the viewer's settings, reads and sends the board settings and
  // creates the empty loaded picture.
  bool InitialiseStatics();
  // Writes the board settings and closes the switcher client.
  void CleanUpStatics();

  // ---- the entry point ---------------------------------------------------------
  // Start-up, message loop and shut-down; every raised error ends here in a
  // message box. Returns the program's result.
  int Run(const std::string& commandLine);

  // The steps of Run, for callers that drive the messages themselves. StartUp
  // returns false for the "exit" command line (nothing is created then).
  bool StartUp(const std::string& commandLine);
  // Runs the thread's messages until the main window has gone; raises an
  // error the window procedure caught.
  void RunMessageLoop();
  // False, after saying so in a message box, when the settings could not be
  // saved (the user's adjustments would otherwise be lost without a word).
  bool ShutDown();
  // Shows a raised error as the entry point does.
  static void ShowError(const char* text);

  // ---- state (main thread) -------------------------------------------------------
  int clipboardEnabled = 1;
  int resizeMode = 0;  // 0 stretch to fit, 1 one-to-one centred
  int deInterlace = 1;
  int videoMode = 1;  // 1 NTSC, anything else PAL
  int clipboardChangeCount = 0;
  int displayCallCount = 0;
  HWND nextClipboardViewer = nullptr;
  HICON trayIcon = nullptr;
  bool recorderOpen = false;
  bool inputSettingsOpen = false;
  bool outputSettingsOpen = false;

  DWORD SwitcherClient() const { return switcherClient_; }
  settings::BoardSettings& BoardSettings() { return boardSettings_; }
  LoadedPicture& Picture() { return loadedPicture_; }
  OutputHub* Hub() { return hub_.get(); }
  HWND MainWindow() const { return mainWindow_; }
  PreviewProgram& OutputPreview() { return outputPreview_; }
  PreviewProgram& InputPreview() { return inputPreview_; }
  ViewerHooks& Hooks() { return hooks_; }

  // The display routine: counts the call; the first two calls (joining the
  // clipboard chain and emptying the clipboard at start-up) leave the output
  // alone.
  void RunDisplayRoutine();
  void OnCommand(UINT command);
  // Sets the tray menu's check marks by position from the state.
  void SetMenuChecks(HMENU popup) const;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCreate(HWND window);
  void OnDestroy(HWND window);
  void OnClipboardChange(WPARAM wParam, LPARAM lParam);
  void OnClipboardChainChange(WPARAM wParam, LPARAM lParam);
  void OnTrayCallback(LPARAM mouseMessage);
  void ShowTrayMenu();
  void OnOutputSettings();
  void OnEnabled();
  // Runs a modal dialog unless it is already open (a second menu pick while
  // it runs does nothing).
  void RunDialogOnce(bool& open, const std::function<void(ClipViewer&)>& dialog);
  void CreateHub();
  void RegisterWindowClass();
  bool UnregisterWindowClass();  // false when the class would not go

  void DestroyMainWindow();

  static ClipViewer* current_;
  ClipViewer* previous_ = nullptr;  // the viewer Current() gave before this one

  ViewerHooks hooks_;
  DWORD switcherClient_ = 0;
  settings::BoardSettings boardSettings_;
  LoadedPicture loadedPicture_;
  std::unique_ptr<OutputHub> hub_;
  HMODULE module_ = nullptr;
  HICON classIcon_ = nullptr;
  bool classRegistered_ = false;
  HWND mainWindow_ = nullptr;
  PreviewProgram outputPreview_{"VideoPreviewOut.exe"};
  PreviewProgram inputPreview_{"VideoPreviewIn.exe"};
  std::optional<const char*> pendingError_;  // raised inside the window procedure
};

}  // namespace quellor::clipviewer
