// The hidden main window: its class, its creation and destruction, the
// clipboard viewer chain and the tray icon's callback.
#include <cstring>

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

void ClipViewer::RegisterWindowClass() {
  classIcon_ = LoadIconA(module_, MAKEINTRESOURCEA(kIconResource));
  WNDCLASSA windowClass = {};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = module_;
  windowClass.hIcon = classIcon_;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszMenuName = MAKEINTRESOURCEA(kMenuResource);
  windowClass.lpszClassName = kWindowClassName;
  if (RegisterClassA(&windowClass) == 0) Raise(kCannotRegisterClass);
  classRegistered_ = true;
}

bool ClipViewer::UnregisterWindowClass() {
  if (classIcon_) DestroyIcon(classIcon_);
  classIcon_ = nullptr;
  if (!classRegistered_) return true;
  classRegistered_ = false;
  return UnregisterClassA(kWindowClassName, module_) != FALSE;
}

LRESULT CALLBACK ClipViewer::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  ClipViewer* viewer = current_;
  if (viewer == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  // Errors may not unwind through the window system: the window goes, and the
  // message loop raises the error again at the entry point.
  try {
    return viewer->HandleMessage(window, message, wParam, lParam);
  } catch (const ViewerError& error) {
    viewer->pendingError_ = error.text;
  } catch (...) {
    viewer->pendingError_ = kUnknownError;
  }
  if (message == WM_CREATE) return -1;  // CreateWindowExA then fails
  DestroyWindow(window);
  return 0;
}

LRESULT ClipViewer::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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
      ShowTrayMenu();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void ClipViewer::OnCreate(HWND window) {
  mainWindow_ = window;
  nextClipboardViewer = SetClipboardViewer(window);
  trayIcon = LoadIconA(module_, MAKEINTRESOURCEA(kIconResource));
  NOTIFYICONDATAA record = TrayRecord(window);
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kTrayCallbackMessage;
  record.hIcon = trayIcon;
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

void ClipViewer::OnDestroy(HWND window) {
  NOTIFYICONDATAA record = TrayRecord(window);
  Shell_NotifyIconA(NIM_DELETE, &record);
  ChangeClipboardChain(window, nextClipboardViewer);
  nextClipboardViewer = nullptr;
  PostQuitMessage(0);
  if (trayIcon) DestroyIcon(trayIcon);
  trayIcon = nullptr;
  OutputDebugStringA("clipviewer: main window closed\n");
}

void ClipViewer::OnClipboardChange(WPARAM wParam, LPARAM lParam) {
  ++clipboardChangeCount;
  if (clipboardEnabled) RunDisplayRoutine();
  if (nextClipboardViewer) SendMessageA(nextClipboardViewer, WM_DRAWCLIPBOARD, wParam, lParam);
}

void ClipViewer::OnClipboardChainChange(WPARAM wParam, LPARAM lParam) {
  HWND removed = reinterpret_cast<HWND>(wParam);
  if (removed == nextClipboardViewer)
    nextClipboardViewer = reinterpret_cast<HWND>(lParam);
  else if (nextClipboardViewer)
    SendMessageA(nextClipboardViewer, WM_CHANGECBCHAIN, wParam, lParam);
}

void ClipViewer::OnTrayCallback(LPARAM mouseMessage) {
  if (mouseMessage == WM_RBUTTONDOWN) {
    SetForegroundWindow(mainWindow_);
    PostMessageA(mainWindow_, kShowMenuMessage, 0, 0);
  } else if (mouseMessage == WM_LBUTTONDBLCLK) {
    OnCommand(kCmdPlay);
  }
}

}  // namespace quellor::clipviewer
