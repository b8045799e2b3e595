#include "app/ViewerLifecycle.h"

#include <string>

#include "app/ClipViewer.h"
#include "app/Pause.h"
#include "app/SwitcherClient.h"
#include "app/ViewerError.h"
#include "app/ViewerSettings.h"
#include "app/ViewerTexts.h"
#include "board/Engine.h"
#include "programs/ClipPlayer.h"
#include "settings/IniSettings.h"
#include "win32/messagebox.h"
#include "window/ViewerResources.h"

namespace quellor::clipviewer {

bool ViewerLifecycle::InitialiseStatics() {
  const DWORD client = OpenViewerSwitcherClient();
  viewer_.switcherClient_ = client;
  if (client == 0) {
    MessageBoxA(nullptr, kBoardNotFound, kBoardNotFoundTitle, MB_OK | MB_ICONERROR);
    return false;
  }
  ReadViewerSettings(viewer_.State());
  settings::ReadAndSendBoardSettings(viewer_.BoardSettings(), settings::EngineControlSender(client),
                                     Pause);
  viewer_.Picture() = LoadedPicture{};
  OutputDebugStringA("clipviewer: switcher client open, board settings sent\n");
  return true;
}

void ViewerLifecycle::CleanUpStatics() {
  if (viewer_.switcherClient_ == 0) return;
  settings::WriteBoardSettings(viewer_.BoardSettings());
  RTME_CloseSwitcherClient(viewer_.switcherClient_);
  viewer_.switcherClient_ = 0;
}

bool ViewerLifecycle::StartUp(const std::string& commandLine) {
  StartStartupClip(viewer_.State().videoMode);
  if (commandLine == "exit") {
    OutputDebugStringA("clipviewer: command line \"exit\": ending after the start-up clip\n");
    Pause(2000);
    return false;
  }
  viewer_.CreateHub();
  RegisterViewerResources(viewer_.module_);
  viewer_.Window().RegisterWindowClass();
  viewer_.Window().Create();
  OutputDebugStringA("clipviewer: main window created, tray icon added\n");
  if (viewer_.Hooks().started) viewer_.Hooks().started(viewer_);
  return true;
}

void ViewerLifecycle::RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (auto raised = viewer_.Window().TakePendingError()) Raise(*raised);
}

namespace {

// Where the settings should have gone and why they did not.
std::string SettingsNotSavedText(DWORD error) {
  char folder[MAX_PATH];
  if (GetWindowsDirectoryA(folder, sizeof folder) == 0) {
    return "The settings could not be saved: there is no settings folder (set HOME, "
           "XDG_CONFIG_HOME or QUELLOR_WINDIR). The adjustments of this session are lost.";
  }
  return std::string("The settings could not be saved to ") + folder + "/" +
         settings::kIniFileName + " (error " + std::to_string(error) +
         "). The adjustments of this session are lost.";
}

}  // namespace

bool ViewerLifecycle::ShutDown() {
  viewer_.Window().Forget();
  if (!viewer_.Window().UnregisterWindowClass()) Raise(kCannotUnregisterClass);
  viewer_.ReleaseHub();
  const bool saved = WriteViewerSettings(viewer_.State());
  const DWORD error = GetLastError();
  viewer_.OutputPreview().Close();
  viewer_.InputPreview().Close();
  if (!saved) {
    // The user loses this session's adjustments: say so, and fail the exit.
    OutputDebugStringA("clipviewer: settings NOT saved, output released\n");
    ShowError(SettingsNotSavedText(error).c_str());
    return false;
  }
  OutputDebugStringA("clipviewer: settings written, output released\n");
  return true;
}

int ViewerLifecycle::Run(const std::string& commandLine) {
  try {
    if (!StartUp(commandLine)) return 1;
    RunMessageLoop();
    return ShutDown() ? 0 : 1;
  } catch (const ViewerError& error) {
    ShowError(error.text);
  } catch (const char* text) {
    // The clip library, the output hub and the display path throw plain texts.
    ShowError(text != nullptr ? text : kUnknownError);
  } catch (...) {
    ShowError(kUnknownError);
  }
  viewer_.Window().Destroy();
  viewer_.ReleaseHub();
  return 0;
}

void ViewerLifecycle::ShowError(const char* text) {
  MessageBoxA(nullptr, text, kAppTitle, MB_OK | MB_ICONERROR);
}

}  // namespace quellor::clipviewer
