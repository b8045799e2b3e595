#include "XPresenter.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>
#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ClipboardBridge.h"
#include "KeyMap.h"
#include "ProgramCursor.h"
#include "SystemTray.h"
#include "XErrors.h"
#include "win32/automation/Desktop.h"
#include "win32/automation/Shell.h"
#include "windows.h"

namespace quellor::display {

namespace {

// Set from Xlib's I/O error path, which may run deep inside any Xlib call.
std::atomic<bool> g_serverLost{false};

int QuietIoError(Display*) {
  return 0;  // the exit handler below decides what happens
}
void KeepRunningOnIoError(Display*, void*) {
  g_serverLost = true;  // returning keeps the process alive; Run() winds down
}

// How long Run() sleeps between looks at the subset's screen when X is quiet:
// a little under a 60 Hz frame, so that repaints reach the screen promptly.
constexpr int kPollMilliseconds = 8;

// Frameless popups (menus, tooltips) are placed by the program itself and
// must not be decorated or moved by the window manager.
bool OverrideRedirect(const desktop::TopLevelWindow& top) {
  return top.popupMenu || ((top.style & WS_POPUP) && !(top.style & WS_CAPTION) && !top.owner) ||
         (top.exStyle & WS_EX_TOOLWINDOW && !(top.style & WS_CAPTION));
}

desktop::Button ToButton(unsigned button) {
  return button == Button3   ? desktop::Button::Right
         : button == Button2 ? desktop::Button::Middle
                             : desktop::Button::Left;
}

}  // namespace

XPresenter::XPresenter(const char* displayName) {
  display_ = XOpenDisplay(displayName);
  if (!display_) {
    error_ = std::string("cannot open display \"") + XDisplayName(displayName) + "\"";
    return;
  }
  XSetErrorHandler(RecordProtocolError);  // never fatal, as the default is
  XSetIOErrorHandler(QuietIoError);
  XSetIOErrorExitHandler(display_, KeepRunningOnIoError, nullptr);
  screen_ = DefaultScreen(display_);
  root_ = RootWindow(display_, screen_);
  XVisualInfo wanted{};
  wanted.screen = screen_;
  wanted.depth = 24;
  wanted.c_class = TrueColor;
  wanted.red_mask = 0xFF0000;
  wanted.green_mask = 0x00FF00;
  wanted.blue_mask = 0x0000FF;
  int count = 0;
  XVisualInfo* found =
      XGetVisualInfo(display_,
                     VisualScreenMask | VisualDepthMask | VisualClassMask | VisualRedMaskMask |
                         VisualGreenMaskMask | VisualBlueMaskMask,
                     &wanted, &count);
  if (!found || count == 0) {
    error_ = "the display has no 24-bit true colour visual";
    if (found) XFree(found);
    return;
  }
  visual_ = found[0].visual;
  XFree(found);
  if (visual_ != DefaultVisual(display_, screen_) || DefaultDepth(display_, screen_) != 24) {
    error_ = "the display's default visual is not 24-bit true colour";
    return;
  }
  gc_ = DefaultGC(display_, screen_);
  // The subset's screen is the X screen: menus and dialogs keep inside it,
  // and a maximised window fills it.
  desktop::SetScreenSize(DisplayWidth(display_, screen_), DisplayHeight(display_, screen_));
  // Shared memory only helps (and only works) on a local server.
  const char* name = DisplayString(display_);
  // QUELLOR_X_NO_SHM=1 turns it off (a server that claims it but fails).
  const char* noShm = std::getenv("QUELLOR_X_NO_SHM");
  useShm_ = XShmQueryExtension(display_) && name && name[0] == ':' &&
            !(noShm && std::string(noShm) == "1");
  if (useShm_) shmCompletion_ = XShmGetEventBase(display_) + ShmCompletion;
  wmProtocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
  wmDeleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  netWmName_ = XInternAtom(display_, "_NET_WM_NAME", False);
  utf8String_ = XInternAtom(display_, "UTF8_STRING", False);
  netWmWindowType_ = XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False);
  netWmTypeDialog_ = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  motifWmHints_ = XInternAtom(display_, "_MOTIF_WM_HINTS", False);
  int eventBase = 0, errorBase = 0;
  shapeExtension_ = XShapeQueryExtension(display_, &eventBase, &errorBase);
  fixesExtension_ = XFixesQueryExtension(display_, &eventBase, &errorBase);
  clipboard_ = std::make_unique<ClipboardBridge>(display_);
  tray_ = std::make_unique<SystemTray>(display_);
}

