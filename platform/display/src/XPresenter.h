// Shows the subset's top-level windows on an X server: one X window per
// visible top-level window, its pixels put from the window's surface, moves,
// sizes, visibility and titles kept in step, and the server's mouse and
// keyboard fed back through the automation interface. Popup menus and
// frameless popups are override-redirect windows; owned windows (dialogs)
// are transient for their owner's X window.
//
// Everything runs on one thread (Run); only that thread talks to Xlib.
#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ShmImage.h"
#include "win32/automation/Presenter.h"

namespace quellor::display {

class ClipboardBridge;
class SystemTray;

class XPresenter {
 public:
  // Connects to the display named (nullptr: $DISPLAY). Connected() tells.
  explicit XPresenter(const char* displayName);
  ~XPresenter();
  XPresenter(const XPresenter&) = delete;
  XPresenter& operator=(const XPresenter&) = delete;

  // False when the server could not be reached or has no 24-bit true colour
  // visual; the reason is in Error().
  bool Connected() const { return display_ != nullptr && error_.empty(); }
  const std::string& Error() const { return error_; }
  bool UsesShm() const { return useShm_; }

  // Brings the X windows in step with the subset's windows and puts what was
  // drawn since the last time (everything, with force). The puts are sent,
  // not waited for: an image is written again only once the server is done
  // with it.
  void Sync(bool force = false);
  // Waits until the server has drawn every put sent so far.
  void WaitForPuts();
  // Handles every X event already queued.
  void HandleEvents();
  // Until Stop() or the server goes away: wait for X events or a change of
  // the subset's screen, and follow. A lost server closes every top-level
  // window (WM_CLOSE) so that programs end as if the user had closed them.
  void Run();
  void Stop() { stop_ = true; }

  // The X window showing a subset window (0 when none).
  Window XWindowOf(HWND hwnd) const;

 private:
  // Two images per window with shared memory: the program's next drawing is
  // copied into one while the server still reads the other.
  struct Presented {
    Window xid = 0;
    RECT rect{};
    std::string title;
    bool mapped = false;
    bool wholeNeeded = true;  // exposed: the X window's contents are lost
    bool reparented = false;  // framed by a window manager
    bool shaped = false;
    std::vector<RECT> shape;
    // Configure events older than our last configure request only echo
    // an earlier geometry of ours.
    unsigned long configureSerial = 0;
    int next = 0;
    std::unique_ptr<ShmImage> images[2];
  };

  Presented* Create(const desktop::TopLevelWindow& top);
  void Destroy(HWND hwnd);
  void UpdateGeometry(Presented& p, const desktop::TopLevelWindow& top);
  void Paint(HWND hwnd, Presented& p);
  void SetSizeHints(Window xid, const desktop::TopLevelWindow& top);
  void AskForNoDecorations(Window xid);
  void UpdateShape(Presented& p, const desktop::TopLevelWindow& top);
  void Restack(const std::vector<desktop::TopLevelWindow>& tops);
  void FollowXStacking();
  void OnConfigure(HWND hwnd, Presented& p, const XConfigureEvent& event);
  void UpdateCursor();
  Cursor XCursorFor(HCURSOR cursor);
  ShmImage* ImageToWrite(Presented& p, int width, int height);
  void TakeCompletions();
  void MarkCompleted(ShmSeg segment);
  void HandleEvent(XEvent& event);
  HWND WindowFor(Window xid) const;
  void ServerLost();

  Display* display_ = nullptr;
  int screen_ = 0;
  Window root_ = 0;
  Visual* visual_ = nullptr;
  GC gc_ = nullptr;
  bool useShm_ = false;
  bool shapeExtension_ = false;
  bool fixesExtension_ = false;
  int shmCompletion_ = -1;  // the event type of MIT-SHM's completion events
  std::string error_;
  Atom wmProtocols_ = 0;
  Atom wmDeleteWindow_ = 0;
  Atom netWmName_ = 0;
  Atom utf8String_ = 0;
  Atom netWmWindowType_ = 0;
  Atom netWmTypeDialog_ = 0;
  Atom motifWmHints_ = 0;
  std::map<HWND, Presented> windows_;
  HWND grabbedBy_ = nullptr;
  HCURSOR cursor_ = nullptr;                  // the subset's cursor the X windows show
  std::map<int, Cursor> xCursors_;            // stock cursors by their number
  std::map<HCURSOR, Cursor> programCursors_;  // the programs' own
  std::vector<Window> stacked_;               // our X windows as last stacked, topmost first
  bool stackingChanged_ = false;  // X restacked something: compare on the next turn  // the popup
                                  // menu holding the pointer grab
  uint64_t screenVersion_ = ~uint64_t(0);
  std::atomic<bool> stop_{false};
  std::unique_ptr<ClipboardBridge> clipboard_;
  std::unique_ptr<SystemTray> tray_;
};

}  // namespace quellor::display
