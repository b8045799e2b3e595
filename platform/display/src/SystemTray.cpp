#include "SystemTray.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "IconPixels.h"
#include "win32/automation/Desktop.h"
#include "windows.h"

namespace quellor::display {

namespace {

// The opcodes and flags of the tray and embedding protocols.
constexpr long kRequestDock = 0;
constexpr unsigned long kXembedVersion = 0;
constexpr unsigned long kXembedMapped = 1;

// Behind the icon's transparent parts: the face colour of the subset's
// windows, which most tray themes are close to.
constexpr uint32_t kBackground = 0xD4D0C8;

// Where fallback icons go: the bottom-right corner of the screen, one beside
// the other, as a tray would line them up.
constexpr int kFallbackMargin = 4;

// The icon's picture at width x height: drawn by the subset at the icon size
// onto the background, then scaled to the size the tray gave.
std::vector<uint32_t> DrawIconPicture(HICON icon, int width, int height) {
  const int side = std::max(1, GetSystemMetrics(SM_CXICON));
  std::vector<uint32_t> out(size_t(width) * size_t(height), kBackground);
  const std::vector<uint32_t> drawn = IconOnBackground(icon, side, kBackground);
  if (drawn.empty()) return out;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      out[size_t(y) * size_t(width) + size_t(x)] =
          drawn[size_t(y * side / height) * size_t(side) + size_t(x * side / width)] & 0xFFFFFF;
  return out;
}

}  // namespace

SystemTray::SystemTray(Display* display) : display_(display) {
  screen_ = DefaultScreen(display_);
  root_ = RootWindow(display_, screen_);
  const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(screen_);
  trayAtom_ = XInternAtom(display_, selection.c_str(), False);
  opcode_ = XInternAtom(display_, "_NET_SYSTEM_TRAY_OPCODE", False);
  managerAtom_ = XInternAtom(display_, "MANAGER", False);
  xembedInfo_ = XInternAtom(display_, "_XEMBED_INFO", False);
  xembed_ = XInternAtom(display_, "_XEMBED", False);
  // A tray that starts later announces itself to the root window.
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, root_, &attributes);
  XSelectInput(display_, root_, attributes.your_event_mask | StructureNotifyMask);
  manager_ = FindManager();
}

SystemTray::~SystemTray() {
  HideTip();
  for (Icon& icon : icons_) Destroy(icon);
}

Window SystemTray::FindManager() {
  XGrabServer(display_);  // the owner must not vanish between the two calls
  const Window owner = XGetSelectionOwner(display_, trayAtom_);
  if (owner) XSelectInput(display_, owner, StructureNotifyMask);
  XUngrabServer(display_);
  XFlush(display_);
  return owner;
}

Window SystemTray::XWindowOf(HWND owner, unsigned id) const {
  for (const Icon& icon : icons_)
    if (icon.info.owner == owner && icon.info.id == id) return icon.xid;
  return 0;
}

bool SystemTray::Docked(HWND owner, unsigned id) const {
  for (const Icon& icon : icons_)
    if (icon.info.owner == owner && icon.info.id == id) return icon.docked;
  return false;
}

SystemTray::Icon* SystemTray::IconFor(Window xid) {
  for (Icon& icon : icons_)
    if (icon.xid == xid) return &icon;
  return nullptr;
}

