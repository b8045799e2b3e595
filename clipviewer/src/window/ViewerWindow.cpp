#include "window/ViewerWindow.h"

#include <cstring>
#include <utility>

#include "app/ClipViewer.h"
#include "app/ViewerError.h"
#include "app/ViewerTexts.h"
#include "win32/clipboard.h"
#include "win32/resources.h"
#include "win32/shellapi.h"

namespace quellor::clipviewer {
namespace {

// The tip field of the first version of the tray record holds 63 characters.
constexpr size_t kTipCharacters = 63;

NOTIFYICONDATAA TrayRecord(HWND window) {
  NOTIFYICONDATAA record = {};
  record.cbSize = sizeof record;
  record.hWnd = window;
  record.uID = kTrayIconId;
  return record;
}

}  // namespace

ViewerWindow::ViewerWindow(ClipViewer& viewer, HMODULE module)
    : viewer_(viewer), module_(module), menu_(module) {}

void ViewerWindow::RegisterWindowClass() {
  classIcon_ = LoadIconA(module_, MAKEINTRESOURCEA(kIconResource));
  WNDCLASSA windowClass = {};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = module_;
  windowClass.hIcon = classIcon_;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszMenuName = MAKEINTRESOURCEA(kMenuResource);
  windowClass.lpszClassName = kWindowClassName;
  if (RegisterClassA(&windowClass) == 0) Raise(kCannotRegisterClass);
  classRegistered_ = true;
}

bool ViewerWindow::UnregisterWindowClass() {
  if (classIcon_) DestroyIcon(classIcon_);
  classIcon_ = nullptr;
  if (!classRegistered_) return true;
  classRegistered_ = false;
  return UnregisterClassA(kWindowClassName, module_) != FALSE;
}

void ViewerWindow::Create() {
  window_ = CreateWindowExA(WS_EX_CONTROLPARENT, kWindowClassName, kAppTitle, WS_OVERLAPPEDWINDOW,
                            320, 240, 320, 240, nullptr, nullptr, module_, nullptr);
  if (window_ == nullptr) {
    const char* raised = pendingError_.value_or(kCannotCreateWindow);
    pendingError_.reset();
    Raise(raised);
  }
}

void ViewerWindow::Destroy() {
  if (window_ && IsWindow(window_)) {
    DestroyWindow(window_);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
  window_ = nullptr;
}

std::optional<const char*> ViewerWindow::TakePendingError() {
  return std::exchange(pendingError_, std::nullopt);
}

LRESULT CALLBACK ViewerWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ClipViewer* viewer = ClipViewer::Current();
  if (viewer == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  ViewerWindow& self = viewer->Window();
  // Errors may not unwind through the window system: the window goes, and the
  // message loop raises the error again at the entry point.
  try {
    return self.HandleMessage(window, message, wParam, lParam);
  } catch (const ViewerError& error) {
    self.pendingError_ = error.text;
  } catch (const char* text) {
    // Plain texts of the clip library, the output hub and the display path.
    self.pendingError_ = text != nullptr ? text : kUnknownError;
  } catch (...) {
    self.pendingError_ = kUnknownError;
  }
  if (message == WM_CREATE) return -1;  // CreateWindowExA then fails
  DestroyWindow(window);
  return 0;
}

LRESULT ViewerWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_DESTROY:
      OnDestroy(window);
      return 0;
    case WM_DRAWCLIPBOARD:
      OnClipboardChange(wParam, lParam);
      return 0;
    case WM_CHANGECBCHAIN:
      OnClipboardChainChange(wParam, lParam);
      return 0;
    case kTrayCallbackMessage:
      OnTrayCallback(lParam);
      return 0;
    case kShowMenuMessage:
      menu_.Show(window_, viewer_.State());
      return 0;
    case WM_COMMAND:
      viewer_.OnCommand(LOWORD(wParam));
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void ViewerWindow::OnCreate(HWND window) {
  window_ = window;
  nextClipboardViewer_ = SetClipboardViewer(window);
  trayIcon_ = LoadIconA(module_, MAKEINTRESOURCEA(kIconResource));
  NOTIFYICONDATAA record = TrayRecord(window);
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kTrayCallbackMessage;
  record.hIcon = trayIcon_;
  std::strncpy(record.szTip, kAppTitle, kTipCharacters);
  record.szTip[kTipCharacters] = '\0';
  Shell_NotifyIconA(NIM_ADD, &record);
  ShowWindow(window, SW_HIDE);
  // The menu is loaded afresh (and checked) each time it is shown.
  // Joining the chain and emptying the clipboard each notify once; the display
  // routine leaves both alone.
  if (OpenClipboard(window)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

void ViewerWindow::OnDestroy(HWND window) {
  NOTIFYICONDATAA record = TrayRecord(window);
  Shell_NotifyIconA(NIM_DELETE, &record);
  ChangeClipboardChain(window, nextClipboardViewer_);
  nextClipboardViewer_ = nullptr;
  PostQuitMessage(0);
  if (trayIcon_) DestroyIcon(trayIcon_);
  trayIcon_ = nullptr;
  OutputDebugStringA("clipviewer: main window closed\n");
}

void ViewerWindow::OnClipboardChange(WPARAM wParam, LPARAM lParam) {
  ViewerState& state = viewer_.State();
  ++state.clipboardChangeCount;
  if (state.clipboardEnabled) viewer_.RunDisplayRoutine();
  if (nextClipboardViewer_) SendMessageA(nextClipboardViewer_, WM_DRAWCLIPBOARD, wParam, lParam);
}

void ViewerWindow::OnClipboardChainChange(WPARAM wParam, LPARAM lParam) {
  HWND removed = reinterpret_cast<HWND>(wParam);
  if (removed == nextClipboardViewer_)
    nextClipboardViewer_ = reinterpret_cast<HWND>(lParam);
  else if (nextClipboardViewer_)
    SendMessageA(nextClipboardViewer_, WM_CHANGECBCHAIN, wParam, lParam);
}

void ViewerWindow::OnTrayCallback(LPARAM mouseMessage) {
  if (mouseMessage == WM_RBUTTONDOWN) {
    SetForegroundWindow(window_);
    PostMessageA(window_, kShowMenuMessage, 0, 0);
  } else if (mouseMessage == WM_LBUTTONDBLCLK) {
    viewer_.OnCommand(kCmdPlay);
  }
}

}  // namespace quellor::clipviewer
