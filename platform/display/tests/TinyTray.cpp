#include "TinyTray.h"

#include <X11/Xatom.h>

namespace quellor::display::testing {

TinyTray::TinyTray(const std::string& displayName) {
  display_ = XOpenDisplay(displayName.c_str());
  if (!display_) return;
  const Window root = DefaultRootWindow(display_);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = 0x404040;
  attributes.event_mask = SubstructureNotifyMask;
  window_ =
      XCreateWindow(display_, root, 0, 0, 8 * kIconSize, kIconSize, 0, CopyFromParent, InputOutput,
                    CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
  XStoreName(display_, window_, "tiny tray");
  XMapRaised(display_, window_);
  const Atom selection = XInternAtom(display_, "_NET_SYSTEM_TRAY_S0", False);
  opcode_ = XInternAtom(display_, "_NET_SYSTEM_TRAY_OPCODE", False);
  XSetSelectionOwner(display_, selection, window_, CurrentTime);
  XEvent manager{};
  manager.xclient.type = ClientMessage;
  manager.xclient.window = root;
  manager.xclient.message_type = XInternAtom(display_, "MANAGER", False);
  manager.xclient.format = 32;
  manager.xclient.data.l[0] = CurrentTime;
  manager.xclient.data.l[1] = long(selection);
  manager.xclient.data.l[2] = long(window_);
  XSendEvent(display_, root, False, StructureNotifyMask, &manager);
  XSync(display_, False);
}

TinyTray::~TinyTray() {
  Quit();
}

void TinyTray::Quit() {
  if (!display_) return;
  XCloseDisplay(display_);  // its windows and selection go with it
  display_ = nullptr;
  icons_.clear();
}

void TinyTray::Pump() {
  if (!display_) return;
  while (XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == ClientMessage && Atom(event.xclient.message_type) == opcode_ &&
        event.xclient.data.l[1] == 0) {
      const Window icon = Window(event.xclient.data.l[2]);
      XReparentWindow(display_, icon, window_, int(icons_.size()) * kIconSize, 0);
      XResizeWindow(display_, icon, kIconSize, kIconSize);
      XMapWindow(display_, icon);
      icons_.push_back(icon);
      XSync(display_, False);
    } else if (event.type == DestroyNotify) {
      std::erase(icons_, event.xdestroywindow.window);
    }
  }
}

}  // namespace quellor::display::testing