void SystemTray::Create(Icon& icon) {
  const int size = kFallbackSize;
  // Fallback icons sit side by side from the screen's bottom-right corner.
  int index = 0;
  for (const Icon& other : icons_)
    if (other.xid && !other.docked) ++index;
  const int x = DisplayWidth(display_, screen_) - (index + 1) * (size + kFallbackMargin);
  const int y = DisplayHeight(display_, screen_) - size - kFallbackMargin;
  XSetWindowAttributes attributes{};
  attributes.background_pixel = kBackground;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          EnterWindowMask | LeaveWindowMask | StructureNotifyMask;
  icon.xid = XCreateWindow(display_, root_, x, y, size, size, 0, CopyFromParent, InputOutput,
                           CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  icon.width = icon.height = size;
  icon.docked = false;
  XStoreName(display_, icon.xid, icon.info.tip.c_str());
  XClassHint* classHint = XAllocClassHint();
  classHint->res_name = const_cast<char*>("quellor-tray");
  classHint->res_class = const_cast<char*>("Quellor");
  XSetClassHint(display_, icon.xid, classHint);
  XFree(classHint);
  // The embedder maps the window itself once docked (XEMBED_MAPPED).
  const unsigned long info[2] = {kXembedVersion, kXembedMapped};
  XChangeProperty(display_, icon.xid, xembedInfo_, xembedInfo_, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(info), 2);
  Draw(icon);
  if (manager_) {
    Dock(icon);
  } else {
    // The fallback: a small window of its own, kept where it was put.
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PPosition | USPosition | PMinSize | PMaxSize;
    hints->x = x;
    hints->y = y;
    hints->min_width = hints->max_width = size;
    hints->min_height = hints->max_height = size;
    XSetWMNormalHints(display_, icon.xid, hints);
    XFree(hints);
    XMapRaised(display_, icon.xid);
  }
}

void SystemTray::Dock(Icon& icon) {
  if (!manager_ || !icon.xid) return;
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = manager_;
  message.xclient.message_type = opcode_;
  message.xclient.format = 32;
  message.xclient.data.l[0] = CurrentTime;
  message.xclient.data.l[1] = kRequestDock;
  message.xclient.data.l[2] = long(icon.xid);
  XSendEvent(display_, manager_, False, NoEventMask, &message);
  icon.docked = true;
  XFlush(display_);
}

void SystemTray::Destroy(Icon& icon) {
  if (!icon.xid) return;
  XDestroyWindow(display_, icon.xid);
  icon.xid = 0;
}

void SystemTray::Draw(Icon& icon) {
  icon.picture = DrawIconPicture(icon.info.icon, icon.width, icon.height);
}

void SystemTray::Paint(const Icon& icon) {
  if (!icon.xid || icon.picture.empty()) return;
  Visual* visual = DefaultVisual(display_, screen_);
  if (DefaultDepth(display_, screen_) != 24) return;
  // XDestroyImage frees the data: hand it a copy of its own.
  const size_t bytes = icon.picture.size() * 4;
  char* data = static_cast<char*>(std::malloc(bytes));
  if (!data) return;
  std::memcpy(data, icon.picture.data(), bytes);
  XImage* image = XCreateImage(display_, visual, 24, ZPixmap, 0, data, unsigned(icon.width),
                               unsigned(icon.height), 32, icon.width * 4);
  if (!image) {
    std::free(data);
    return;
  }
  XPutImage(display_, icon.xid, DefaultGC(display_, screen_), image, 0, 0, 0, 0,
            unsigned(icon.width), unsigned(icon.height));
  XDestroyImage(image);
}

void SystemTray::Sync() {
  const std::vector<desktop::TrayIcon> now = desktop::TrayIcons();
  bool changed = false;
  // Removed icons (or icons of windows that are gone).
  for (auto it = icons_.begin(); it != icons_.end();) {
    const bool kept = std::any_of(now.begin(), now.end(), [&](const desktop::TrayIcon& t) {
      return t.owner == it->info.owner && t.id == it->info.id;
    });
    if (kept) {
      ++it;
      continue;
    }
    Destroy(*it);
    it = icons_.erase(it);
    changed = true;
  }
  for (const desktop::TrayIcon& t : now) {
    auto it = std::find_if(icons_.begin(), icons_.end(), [&](const Icon& i) {
      return i.info.owner == t.owner && i.info.id == t.id;
    });
    if (it == icons_.end()) {
      icons_.push_back(Icon{});
      icons_.back().info = t;
      Create(icons_.back());
      changed = true;
      continue;
    }
    if (it->info.icon != t.icon) {
      it->info.icon = t.icon;
      Draw(*it);
      Paint(*it);
      changed = true;
    }
    if (it->info.tip != t.tip) {
      it->info.tip = t.tip;
      XStoreName(display_, it->xid, t.tip.c_str());
      changed = true;
    }
    it->info.callbackMessage = t.callbackMessage;
    it->info.flags = t.flags;
  }
  if (changed) XFlush(display_);
}

void SystemTray::ShowTip(const Icon& icon, int rootX, int rootY) {
  HideTip();
  if (icon.info.tip.empty()) return;
  XFontStruct* font = XQueryFont(display_, XGContextFromGC(DefaultGC(display_, screen_)));
  const int ascent = font ? font->ascent : 10;
  const int descent = font ? font->descent : 3;
  const int textWidth = font ? XTextWidth(font, icon.info.tip.data(), int(icon.info.tip.size()))
                             : int(icon.info.tip.size()) * 6;
  if (font) XFreeFontInfo(nullptr, font, 1);
  const int width = textWidth + 8, height = ascent + descent + 6;
  // Above the pointer near a tray at the bottom, below it elsewhere.
  int x = std::min(rootX, DisplayWidth(display_, screen_) - width);
  int y = rootY + 20;
  if (y + height > DisplayHeight(display_, screen_)) y = rootY - height - 4;
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = 0xFFFFE1;  // the subset's tooltip colour
  attributes.border_pixel = 0;
  attributes.event_mask = ExposureMask;
  tip_ = XCreateWindow(display_, root_, std::max(0, x), std::max(0, y), unsigned(width),
                       unsigned(height), 1, CopyFromParent, InputOutput, CopyFromParent,
                       CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
  XStoreName(display_, tip_, icon.info.tip.c_str());
  XMapRaised(display_, tip_);
  XFlush(display_);
}

void SystemTray::HideTip() {
  if (!tip_) return;
  XDestroyWindow(display_, tip_);
  tip_ = 0;
}

void SystemTray::OnButton(Icon& icon, const XButtonEvent& button) {
  const bool press = button.type == ButtonPress;
  UINT message = 0;
  switch (button.button) {
    case Button1:
      message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP;
      if (press) {
        // A second press soon after and close by is a double click.
        const bool near = std::abs(button.x_root - icon.lastLeftX) <= 4 &&
                          std::abs(button.y_root - icon.lastLeftY) <= 4;
        if (near && icon.lastLeftPress &&
            button.time - icon.lastLeftPress <= GetDoubleClickTime()) {
          message = WM_LBUTTONDBLCLK;
          icon.lastLeftPress = 0;
        } else {
          icon.lastLeftPress = button.time;
          icon.lastLeftX = button.x_root;
          icon.lastLeftY = button.y_root;
        }
      }
      break;
    case Button2:
      message = press ? WM_MBUTTONDOWN : WM_MBUTTONUP;
      break;
    case Button3:
      message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
      break;
    default:
      return;  // the wheel means nothing to an icon
  }
  // The owner opens its menu at the cursor: put the subset's cursor where
  // the X pointer is.
  desktop::MoveMouse(button.x_root, button.y_root);
  desktop::ClickTrayIcon(icon.info.owner, icon.info.id, message);
}

bool SystemTray::HandleEvent(const XEvent& event) {
  // A tray starting (MANAGER on the root window) or ending.
  if (event.type == ClientMessage && event.xclient.window == root_ &&
      Atom(event.xclient.message_type) == managerAtom_ &&
      Atom(event.xclient.data.l[1]) == trayAtom_) {
    manager_ = FindManager();
    for (Icon& icon : icons_) {
      if (icon.docked) continue;
      // A managed fallback window cannot simply be docked: start afresh.
      Destroy(icon);
      Create(icon);
    }
    return true;
  }
  if (event.type == DestroyNotify && manager_ && event.xdestroywindow.window == manager_) {
    manager_ = 0;
    // The icons it held went with it, or back to the root: show them again.
    for (Icon& icon : icons_) {
      Destroy(icon);
      Create(icon);
    }
    XFlush(display_);
    return true;
  }
  if (event.type == Expose && event.xexpose.window == tip_) {
    char* name = nullptr;
    if (XFetchName(display_, tip_, &name) && name) {
      XFontStruct* font = XQueryFont(display_, XGContextFromGC(DefaultGC(display_, screen_)));
      const int ascent = font ? font->ascent : 10;
      if (font) XFreeFontInfo(nullptr, font, 1);
      XSetForeground(display_, DefaultGC(display_, screen_), 0x000000);
      XDrawString(display_, tip_, DefaultGC(display_, screen_), 4, 3 + ascent, name,
                  int(std::strlen(name)));
      XFree(name);
    }
    return true;
  }
  Icon* icon = IconFor(event.xany.window);
  if (!icon) return false;
  switch (event.type) {
    case Expose:
      if (event.xexpose.count == 0) Paint(*icon);
      break;
    case ConfigureNotify:
      // The tray chooses the size of what it embeds.
      if (event.xconfigure.width != icon->width || event.xconfigure.height != icon->height) {
        icon->width = std::max(1, event.xconfigure.width);
        icon->height = std::max(1, event.xconfigure.height);
        Draw(*icon);
        Paint(*icon);
      }
      break;
    case ButtonPress:
    case ButtonRelease:
      HideTip();
      OnButton(*icon, event.xbutton);
      break;
    case MotionNotify:
      desktop::ClickTrayIcon(icon->info.owner, icon->info.id, WM_MOUSEMOVE);
      break;
    case EnterNotify:
      ShowTip(*icon, event.xcrossing.x_root, event.xcrossing.y_root);
      break;
    case LeaveNotify:
      HideTip();
      break;
    default:
      break;
  }
  return true;
}

}  // namespace quellor::display
