#include "app/ClipViewer.h"

#include <utility>

#include "app/Pause.h"
#include "app/SwitcherClient.h"
#include "app/ViewerError.h"
#include "app/ViewerTexts.h"
#include "board/Engine.h"
#include "settings/IniSettings.h"
#include "programs/ClipPlayer.h"
#include "win32/messagebox.h"
#include "win32/quellor_host.h"
#include "window/ViewerResources.h"

namespace quellor::clipviewer {

using settings::ReadIniInt;
using settings::WriteIniInt;

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

void ClipViewer::ShutDown() {
  mainWindow_ = nullptr;
  if (!UnregisterWindowClass()) Raise(kCannotUnregisterClass);
  hub_.reset();
  WriteIniInt("Resize", resizeMode);
  WriteIniInt("DeInterlace", deInterlace);
  WriteIniInt("ClipboardEnabled", clipboardEnabled);
  WriteIniInt("VideoMode", videoMode);
  outputPreview_.Close();
  inputPreview_.Close();
  OutputDebugStringA("clipviewer: settings written, output released\n");
}

int ClipViewer::Run(const std::string& commandLine) {
  try {
    if (!StartUp(commandLine)) return 1;
    RunMessageLoop();
    ShutDown();
    return 0;
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
