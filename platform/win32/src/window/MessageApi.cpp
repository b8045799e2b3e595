// Message queues: posting, sending (also across threads), retrieval with the
// Windows priorities (sent, posted and input, quit, paint, timers) and
// dispatch.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

#include "Clock.h"
#include "WindowManager.h"
#include "win32/errors.h"
#include "win32/kernel.h"
#include "win32/testing/Sends.h"

#ifndef ERROR_INVALID_THREAD_ID
#define ERROR_INVALID_THREAD_ID 1444L
#endif

using namespace quellor::win32;

namespace {

bool InRange(UINT message, UINT low, UINT high) {
  if (low == 0 && high == 0) return true;
  if (low > high) return message >= low || message <= high;  // the filter wraps around
  return message >= low && message <= high;
}

// hwnd filter: null = any message of the thread; (HWND)-1 = thread messages
// only; else the window and its descendants.
bool MatchesWindowLocked(HWND filter, HWND hwnd) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(-1)) return hwnd == nullptr;
  if (hwnd == filter) return true;
  Window* w = FindWindowLocked(hwnd);
  while (w && w->parent) {
    if (w->parent == filter) return true;
    w = FindWindowLocked(w->parent);
  }
  return false;
}

// Pre-order over the thread's windows, parents before children. Subtrees
// with nothing to paint are passed over; `pending` is set when anything in
// w's subtree still has something to paint (another thread's window, a
// hidden one, one the filter leaves out), and a subtree searched to the end
// without any is marked clean.
Window* FindPaintTargetLocked(Window& w, MessageQueue& q, HWND filter, bool& pending) {
  const bool own = !w.update.IsEmpty() || w.internalPaint;
  if (!(w.style & WS_VISIBLE)) {
    pending = pending || own || w.paintBelow;
    return nullptr;
  }
  if (own) {
    pending = true;
    if (w.queue.get() == &q && MatchesWindowLocked(filter, w.handle)) return &w;
  }
  if (!w.paintBelow) return nullptr;
  bool below = false;
  for (HWND h : w.children) {
    if (Window* c = FindWindowLocked(h)) {
      if (Window* found = FindPaintTargetLocked(*c, q, filter, below)) return found;
    }
  }
  w.paintBelow = below;
  pending = pending || below;
  return nullptr;
}

