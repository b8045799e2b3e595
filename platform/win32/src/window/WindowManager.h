// The window system's shared state: window classes, the window tree and
// handle table, and the message queue of every thread. One lock (Lock())
// guards all of it; window procedures are always called without it.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "DeviceContext.h"
#include "Region.h"
#include "win32/user.h"

namespace quellor::win32 {

struct WindowClass {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int classExtraBytes = 0;
  int windowExtraBytes = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON smallIcon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  LPCSTR menuName = nullptr;  // an integer resource or a pointer to menuNameCopy
  std::string menuNameCopy;
  ATOM atom = 0;
  std::vector<uint8_t> classExtra;
  int windows = 0;  // live windows of the class
};

struct SentMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result = 0;
  bool done = false;
  std::shared_ptr<struct MessageQueue> sender;
};

struct QueuedMessage {
  MSG msg{};
  bool mouse = false;       // needs WM_NCHITTEST on retrieval
  bool converting = false;  // hit test in progress
};

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT elapse;
  DWORD due;
  TIMERPROC proc;
};

struct MessageQueue {
  DWORD threadId = 0;
  bool alive = true;
  std::condition_variable wake;
  std::deque<QueuedMessage> posted;
  std::deque<std::shared_ptr<SentMessage>> incoming;
  bool quitPosted = false;
  int quitCode = 0;
  std::vector<Timer> timers;
  int receivingSent = 0;  // nesting of sent messages being handled
  MSG last{};             // for GetMessageTime / GetMessagePos
  // Key state as of the last input message this thread took from its queue
  // (GetKeyState, TranslateMessage), as opposed to the live state of
  // GetAsyncKeyState.
  BYTE keys[256] = {};
};

// Updates a queue's key state for an input message it hands out.
void TrackKeyStateLocked(MessageQueue& q, const MSG& msg);

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<WindowClass> cls;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;  // null for top-level windows
  HWND owner = nullptr;
  std::vector<HWND> children;  // z-order, topmost first
  RECT rect{};                 // window rectangle in the parent's client coordinates
  RECT client{};               // client rectangle relative to the window's top-left
  std::string text;
  WNDPROC proc = nullptr;
  LONG_PTR userData = 0;
  LONG_PTR id = 0;
  HINSTANCE instance = nullptr;
  std::vector<uint8_t> extra;
  DWORD threadId = 0;
  std::shared_ptr<MessageQueue> queue;
  Region update;  // client coordinates
  bool erasePending = false;
  bool internalPaint = false;
  bool frameDirty = false;
  std::optional<Region> shape;           // window coordinates
  std::shared_ptr<PixelBuffer> surface;  // top-level windows only
  std::shared_ptr<DeviceContext> ownDC;
  bool destroying = false;
  bool redraw = true;  // WM_SETREDRAW
  // Where the window last stood in its sibling list: checked before any
  // search, so walking a thousand siblings one by one costs a thousand steps.
  size_t siblingHint = 0;
  // Some descendant may have an update region or a pending internal paint;
  // when false the search for the next WM_PAINT skips the whole subtree.
  bool paintBelow = false;
};

std::unique_lock<std::mutex> Lock();

// All of the below require Lock() to be held.
Window* FindWindowLocked(HWND hwnd);
// Must be called before a window leaves the table (WindowTableLocked()).
void ForgetHandleLocked(HWND hwnd);
std::vector<HWND>& TopLevelsLocked();  // z-order, topmost first
std::vector<HWND>& SiblingsLocked(Window& w);
// Index of w in list (its siblings), list.size() when it is not there.
size_t SiblingIndexLocked(Window& w, const std::vector<HWND>& list);
// Marks w's ancestors so the search for WM_PAINT looks below them again:
// called whenever w (or a descendant) gets something to paint.
void NotePaintPendingLocked(Window& w);
void BumpLayoutGenerationLocked();
bool IsVisibleLocked(Window& w);  // the window and all its ancestors
// Window rectangle of w in screen coordinates.
RECT ScreenRectLocked(Window& w);
// Offset of w's window rectangle from its top-level window's top-left.
POINT SurfaceOriginLocked(Window& w);
Window* TopLevelOfLocked(Window& w);
// Visible region of w (client or whole window) in its surface's coordinates.
Region VisibleRegionLocked(Window& w, bool clientArea);
// The deepest visible, hit-testable window at a screen point.
HWND WindowAtLocked(POINT screen, bool skipDisabled);
void InvalidateLocked(Window& w, const Region& clientRegion, bool erase, UINT flags);
void ValidateLocked(Window& w, const Region& clientRegion, bool children);
std::shared_ptr<WindowClass> FindClassLocked(LPCSTR name);

// The calling thread's queue, made on first use.
std::shared_ptr<MessageQueue> CurrentQueue();
// SetWindowPos with SWP_ASYNCWINDOWPOS for another thread's window: posted
// to that thread with a heap WINDOWPOS in lParam, applied by DispatchMessage.
// Only requests SetWindowPos made are taken back (null for any other lParam).
constexpr UINT kAsyncWindowPosMessage = 0x03F7;
WINDOWPOS* TakeAsyncWindowPos(LPARAM lParam);
DWORD CurrentThreadIdentifier();
std::shared_ptr<MessageQueue> QueueOfThreadLocked(DWORD threadId);
void WakeAllQueues();
void WakeQueueLocked(MessageQueue& q);

// Calls the window's procedure on this thread (no lock held).
LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Dispatches one sent message taken from this thread's incoming list.
void ReplyToSent(std::unique_lock<std::mutex>& lock, MessageQueue& q);

// Posts an input message for a window; `mouse` asks for a hit test when the
// owning thread takes it.
void PostInputLocked(Window& w, const MSG& msg, bool mouse);

// Global input state (also under Lock()).
struct InputState {
  HWND capture = nullptr;
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND foreground = nullptr;
  POINT cursor{0, 0};
  HCURSOR cursorShape = nullptr;
  BYTE keys[256] = {};
  // Double-click tracking.
  UINT lastButton = 0;
  DWORD lastClickTime = 0;
  POINT lastClickPoint{0, 0};
  HWND lastClickWindow = nullptr;
};
InputState& Input();

std::unordered_map<uintptr_t, std::unique_ptr<Window>>& WindowTableLocked();
std::vector<std::shared_ptr<WindowClass>>& ClassesLocked();

// Sends a message to a window of any thread (SendMessageA without the checks).
LRESULT SendToWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Client size and non-client frame for a style (what WM_NCCALCSIZE gives).
RECT ClientFromWindowRect(const RECT& windowRect, DWORD style, DWORD exStyle);

}  // namespace quellor::win32