XPresenter::~XPresenter() {
  if (!display_) return;
  if (!g_serverLost) {
    for (auto& [hwnd, p] : windows_) {
      for (auto& image : p.images) image.reset();
      XDestroyWindow(display_, p.xid);
    }
    clipboard_.reset();
    tray_.reset();
    for (auto& [id, cursor] : xCursors_) XFreeCursor(display_, cursor);
    for (auto& [handle, cursor] : programCursors_)
      if (cursor) XFreeCursor(display_, cursor);
    XCloseDisplay(display_);
  }
}

Window XPresenter::XWindowOf(HWND hwnd) const {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? 0 : it->second.xid;
}

HWND XPresenter::WindowFor(Window xid) const {
  for (const auto& [hwnd, p] : windows_)
    if (p.xid == xid) return hwnd;
  return nullptr;
}

XPresenter::Presented* XPresenter::Create(const desktop::TopLevelWindow& top) {
  const int width = std::max<int>(1, top.rect.right - top.rect.left);
  const int height = std::max<int>(1, top.rect.bottom - top.rect.top);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = OverrideRedirect(top) ? True : False;
  attributes.background_pixmap = None;  // the surface paints everything
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask;
  const unsigned long serial = NextRequest(display_);
  const Window xid = XCreateWindow(display_, root_, top.rect.left, top.rect.top, unsigned(width),
                                   unsigned(height), 0, 24, InputOutput, visual_,
                                   CWOverrideRedirect | CWBackPixmap | CWEventMask, &attributes);
  SetSizeHints(xid, top);
  if (Cursor shape = XCursorFor(cursor_)) XDefineCursor(display_, xid, shape);
  XSetWMProtocols(display_, xid, &wmDeleteWindow_, 1);
  if (!attributes.override_redirect) AskForNoDecorations(xid);
  if (top.owner) {
    if (Window owner = XWindowOf(top.owner)) {
      XSetTransientForHint(display_, xid, owner);
      XChangeProperty(display_, xid, netWmWindowType_, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&netWmTypeDialog_), 1);
    }
  }
  XClassHint* classHint = XAllocClassHint();
  classHint->res_name = const_cast<char*>("quellor");
  classHint->res_class = const_cast<char*>("Quellor");
  XSetClassHint(display_, xid, classHint);
  XFree(classHint);
  Presented& p = windows_[top.hwnd];
  p.xid = xid;
  p.configureSerial = serial;
  p.rect = top.rect;
  p.title.clear();
  return &p;
}

void XPresenter::Destroy(HWND hwnd) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  for (auto& image : it->second.images) image.reset();
  XDestroyWindow(display_, it->second.xid);
  windows_.erase(it);
}

// The subset draws every window's frame itself (caption, borders, or none at
// all): a window manager's decorations would be a second title bar. The
// Motif hints are what window managers read for that; only decorations are
// asked for, so that moving, resizing and closing from the window manager
// keep working.
void XPresenter::AskForNoDecorations(Window xid) {
  constexpr long kDecorationsFlag = 1L << 1;  // MWM_HINTS_DECORATIONS
  // flags, functions, decorations, input mode, status
  const long hints[5] = {kDecorationsFlag, 0, 0, 0, 0};
  XChangeProperty(display_, xid, motifWmHints_, motifWmHints_, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(hints), 5);
}