// Turns a queued mouse message into its final form: asks the window where
// the point is (WM_NCHITTEST), lets it set the cursor, and gives client or
// non-client coordinates. False when the message is to be dropped.
bool ResolveMouseInput(std::unique_lock<std::mutex>& lock, MSG& msg) {
  HWND hwnd = msg.hwnd;
  POINT screen = msg.pt;
  lock.unlock();
  LRESULT hit = CallWindowProcedure(hwnd, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
  CallWindowProcedure(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                      MAKELPARAM(WORD(hit), msg.message));
  lock.lock();
  if (hit == HTNOWHERE || hit == HTTRANSPARENT || hit == HTERROR) return false;
  if (hit != HTCLIENT) {
    msg.message = msg.message - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    msg.wParam = WPARAM(hit);
    msg.lParam = MAKELPARAM(screen.x, screen.y);
  }
  return true;
}

bool NextTimerLocked(MessageQueue& q, HWND filter, DWORD now, Timer*& due) {
  due = nullptr;
  for (Timer& t : q.timers) {
    if (!MatchesWindowLocked(filter, t.hwnd)) continue;
    if (DWORD(now - t.due) < 0x80000000u) {  // now >= due, wrap-safe
      if (!due || LONG(t.due - due->due) < 0) due = &t;
    }
  }
  return due != nullptr;
}

// The heart of GetMessage and PeekMessage.
bool FetchMessage(MSG* out, HWND filter, UINT low, UINT high, UINT remove, bool wait) {
  auto q = CurrentQueue();
  auto lock = Lock();
  for (;;) {
    if (!q->incoming.empty()) {
      ReplyToSent(lock, *q);
      continue;
    }
    // Posted and input messages.
    bool restart = false;
    for (auto it = q->posted.begin(); it != q->posted.end(); ++it) {
      if (it->converting) continue;
      if (!MatchesWindowLocked(filter, it->msg.hwnd) || !InRange(it->msg.message, low, high))
        continue;
      if (it->mouse) {
        it->converting = true;
        MSG msg = it->msg;
        bool keep = ResolveMouseInput(lock, msg);
        // The queue may have changed while unlocked: find the entry again.
        auto again = std::find_if(q->posted.begin(), q->posted.end(),
                                  [](const QueuedMessage& m) { return m.converting; });
        if (again == q->posted.end()) {
          restart = true;
          break;
        }
        again->converting = false;
        again->mouse = false;
        if (!keep) {
          q->posted.erase(again);
          restart = true;
          break;
        }
        again->msg = msg;
        it = again;
      }
      *out = it->msg;
      if (remove & PM_REMOVE) {
        q->posted.erase(it);
        TrackKeyStateLocked(*q, *out);
      }
      q->last = *out;
      return true;
    }
    if (restart) continue;
    if (q->quitPosted) {
      *out = MSG{nullptr, WM_QUIT, WPARAM(q->quitCode), 0, ClockNow(), Input().cursor};
      if (remove & PM_REMOVE) q->quitPosted = false;
      return true;
    }
    if (InRange(WM_PAINT, low, high)) {
      for (HWND h : TopLevelsLocked()) {
        Window* w = FindWindowLocked(h);
        if (!w) continue;
        bool pending = false;
        if (Window* target = FindPaintTargetLocked(*w, *q, filter, pending)) {
          *out = MSG{target->handle, WM_PAINT, 0, 0, ClockNow(), Input().cursor};
          q->last = *out;
          return true;
        }
      }
    }
    DWORD now = ClockNow();
    Timer* due = nullptr;
    if (InRange(WM_TIMER, low, high) && NextTimerLocked(*q, filter, now, due)) {
      *out = MSG{due->hwnd, WM_TIMER,      due->id, reinterpret_cast<LPARAM>(due->proc),
                 now,       Input().cursor};
      if (remove & PM_REMOVE) due->due = now + due->elapse;
      q->last = *out;
      return true;
    }
    if (!wait) return false;
    // Sleep until something arrives; with the real clock, also until the
    // next timer is due.
    if (!ClockIsManual() && !q->timers.empty()) {
      DWORD soonest = 0xFFFFFFFF;
      for (const Timer& t : q->timers)
        soonest = std::min<DWORD>(soonest, DWORD(LONG(t.due - now) < 0 ? 0 : t.due - now));
      q->wake.wait_for(lock, std::chrono::milliseconds(soonest));
    } else {
      q->wake.wait(lock);
    }
  }
}

// The send-wait hook of the test seam; gSendWaitHookSet spares every send the
// hook's lock while none is installed.
std::mutex gSendWaitHookMutex;
std::atomic<bool> gSendWaitHookSet{false};
quellor::desktop::SendWaitHook& InstalledSendWaitHook() {
  static quellor::desktop::SendWaitHook hook;
  return hook;
}

void NotifySendWaiting(HWND target) {
  quellor::desktop::SendWaitHook hook;
  {
    std::lock_guard<std::mutex> guard(gSendWaitHookMutex);
    hook = InstalledSendWaitHook();
  }
  if (hook) hook(target);
}

bool PostLocked(MessageQueue& q, HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (!q.alive) return false;
  QueuedMessage m;
  m.msg = MSG{hwnd, msg, w, l, ClockNow(), Input().cursor};
  q.posted.push_back(m);
  WakeQueueLocked(q);
  return true;
}

}  // namespace

namespace quellor::desktop {

SendWaitHook SetSendWaitHook(SendWaitHook hook) {
  std::lock_guard<std::mutex> guard(gSendWaitHookMutex);
  std::swap(InstalledSendWaitHook(), hook);
  gSendWaitHookSet = static_cast<bool>(InstalledSendWaitHook());
  return hook;
}

}  // namespace quellor::desktop

