// The notification area: icons added by windows, kept in memory in the order
// they were added.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "window/WindowManager.h"
#include "win32/errors.h"
#include "win32/kernel.h"
#include "win32/automation/Shell.h"

namespace {

using quellor::desktop::TrayIcon;

// Never destroyed: a display presenter's thread reads the icons until the
// very end of the process, after static objects made later than it started
// would already be gone.
std::mutex& TrayMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

std::vector<TrayIcon>& Tray() {
  static auto* icons = new std::vector<TrayIcon>;
  return *icons;
}

std::vector<TrayIcon>::iterator FindIcon(HWND owner, UINT id) {
  return std::find_if(Tray().begin(), Tray().end(),
                      [&](const TrayIcon& t) { return t.owner == owner && t.id == id; });
}

// The tip is as long as the record's version allows: 63 characters in the
// first version, 127 in the later ones.
std::string TipOf(const NOTIFYICONDATAA& data) {
  size_t room = data.cbSize >= sizeof(NOTIFYICONDATAA) ? sizeof data.szTip : 64;
  return std::string(data.szTip, strnlen(data.szTip, room - 1));
}

void Apply(TrayIcon& icon, const NOTIFYICONDATAA& data) {
  icon.flags |= data.uFlags & (NIF_MESSAGE | NIF_ICON | NIF_TIP);
  if (data.uFlags & NIF_MESSAGE) icon.callbackMessage = data.uCallbackMessage;
  if (data.uFlags & NIF_ICON) icon.icon = data.hIcon;
  if (data.uFlags & NIF_TIP) icon.tip = TipOf(data);
}

}  // namespace

extern "C" BOOL WINAPI Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData) {
  if (!lpData || lpData->cbSize < NOTIFYICONDATAA_V1_SIZE || !IsWindow(lpData->hWnd)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(TrayMutex());
  auto it = FindIcon(lpData->hWnd, lpData->uID);
  switch (dwMessage) {
    case NIM_ADD: {
      if (it != Tray().end()) return FALSE;  // one icon per window and identifier
      TrayIcon icon;
      icon.owner = lpData->hWnd;
      icon.id = lpData->uID;
      Apply(icon, *lpData);
      Tray().push_back(icon);
      return TRUE;
    }
    case NIM_MODIFY:
      if (it == Tray().end()) return FALSE;
      Apply(*it, *lpData);
      return TRUE;
    case NIM_DELETE:
      if (it == Tray().end()) return FALSE;
      Tray().erase(it);
      return TRUE;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

namespace quellor::desktop {

std::vector<TrayIcon> TrayIcons() {
  std::lock_guard<std::mutex> lock(TrayMutex());
  // Icons of windows that are gone vanish, as the shell drops them when it
  // next touches them.
  auto& tray = Tray();
  tray.erase(std::remove_if(tray.begin(), tray.end(),
                            [](const TrayIcon& t) { return !IsWindow(t.owner); }),
             tray.end());
  return tray;
}

bool ClickTrayIcon(HWND owner, UINT id, UINT mouseMessage) {
  UINT callback;
  {
    std::lock_guard<std::mutex> lock(TrayMutex());
    auto it = FindIcon(owner, id);
    if (it == Tray().end() || !(it->flags & NIF_MESSAGE)) return false;
    callback = it->callbackMessage;
  }
  return PostMessageA(owner, callback, WPARAM(id), LPARAM(mouseMessage)) != FALSE;
}

std::string TrayIconTip(HWND owner, UINT id) {
  std::lock_guard<std::mutex> lock(TrayMutex());
  auto it = FindIcon(owner, id);
  return it == Tray().end() ? std::string() : it->tip;
}

}  // namespace quellor::desktop