// The subset decides sizes, except of windows with a sizing border, which
// the window manager may resize too. Static gravity: the position asked for
// is the window's own, not its frame's, so that what the window manager
// reports back is what the subset asked for.
void XPresenter::SetSizeHints(Window xid, const desktop::TopLevelWindow& top) {
  const int width = std::max<int>(1, top.rect.right - top.rect.left);
  const int height = std::max<int>(1, top.rect.bottom - top.rect.top);
  XSizeHints* hints = XAllocSizeHints();
  hints->flags = PPosition | USPosition | PMinSize | PWinGravity;
  hints->x = top.rect.left;
  hints->y = top.rect.top;
  hints->win_gravity = StaticGravity;
  if (top.style & WS_THICKFRAME) {
    hints->min_width = GetSystemMetrics(SM_CXMINTRACK);
    hints->min_height = GetSystemMetrics(SM_CYMINTRACK);
  } else {
    hints->flags |= PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
  }
  XSetWMNormalHints(display_, xid, hints);
  XFree(hints);
}

void XPresenter::UpdateGeometry(Presented& p, const desktop::TopLevelWindow& top) {
  const int width = std::max<int>(1, top.rect.right - top.rect.left);
  const int height = std::max<int>(1, top.rect.bottom - top.rect.top);
  if (top.rect.left != p.rect.left || top.rect.top != p.rect.top ||
      width != p.rect.right - p.rect.left || height != p.rect.bottom - p.rect.top) {
    SetSizeHints(p.xid, top);
    p.configureSerial = NextRequest(display_);
    XMoveResizeWindow(display_, p.xid, top.rect.left, top.rect.top, unsigned(width),
                      unsigned(height));
    p.rect = top.rect;
  }
  if (top.title != p.title) {
    // WM_NAME in Latin-1 (the subset's code page for window texts), and
    // _NET_WM_NAME in UTF-8 for the window managers that prefer it.
    XStoreName(display_, p.xid, top.title.c_str());
    const std::string utf8 = ClipboardBridge::Latin1ToUtf8(top.title);
    XChangeProperty(display_, p.xid, netWmName_, utf8String_, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));
    p.title = top.title;
  }
  UpdateShape(p, top);
}

// The window's region (SetWindowRgn) as the X window's bounding shape, so
// that the desktop shows through the parts outside it.
void XPresenter::UpdateShape(Presented& p, const desktop::TopLevelWindow& top) {
  const bool same =
      p.shaped == top.shaped && std::equal(p.shape.begin(), p.shape.end(), top.shape.begin(),
                                           top.shape.end(), [](const RECT& a, const RECT& b) {
                                             return a.left == b.left && a.top == b.top &&
                                                    a.right == b.right && a.bottom == b.bottom;
                                           });
  if (same) return;
  p.shaped = top.shaped;
  p.shape = top.shape;
  if (!shapeExtension_) return;
  if (!top.shaped) {
    XShapeCombineMask(display_, p.xid, ShapeBounding, 0, 0, None, ShapeSet);
    return;
  }
  std::vector<XRectangle> rects;
  rects.reserve(top.shape.size());
  for (const RECT& r : top.shape) {
    const long x = std::clamp<long>(r.left, -32768, 32767);
    const long y = std::clamp<long>(r.top, -32768, 32767);
    const long w = std::clamp<long>(r.right - r.left, 0, 65535);
    const long h = std::clamp<long>(r.bottom - r.top, 0, 65535);
    if (w > 0 && h > 0) rects.push_back(XRectangle{short(x), short(y), ushort(w), ushort(h)});
  }
  XShapeCombineRectangles(display_, p.xid, ShapeBounding, 0, 0, rects.data(), int(rects.size()),
                          ShapeSet, YXBanded);
}

// The subset's z-order on the X side: our visible windows restacked when
// their order (topmost first) changed.
void XPresenter::Restack(const std::vector<desktop::TopLevelWindow>& tops) {
  std::vector<Window> order;
  for (const desktop::TopLevelWindow& top : tops)
    if (top.visible)
      if (Window xid = XWindowOf(top.hwnd)) order.push_back(xid);
  if (order == stacked_) return;
  stacked_ = order;
  if (order.size() > 1) XRestackWindows(display_, order.data(), int(order.size()));
}