namespace quellor::win32 {

LRESULT SendToWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto q = CurrentQueue();
  auto lock = Lock();
  Window* w = FindWindowLocked(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (w->queue == q) {
    lock.unlock();
    return CallWindowProcedure(hwnd, message, wParam, lParam);
  }
  auto target = w->queue;
  if (!target || !target->alive) return 0;
  auto sent = std::make_shared<SentMessage>();
  sent->hwnd = hwnd;
  sent->message = message;
  sent->wParam = wParam;
  sent->lParam = lParam;
  sent->sender = q;
  target->incoming.push_back(sent);
  WakeQueueLocked(*target);
  // The loop below reads `done` under the lock, so an answer (or the end of
  // the target thread) while unlocked here is not missed.
  if (gSendWaitHookSet) {
    lock.unlock();
    NotifySendWaiting(hwnd);
    lock.lock();
  }
  // While waiting, answer messages sent to this thread so that two threads
  // sending to each other never deadlock.
  while (!sent->done) {
    if (!q->incoming.empty()) {
      ReplyToSent(lock, *q);
      continue;
    }
    q->wake.wait(lock);
  }
  return sent->result;
}

// Posts a message for a window of any thread (used by the input layer).
bool PostToWindowLocked(Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  return w.queue && PostLocked(*w.queue, w.handle, msg, wParam, lParam);
}

void TrackKeyStateLocked(MessageQueue& q, const MSG& msg) {
  auto set = [&](int vk, bool down) {
    BYTE& k = q.keys[vk & 0xFF];
    if (down && !(k & 0x80)) k ^= 0x01;
    k = BYTE(down ? (k | 0x80) : (k & ~0x80));
  };
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      set(int(msg.wParam), true);
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      set(int(msg.wParam), false);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
      set(VK_LBUTTON, true);
      break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
      set(VK_LBUTTON, false);
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
      set(VK_RBUTTON, true);
      break;
    case WM_RBUTTONUP:
    case WM_NCRBUTTONUP:
      set(VK_RBUTTON, false);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
      set(VK_MBUTTON, true);
      break;
    case WM_MBUTTONUP:
    case WM_NCMBUTTONUP:
      set(VK_MBUTTON, false);
      break;
  }
}

}  // namespace quellor::win32

extern "C" {

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return SendToWindow(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI InSendMessage(void) {
  auto q = CurrentQueue();
  auto lock = Lock();
  return q->receivingSent > 0 ? TRUE : FALSE;
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!hWnd) return PostThreadMessageA(CurrentThreadIdentifier(), Msg, wParam, lParam);
  auto lock = Lock();
  Window* w = FindWindowLocked(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return PostToWindowLocked(*w, Msg, wParam, lParam) ? TRUE : FALSE;
}

BOOL WINAPI PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (idThread == CurrentThreadIdentifier()) CurrentQueue();
  auto lock = Lock();
  auto q = QueueOfThreadLocked(idThread);
  if (!q || !PostLocked(*q, nullptr, Msg, wParam, lParam)) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
  auto q = CurrentQueue();
  auto lock = Lock();
  q->quitPosted = true;
  q->quitCode = nExitCode;
  WakeQueueLocked(*q);
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!lpMsg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (hWnd && hWnd != reinterpret_cast<HWND>(-1) && !IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  FetchMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, PM_REMOVE, true);
  return lpMsg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
  if (!lpMsg) return FALSE;
  return FetchMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg, false) ? TRUE : FALSE;
}

BOOL WINAPI WaitMessage(void) {
  MSG msg;
  FetchMessage(&msg, nullptr, 0, 0, PM_NOREMOVE, true);
  return TRUE;
}

