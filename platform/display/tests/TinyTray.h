// A system tray of the tests' own, as small as the protocol allows: it owns
// _NET_SYSTEM_TRAY_S0, announces itself with MANAGER, and embeds each window
// that asks to dock (SYSTEM_TRAY_REQUEST_DOCK) as a 24x24 child, side by side.
// Runs on the caller's thread: Pump() handles what has arrived.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace quellor::display::testing {

class TinyTray {
 public:
  static constexpr int kIconSize = 24;

  explicit TinyTray(const std::string& displayName);
  ~TinyTray();
  TinyTray(const TinyTray&) = delete;
  TinyTray& operator=(const TinyTray&) = delete;

  bool Running() const { return display_ != nullptr; }
  void Pump();
  // The tray's own window, and the icons it embedded (in docking order).
  Window Xid() const { return window_; }
  const std::vector<Window>& Icons() const { return icons_; }
  // The tray ends, as when its program exits.
  void Quit();

 private:
  Display* display_ = nullptr;
  Window window_ = 0;
  Atom opcode_ = 0;
  std::vector<Window> icons_;
};

}  // namespace quellor::display::testing