// Someone restacked our windows on the X side (another client, or a window
// manager that keeps them as children of the root): the one now on top goes
// on top in the subset too. Framed windows are raised through their focus.
void XPresenter::FollowXStacking() {
  stackingChanged_ = false;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display_, root_, &root, &parent, &children, &count)) return;
  std::vector<Window> order;  // topmost first
  for (unsigned i = count; i-- > 0;) {
    const HWND hwnd = WindowFor(children[i]);
    if (hwnd && windows_[hwnd].mapped && !windows_[hwnd].reparented) order.push_back(children[i]);
  }
  if (children) XFree(children);
  std::vector<Window> expected;
  for (Window xid : stacked_)
    if (std::find(order.begin(), order.end(), xid) != order.end()) expected.push_back(xid);
  if (order.empty() || order == expected) return;
  if (order.front() != expected.front()) desktop::RaiseTopLevel(WindowFor(order.front()));
  stacked_ = order;
}

void XPresenter::OnConfigure(HWND hwnd, Presented& p, const XConfigureEvent& event) {
  stackingChanged_ = true;
  if (event.serial < p.configureSerial) return;  // an echo of an older request of ours
  // Where the window is on the root, whoever its parent is.
  int x = event.x, y = event.y;
  Window child = 0;
  if (!event.send_event && p.reparented)
    XTranslateCoordinates(display_, p.xid, root_, 0, 0, &x, &y, &child);
  const RECT now{x, y, x + event.width, y + event.height};
  if (now.left == p.rect.left && now.top == p.rect.top && now.right == p.rect.right &&
      now.bottom == p.rect.bottom)
    return;
  // The window manager moved or resized it: the subset follows.
  p.rect = now;
  desktop::PlaceTopLevel(hwnd, x, y, event.width, event.height);
}

// The subset's stock cursors as the X cursor font's nearest shapes; a
// program's own cursors in their own pictures (the arrow when one cannot be
// made).
Cursor XPresenter::XCursorFor(HCURSOR cursor) {
  struct Stock {
    int id;
    unsigned shape;
    const char* name;
  };
  static const Stock kStock[] = {{32512, XC_left_ptr, "left_ptr"},
                                 {32513, XC_xterm, "xterm"},
                                 {32514, XC_watch, "watch"},
                                 {32515, XC_crosshair, "crosshair"},
                                 {32516, XC_center_ptr, "center_ptr"},
                                 {32642, XC_bottom_right_corner, "size_fdiag"},
                                 {32643, XC_bottom_left_corner, "size_bdiag"},
                                 {32644, XC_sb_h_double_arrow, "sb_h_double_arrow"},
                                 {32645, XC_sb_v_double_arrow, "sb_v_double_arrow"},
                                 {32646, XC_fleur, "fleur"},
                                 {32648, XC_X_cursor, "X_cursor"},
                                 {32649, XC_hand2, "hand2"},
                                 {32650, XC_watch, "watch"},
                                 {32651, XC_question_arrow, "question_arrow"}};
  const Stock* chosen = nullptr;
  for (const Stock& stock : kStock)
    if (cursor && LoadCursorA(nullptr, MAKEINTRESOURCEA(stock.id)) == cursor) chosen = &stock;
  if (!chosen && cursor) {
    auto made = programCursors_.find(cursor);
    if (made == programCursors_.end())
      made = programCursors_.emplace(cursor, MakeProgramCursor(display_, cursor)).first;
    if (made->second) return made->second;
  }
  if (!chosen) chosen = &kStock[0];
  auto it = xCursors_.find(chosen->id);
  if (it != xCursors_.end()) return it->second;
  const Cursor made = XCreateFontCursor(display_, chosen->shape);
  // Named, so that themes (and tests) can tell the shapes apart.
  if (made && fixesExtension_) XFixesSetCursorName(display_, made, chosen->name);
  xCursors_[chosen->id] = made;
  return made;
}

void XPresenter::UpdateCursor() {
  const HCURSOR now = desktop::CurrentCursor();
  if (now == cursor_) return;
  cursor_ = now;
  const Cursor shape = XCursorFor(now);
  for (auto& [hwnd, p] : windows_) XDefineCursor(display_, p.xid, shape);
  XFlush(display_);
}

