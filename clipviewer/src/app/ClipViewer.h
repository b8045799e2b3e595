// The clipboard viewer program: one per process. It owns the program's parts
// and the state they share, and hands each concern to its own class:
//   ViewerLifecycle  start-up and shut-down (app/ViewerLifecycle.h)
//   ViewerWindow     the hidden main window and its procedure (window/)
//   TrayMenu         the tray menu and its check marks (window/)
//   ViewerCommands   the menu commands (app/ViewerCommands.h)
//   DialogGuard      the "open once" rule of the modal dialogs
// The display path, Play, the recorder and the settings dialogs plug in
// through ViewerHooks (see src/README.md). The window procedure reaches the
// viewer through Current().
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/DialogGuard.h"
#include "app/LoadedPicture.h"
#include "app/ViewerCommands.h"
#include "app/ViewerHooks.h"
#include "app/ViewerLifecycle.h"
#include "app/ViewerState.h"
#include "settings/BoardSettings.h"
#include "hub/OutputHub.h"
#include "programs/PreviewProgram.h"
#include "window/ViewerWindow.h"
#include "windows.h"

namespace quellor::clipviewer {

class ClipViewer {
 public:
  explicit ClipViewer(ViewerHooks hooks = StandardHooks());
  ~ClipViewer();
  ClipViewer(const ClipViewer&) = delete;
  ClipViewer& operator=(const ClipViewer&) = delete;

  static ClipViewer* Current() { return current_; }

  // ---- start-up and shut-down (ViewerLifecycle) ------------------------------
  bool InitialiseStatics() { return lifecycle_.InitialiseStatics(); }
  void CleanUpStatics() { lifecycle_.CleanUpStatics(); }
  int Run(const std::string& commandLine) { return lifecycle_.Run(commandLine); }
  bool StartUp(const std::string& commandLine) { return lifecycle_.StartUp(commandLine); }
  void RunMessageLoop() { lifecycle_.RunMessageLoop(); }
  bool ShutDown() { return lifecycle_.ShutDown(); }
  static void ShowError(const char* text) { ViewerLifecycle::ShowError(text); }

  // ---- state and parts (main thread) -------------------------------------------
  ViewerState& State() { return state_; }
  const ViewerState& State() const { return state_; }
  DWORD SwitcherClient() const { return switcherClient_; }
  settings::BoardSettings& BoardSettings() { return boardSettings_; }
  LoadedPicture& Picture() { return loadedPicture_; }
  OutputHub* Hub() { return hub_.get(); }
  HWND MainWindow() const { return window_.Handle(); }
  ViewerWindow& Window() { return window_; }
  PreviewProgram& OutputPreview() { return outputPreview_; }
  PreviewProgram& InputPreview() { return inputPreview_; }
  ViewerHooks& Hooks() { return hooks_; }
  DialogGuard& Dialogs() { return dialogs_; }

  // ---- what the parts call -------------------------------------------------------
  // The display routine: counts the call; the first two calls (joining the
  // clipboard chain and emptying the clipboard at start-up) leave the output
  // alone, later ones render through the renderOutput hook.
  void RunDisplayRoutine();
  void OnCommand(UINT command) { commands_.Run(command); }
  // Runs a modal dialog hook unless that dialog is open already (false then).
  bool ShowDialog(ViewerDialog which, const std::function<void(ClipViewer&)>& dialog);
  // Releases the output hub and makes one for the current video mode.
  void CreateHub();
  void ReleaseHub() { hub_.reset(); }
  // Sets the tray menu's check marks by position from the state.
  void SetMenuChecks(HMENU popup) const { TrayMenu::SetChecks(popup, state_); }

 private:
  friend class ViewerLifecycle;  // opens and closes the switcher client

  static ClipViewer* current_;
  ClipViewer* previous_ = nullptr;  // the viewer Current() gave before this one

  ViewerHooks hooks_;
  ViewerState state_;
  DialogGuard dialogs_;
  DWORD switcherClient_ = 0;
  settings::BoardSettings boardSettings_;
  LoadedPicture loadedPicture_;
  std::unique_ptr<OutputHub> hub_;
  HMODULE module_ = nullptr;
  PreviewProgram outputPreview_{"VideoPreviewOut.exe"};
  PreviewProgram inputPreview_{"VideoPreviewIn.exe"};
  ViewerWindow window_;
  ViewerCommands commands_{*this};
  ViewerLifecycle lifecycle_{*this};
};

}  // namespace quellor::clipviewer
