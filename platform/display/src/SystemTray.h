// The subset's notification-area icons on the X desktop. Where a system tray
// runs (the owner of the _NET_SYSTEM_TRAY_S<screen> selection), each icon is
// a small window the tray embeds (XEmbed: _XEMBED_INFO, then
// SYSTEM_TRAY_REQUEST_DOCK); without a tray each icon is a small window of its
// own on the desktop, and it docks as soon as a tray starts. Either way the
// icon shows its picture, its tip while the pointer rests on it, and mouse
// buttons reach the owner as the icon's callback message (a second left
// press within the double-click time is WM_LBUTTONDBLCLK). The owner's
// right-click menu opens at the pointer, since the subset's cursor is moved
// there before the callback.
//
// Runs on the presenter's thread, with its connection.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win32/automation/Shell.h"

namespace quellor::display {

class SystemTray {
 public:
  explicit SystemTray(Display* display);
  ~SystemTray();
  SystemTray(const SystemTray&) = delete;
  SystemTray& operator=(const SystemTray&) = delete;

  // Brings the X side in step with the subset's icons (added, changed,
  // removed) and docks fallback icons when a tray has appeared.
  void Sync();
  // Takes the events that are the tray's; true when it took this one.
  bool HandleEvent(const XEvent& event);

  // The X window showing an icon (0 when none), and whether a tray holds it.
  Window XWindowOf(HWND owner, unsigned id) const;
  bool Docked(HWND owner, unsigned id) const;
  // The window showing an icon's tip, 0 while none is shown.
  Window TipWindow() const { return tip_; }

  static constexpr int kFallbackSize = 32;

 private:
  struct Icon {
    desktop::TrayIcon info;
    Window xid = 0;
    bool docked = false;
    int width = 0, height = 0;
    std::vector<uint32_t> picture;  // the icon drawn at width x height
    Time lastLeftPress = 0;
    int lastLeftX = -100, lastLeftY = -100;
  };

  Window FindManager();
  void Create(Icon& icon);
  void Destroy(Icon& icon);
  void Dock(Icon& icon);
  void Draw(Icon& icon);
  void Paint(const Icon& icon);
  void OnButton(Icon& icon, const XButtonEvent& button);
  void ShowTip(const Icon& icon, int rootX, int rootY);
  void HideTip();
  Icon* IconFor(Window xid);

  Display* display_;
  int screen_;
  Window root_;
  Window manager_ = 0;  // the tray's selection owner, 0 without a tray
  Window tip_ = 0;
  Atom trayAtom_, opcode_, managerAtom_, xembedInfo_, xembed_;
  std::vector<Icon> icons_;
};

}  // namespace quellor::display