namespace {

bool Empty(const RECT& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

}  // namespace

void XPresenter::TakeCompletions() {
  if (shmCompletion_ < 0) return;
  XEvent event;
  while (XCheckTypedEvent(display_, shmCompletion_, &event))
    MarkCompleted(reinterpret_cast<const XShmCompletionEvent&>(event).shmseg);
}

void XPresenter::MarkCompleted(ShmSeg segment) {
  for (auto& [hwnd, p] : windows_)
    for (auto& image : p.images)
      if (image && image->Segment() == segment) image->Completed();
}

// After a sync the server has read every segment: all images are free.
void XPresenter::WaitForPuts() {
  XSync(display_, False);
  for (auto& [hwnd, p] : windows_)
    for (auto& image : p.images)
      if (image) image->Completed();
}

ShmImage* XPresenter::ImageToWrite(Presented& p, int width, int height) {
  auto& slot = p.images[p.next];
  if (!slot) slot = std::make_unique<ShmImage>();
  if (slot->Width() != width || slot->Height() != height) {
    if (!slot->Allocate(display_, visual_, width, height, useShm_)) return nullptr;
  }
  if (slot->Busy()) {
    TakeCompletions();
    if (slot->Busy()) WaitForPuts();
  }
  return slot.get();
}

// Copies and puts only the part drawn since the last time. Each put covers
// exactly what was just copied, so the rest of an image (older, or never
// written) never reaches the screen; with shared memory the two images take
// turns.
void XPresenter::Paint(HWND hwnd, Presented& p) {
  const int width = std::max<int>(1, p.rect.right - p.rect.left);
  const int height = std::max<int>(1, p.rect.bottom - p.rect.top);
  RECT drawn = desktop::TakeWindowDamage(hwnd);
  if (p.wholeNeeded) drawn = RECT{0, 0, width, height};
  if (Empty(drawn)) return;
  ShmImage* image = ImageToWrite(p, width, height);
  if (!image) return;
  if (!desktop::CopyWindowRect(hwnd, image->Pixels(), image->Stride(), width, height, drawn))
    return;
  p.wholeNeeded = false;
  image->Put(p.xid, gc_, drawn.left, drawn.top, drawn.right - drawn.left, drawn.bottom - drawn.top);
  if (image->Shared()) p.next = 1 - p.next;
}

void XPresenter::Sync(bool force) {
  if (!display_ || g_serverLost) return;
  const uint64_t version = desktop::ScreenVersion();
  if (!force && version == screenVersion_) return;
  screenVersion_ = version;
  TakeCompletions();
  const std::vector<desktop::TopLevelWindow> tops = desktop::TopLevelWindows();
  // Gone or hidden windows first, so that their X windows vanish together.
  std::vector<HWND> stale;
  for (const auto& [hwnd, p] : windows_) {
    auto it = std::find_if(tops.begin(), tops.end(), [&](const desktop::TopLevelWindow& t) {
      return t.hwnd == hwnd && t.visible;
    });
    if (it == tops.end()) stale.push_back(hwnd);
  }
  for (HWND hwnd : stale) {
    if (hwnd == grabbedBy_) {
      XUngrabPointer(display_, CurrentTime);
      grabbedBy_ = nullptr;
    }
    Destroy(hwnd);
  }
  // Bottom to top, so that owners exist before their owned windows and the
  // stacking follows the subset's z-order.
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    if (!it->visible) continue;
    Presented* p = nullptr;
    if (auto found = windows_.find(it->hwnd); found != windows_.end())
      p = &found->second;
    else
      p = Create(*it);
    UpdateGeometry(*p, *it);
    if (!p->mapped) {
      XMapRaised(display_, p->xid);
      p->mapped = true;
      // An open popup menu takes the pointer, as the subset's menu loop
      // captures the mouse: a click anywhere else on the screen reaches it
      // (relative to the menu, so outside its rectangle) and closes it.
      if (it->popupMenu) {
        XSync(display_, False);
        XGrabPointer(display_, p->xid, True,
                     ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                     GrabModeAsync, None, None, CurrentTime);
        grabbedBy_ = it->hwnd;
      }
    }
    Paint(it->hwnd, *p);
  }
  Restack(tops);
  XFlush(display_);
}

void XPresenter::HandleEvents() {
  if (!display_) return;
  while (!g_serverLost && XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == ConfigureNotify && event.xconfigure.window == root_) {
      desktop::SetScreenSize(event.xconfigure.width, event.xconfigure.height);  // resized screen
      continue;
    }
    if (event.type == shmCompletion_) {
      MarkCompleted(reinterpret_cast<const XShmCompletionEvent&>(event).shmseg);
      continue;
    }
    if (clipboard_ && clipboard_->HandleEvent(event)) continue;
    if (tray_ && tray_->HandleEvent(event)) continue;
    HandleEvent(event);
  }
}

