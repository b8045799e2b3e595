#include "app/ClipViewer.h"

#include <cstdio>
#include <string>
#include <utility>

#include "app/Pause.h"
#include "app/SwitcherClient.h"
#include "app/ViewerError.h"
#include "app/ViewerTexts.h"
#include "board/Engine.h"
#include "cliplib/settings/IniSettings.h"
#include "programs/ClipPlayer.h"
#include "win32/messagebox.h"
#include "win32/quellor_host.h"
#include "window/ViewerResources.h"

namespace quellor::clipviewer {

using settings::ReadIniInt;

namespace {

// Writes the viewer's settings, every one even after a failure; false when
// any could not be saved (a folder or pipe under the file's name, a
// read-only folder, no settings folder at all).
bool SaveViewerSettings(const std::pair<const char*, int> (&keys)[4]) {
  bool saved = true;
  for (const auto& [key, value] : keys) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    if (!WritePrivateProfileStringA(settings::kIniSection, key, text, settings::kIniFileName))
      saved = false;
  }
  return saved;
}

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

ClipViewer* ClipViewer::current_ = nullptr;

ClipViewer::ClipViewer(ViewerHooks hooks)
    : hooks_(std::move(hooks)),
      module_(win32::ModuleFromAddress(reinterpret_cast<const void*>(&RegisterViewerResources))) {
  previous_ = std::exchange(current_, this);
}

ClipViewer::~ClipViewer() {
  DestroyMainWindow();
  hub_.reset();
  UnregisterWindowClass();
  if (current_ == this) current_ = previous_;
}

void ClipViewer::DestroyMainWindow() {
  if (mainWindow_ && IsWindow(mainWindow_)) {
    DestroyWindow(mainWindow_);
    // The loop that would have taken the quit message has already ended.
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
  mainWindow_ = nullptr;
}

bool ClipViewer::InitialiseStatics() {
  switcherClient_ = OpenViewerSwitcherClient();
  if (switcherClient_ == 0) {
    MessageBoxA(nullptr, kBoardNotFound, kBoardNotFoundTitle, MB_OK | MB_ICONERROR);
    return false;
  }
  resizeMode = ReadIniInt("Resize", 0);
  deInterlace = ReadIniInt("DeInterlace", 1);
  clipboardEnabled = ReadIniInt("ClipboardEnabled", 1);
  videoMode = ReadIniInt("VideoMode", 1);
  settings::ReadAndSendBoardSettings(boardSettings_, settings::EngineControlSender(switcherClient_),
                                     Pause);
  loadedPicture_ = LoadedPicture{};
  OutputDebugStringA("clipviewer: switcher client open, board settings sent\n");
  return true;
}

void ClipViewer::CleanUpStatics() {
  if (switcherClient_ == 0) return;
  settings::WriteBoardSettings(boardSettings_);
  RTME_CloseSwitcherClient(switcherClient_);
  switcherClient_ = 0;
}

bool ClipViewer::StartUp(const std::string& commandLine) {
  StartStartupClip(videoMode);
  if (commandLine == "exit") {
    OutputDebugStringA("clipviewer: command line \"exit\": ending after the start-up clip\n");
    Pause(2000);
    return false;
  }
  CreateHub();
  RegisterViewerResources(module_);
  RegisterWindowClass();
  mainWindow_ =
      CreateWindowExA(WS_EX_CONTROLPARENT, kWindowClassName, kAppTitle, WS_OVERLAPPEDWINDOW, 320,
                      240, 320, 240, nullptr, nullptr, module_, nullptr);
  if (mainWindow_ == nullptr) {
    const char* raised = pendingError_.value_or(kCannotCreateWindow);
    pendingError_.reset();
    Raise(raised);
  }
  OutputDebugStringA("clipviewer: main window created, tray icon added\n");
  if (hooks_.started) hooks_.started(*this);
  return true;
}

void ClipViewer::RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (pendingError_) Raise(*std::exchange(pendingError_, std::nullopt));
}

bool ClipViewer::ShutDown() {
  mainWindow_ = nullptr;
  if (!UnregisterWindowClass()) Raise(kCannotUnregisterClass);
  hub_.reset();
  const bool saved = SaveViewerSettings({{"Resize", resizeMode},
                                         {"DeInterlace", deInterlace},
                                         {"ClipboardEnabled", clipboardEnabled},
                                         {"VideoMode", videoMode}});
  const DWORD error = GetLastError();
  outputPreview_.Close();
  inputPreview_.Close();
  if (!saved) {
    OutputDebugStringA("clipviewer: settings NOT saved, output released\n");
    ShowError(SettingsNotSavedText(error).c_str());
    return false;
  }
  OutputDebugStringA("clipviewer: settings written, output released\n");
  return true;
}

int ClipViewer::Run(const std::string& commandLine) {
  try {
    if (!StartUp(commandLine)) return 1;
    RunMessageLoop();
    return ShutDown() ? 0 : 1;
  } catch (const ViewerError& error) {
    ShowError(error.text);
  } catch (...) {
    ShowError(kUnknownError);
  }
  DestroyMainWindow();
  hub_.reset();
  return 0;
}

void ClipViewer::ShowError(const char* text) {
  MessageBoxA(nullptr, text, kAppTitle, MB_OK | MB_ICONERROR);
}

void ClipViewer::CreateHub() {
  hub_.reset();
  hub_ = std::make_unique<OutputHub>(1, videoMode == 1, kHubName, 0);
}

void ClipViewer::RunDisplayRoutine() {
  ++displayCallCount;
  if (displayCallCount <= 2) return;
  if (hooks_.renderOutput) hooks_.renderOutput(*this);
}

}  // namespace quellor::clipviewer