DWORD WINAPI GetQueueStatus(UINT flags) {
  auto q = CurrentQueue();
  auto lock = Lock();
  DWORD status = 0;
  if (!q->incoming.empty()) status |= QS_SENDMESSAGE;
  for (const auto& m : q->posted) {
    status |= m.mouse
                  ? (m.msg.message == WM_MOUSEMOVE ? QS_MOUSEMOVE : QS_MOUSEBUTTON)
                  : (m.msg.message >= WM_KEYFIRST && m.msg.message <= WM_KEYLAST ? QS_KEY
                                                                                 : QS_POSTMESSAGE);
  }
  return (status & flags) << 16 | (status & flags);
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN)) return FALSE;
  int vk = int(lpMsg->wParam);
  int ch = 0;
  auto q = CurrentQueue();
  {
    auto lock = Lock();
    const BYTE* keys = q->keys;
    bool shift = keys[VK_SHIFT] & 0x80;
    bool control = keys[VK_CONTROL] & 0x80;
    bool caps = keys[VK_CAPITAL] & 0x01;
    if (vk >= 'A' && vk <= 'Z') {
      ch = control ? vk - 'A' + 1 : (shift != caps ? vk : vk - 'A' + 'a');
    } else if (vk >= '0' && vk <= '9') {
      static const char shifted[] = ")!@#$%^&*(";
      ch = shift ? shifted[vk - '0'] : vk;
    } else if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_BACK || vk == VK_TAB ||
               vk == VK_ESCAPE) {
      ch = vk == VK_SPACE ? ' ' : vk;
    } else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
      ch = '0' + (vk - VK_NUMPAD0);
    }
    if (!ch) return FALSE;
    // The character comes next, before anything else in the queue.
    QueuedMessage m;
    m.msg = *lpMsg;
    m.msg.message = lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    m.msg.wParam = WPARAM(ch);
    q->posted.push_front(m);
  }
  return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg) return 0;
  if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
    proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, ClockNow());
    return 0;
  }
  if (lpMsg->message == kAsyncWindowPosMessage && lpMsg->hwnd) {
    // Freed even when the window went away meanwhile.
    std::unique_ptr<WINDOWPOS> pos(TakeAsyncWindowPos(lpMsg->lParam));
    if (pos && IsWindow(pos->hwnd))
      SetWindowPos(pos->hwnd, pos->hwndInsertAfter, pos->x, pos->y, pos->cx, pos->cy, pos->flags);
    return 0;
  }
  if (!lpMsg->hwnd) return 0;
  {
    auto lock = Lock();
    Window* w = FindWindowLocked(lpMsg->hwnd);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    if (w->threadId != CurrentThreadIdentifier()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return 0;
    }
  }
  return CallWindowProcedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

DWORD WINAPI GetMessageTime(void) {
  auto q = CurrentQueue();
  auto lock = Lock();
  return q->last.time;
}

DWORD WINAPI GetMessagePos(void) {
  auto q = CurrentQueue();
  auto lock = Lock();
  return DWORD(MAKELONG(WORD(q->last.pt.x), WORD(q->last.pt.y)));
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  auto q = CurrentQueue();
  auto lock = Lock();
  if (hWnd) {
    Window* w = FindWindowLocked(hWnd);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    if (w->queue != q) {
      SetLastError(ERROR_ACCESS_DENIED);
      return 0;
    }
  }
  uElapse = std::clamp<UINT>(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  UINT_PTR id = nIDEvent;
  if (!hWnd) {
    static UINT_PTR nextThreadTimer = 0x7FF0;
    bool exists = false;
    for (const Timer& t : q->timers) exists = exists || (!t.hwnd && t.id == nIDEvent && nIDEvent);
    id = exists ? nIDEvent : ++nextThreadTimer;
  }
  DWORD now = ClockNow();
  for (Timer& t : q->timers) {
    if (t.hwnd == hWnd && t.id == id) {
      t.elapse = uElapse;
      t.due = now + uElapse;
      t.proc = lpTimerFunc;
      return hWnd && !id ? 1 : id;
    }
  }
  q->timers.push_back(Timer{hWnd, id, uElapse, now + uElapse, lpTimerFunc});
  WakeQueueLocked(*q);
  return hWnd && !id ? 1 : id;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  auto q = CurrentQueue();
  auto lock = Lock();
  auto& timers = q->timers;
  auto it = std::find_if(timers.begin(), timers.end(),
                         [&](const Timer& t) { return t.hwnd == hWnd && t.id == uIDEvent; });
  if (it == timers.end()) return FALSE;
  timers.erase(it);
  return TRUE;
}

}  // extern "C"