void XPresenter::HandleEvent(XEvent& event) {
  const HWND hwnd = WindowFor(event.xany.window);
  if (!hwnd) return;
  const Presented& p = windows_[hwnd];
  // X gives positions relative to the X window; the subset wants them on its
  // own screen, where the window sits at p.rect.
  auto toScreenX = [&](int x) { return int(p.rect.left) + x; };
  auto toScreenY = [&](int y) { return int(p.rect.top) + y; };
  switch (event.type) {
    case Expose:
      if (event.xexpose.count == 0) {
        windows_[hwnd].wholeNeeded = true;
        screenVersion_ = ~uint64_t(0);  // put again on the next Sync
      }
      break;
    case MotionNotify:
      desktop::MoveMouse(toScreenX(event.xmotion.x), toScreenY(event.xmotion.y));
      break;
    case ButtonPress:
    case ButtonRelease: {
      const int x = toScreenX(event.xbutton.x), y = toScreenY(event.xbutton.y);
      const unsigned button = event.xbutton.button;
      if (button == Button4 || button == Button5) {
        if (event.type == ButtonPress) desktop::TurnWheel(button == Button4 ? 120 : -120, x, y);
      } else if (button <= Button3) {
        if (event.type == ButtonPress)
          desktop::PressButton(ToButton(button), x, y);
        else
          desktop::ReleaseButton(ToButton(button), x, y);
      }
      break;
    }
    case KeyPress:
    case KeyRelease: {
      // The unshifted symbol names the key; the subset makes the characters
      // from the key and its own shift state (TranslateMessage).
      const KeySym symbol = XLookupKeysym(&event.xkey, 0);
      if (const int vk = KeySymToVirtualKey(symbol)) {
        if (event.type == KeyPress)
          desktop::PressKey(vk);
        else
          desktop::ReleaseKey(vk);
      }
      break;
    }
    case ConfigureNotify:
      OnConfigure(hwnd, windows_[hwnd], event.xconfigure);
      break;
    case ReparentNotify:
      windows_[hwnd].reparented = event.xreparent.parent != root_;
      break;
    case FocusIn:
      // The window manager activated the window (a click on its frame, a
      // task switch): it comes to the top of the subset's windows too.
      if (event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyPointer &&
          event.xfocus.detail != NotifyInferior)
        desktop::RaiseTopLevel(hwnd);
      break;
    case ClientMessage:
      if (Atom(event.xclient.message_type) == wmProtocols_ &&
          Atom(event.xclient.data.l[0]) == wmDeleteWindow_)
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
}

// The program's windows are closed as if the user had closed them, so that
// it ends the way it always does (its settings written). That includes
// hidden windows behind a tray icon: a tray program has no visible window.
void XPresenter::ServerLost() {
  std::fprintf(stderr, "quellor: the X display went away; closing the windows\n");
  std::vector<HWND> closing;
  for (const desktop::TopLevelWindow& top : desktop::TopLevelWindows())
    if (top.visible && !top.owner) closing.push_back(top.hwnd);
  for (const desktop::TrayIcon& icon : desktop::TrayIcons())
    if (std::find(closing.begin(), closing.end(), icon.owner) == closing.end())
      closing.push_back(icon.owner);
  for (HWND hwnd : closing) PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

void XPresenter::Run() {
  if (!Connected()) return;
  const int fd = ConnectionNumber(display_);
  while (!stop_) {
    Sync();
    UpdateCursor();
    if (stackingChanged_) FollowXStacking();
    if (tray_) tray_->Sync();
    if (clipboard_) clipboard_->Poll();
    HandleEvents();
    if (g_serverLost) {
      ServerLost();
      return;
    }
    pollfd watch{fd, POLLIN, 0};
    poll(&watch, 1, kPollMilliseconds);
    // A closed connection reads as ready; XPending then reports the loss.
  }
}

}  // namespace quellor::display
