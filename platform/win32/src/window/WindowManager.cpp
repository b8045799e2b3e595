#include "WindowManager.h"

#include <algorithm>
#include <atomic>
#include <strings.h>

#include "WindowDrawArea.h"
#include "win32/kernel.h"

namespace quellor::win32 {
namespace {

// Recently found windows by handle, in front of the table: handles are
// handed out in steps of 4 and never reused, so a few thousand windows made
// one after another each get a slot of their own. A slot is cleared before
// its window leaves the table.
struct RecentWindow {
  uintptr_t key = 0;
  Window* window = nullptr;
};
constexpr size_t kRecentSlots = 4096;
size_t RecentSlot(uintptr_t key) {
  return (key >> 2) & (kRecentSlots - 1);
}

struct State {
  std::mutex mutex;
  std::unordered_map<uintptr_t, std::unique_ptr<Window>> windows;
  RecentWindow recent[kRecentSlots];
  std::vector<HWND> topLevels;
  std::unordered_map<DWORD, std::weak_ptr<MessageQueue>> queues;
  std::vector<std::shared_ptr<WindowClass>> classes;
  InputState input;
};

State& S() {
  static State* state = new State;  // lives until exit: windows may be used from atexit code
  return *state;
}

std::atomic<uint64_t> gGeneration{1};

void RemoveFromParentListLocked(Window& w) {
  std::vector<HWND>* list = &S().topLevels;
  if (w.parent) {
    auto it = S().windows.find(reinterpret_cast<uintptr_t>(w.parent));
    if (it != S().windows.end()) list = &it->second->children;
  }
  list->erase(std::remove(list->begin(), list->end(), w.handle), list->end());
}

// Takes a window and its children off the screen and out of the table
// without any message: their thread is gone.
void DropWindowTreeLocked(HWND hwnd) {
  auto it = S().windows.find(reinterpret_cast<uintptr_t>(hwnd));
  if (it == S().windows.end()) return;
  std::vector<HWND> children = it->second->children;
  for (HWND c : children) DropWindowTreeLocked(c);
  it = S().windows.find(reinterpret_cast<uintptr_t>(hwnd));
  if (it == S().windows.end()) return;
  Window& w = *it->second;
  InputState& in = S().input;
  for (HWND* h : {&in.capture, &in.focus, &in.active, &in.foreground, &in.lastClickWindow}) {
    if (*h == hwnd) *h = nullptr;
  }
  RemoveFromParentListLocked(w);
  for (auto& [key, other] : S().windows) {
    if (other->owner == hwnd) other->owner = nullptr;
  }
  w.cls->windows--;
  if (w.ownDC) GdiTable::Remove(w.ownDC->Handle());
  ForgetHandleLocked(hwnd);
  S().windows.erase(it);
}

// Ends a thread's queue when the thread ends: senders waiting on it get 0,
// and the thread's windows go away with it, as on Windows.
struct QueueHolder {
  std::shared_ptr<MessageQueue> queue;
  ~QueueHolder() {
    if (!queue) return;
    auto lock = Lock();
    queue->alive = false;
    std::vector<HWND> orphans;
    for (auto& [key, w] : S().windows) {
      if (w->queue == queue &&
          (!w->parent || !S().windows.count(reinterpret_cast<uintptr_t>(w->parent)) ||
           S().windows[reinterpret_cast<uintptr_t>(w->parent)]->queue != queue)) {
        orphans.push_back(w->handle);
      }
    }
    for (HWND h : orphans) DropWindowTreeLocked(h);
    if (!orphans.empty()) ++gGeneration;
    for (auto& sent : queue->incoming) {
      sent->done = true;
      if (sent->sender) sent->sender->wake.notify_all();
    }
    queue->incoming.clear();
    S().queues.erase(queue->threadId);
  }
};
thread_local QueueHolder tQueue;

}  // namespace

std::unique_lock<std::mutex> Lock() {
  return std::unique_lock<std::mutex>(S().mutex);
}

InputState& Input() {
  return S().input;
}

// The same identifier as GetCurrentThreadId, so PostThreadMessageA and
// GetWindowThreadProcessId agree with the rest of the subset.
DWORD CurrentThreadIdentifier() {
  return GetCurrentThreadId();
}

std::shared_ptr<MessageQueue> CurrentQueue() {
  if (!tQueue.queue) {
    auto q = std::make_shared<MessageQueue>();
    q->threadId = CurrentThreadIdentifier();
    auto lock = Lock();
    S().queues[q->threadId] = q;
    tQueue.queue = q;
  }
  return tQueue.queue;
}

std::shared_ptr<MessageQueue> QueueOfThreadLocked(DWORD threadId) {
  auto it = S().queues.find(threadId);
  if (it == S().queues.end()) return nullptr;
  return it->second.lock();
}

void WakeQueueLocked(MessageQueue& q) {
  q.wake.notify_all();
}

void WakeAllQueues() {
  auto lock = Lock();
  for (auto& [id, weak] : S().queues) {
    if (auto q = weak.lock()) q->wake.notify_all();
  }
}

Window* FindWindowLocked(HWND hwnd) {
  State& state = S();
  const auto key = reinterpret_cast<uintptr_t>(hwnd);
  RecentWindow& slot = state.recent[RecentSlot(key)];
  if (slot.key == key && key != 0) return slot.window;
  auto it = state.windows.find(key);
  if (it == state.windows.end()) return nullptr;
  slot = RecentWindow{key, it->second.get()};
  return slot.window;
}

void ForgetHandleLocked(HWND hwnd) {
  const auto key = reinterpret_cast<uintptr_t>(hwnd);
  RecentWindow& slot = S().recent[RecentSlot(key)];
  if (slot.key == key) slot = RecentWindow{};
}

std::vector<HWND>& TopLevelsLocked() {
  return S().topLevels;
}

std::vector<HWND>& SiblingsLocked(Window& w) {
  if (w.parent) {
    if (Window* p = FindWindowLocked(w.parent)) return p->children;
  }
  return S().topLevels;
}

size_t SiblingIndexLocked(Window& w, const std::vector<HWND>& list) {
  const size_t hint = w.siblingHint;
  // A change to the list mostly shifts a window by one place at most.
  for (size_t at : {hint, hint + 1, hint - 1}) {
    if (at < list.size() && list[at] == w.handle) {
      w.siblingHint = at;
      return at;
    }
  }
  const size_t at = size_t(std::find(list.begin(), list.end(), w.handle) - list.begin());
  if (at < list.size()) w.siblingHint = at;
  return at;
}

void NotePaintPendingLocked(Window& w) {
  for (Window* p = w.parent ? FindWindowLocked(w.parent) : nullptr; p && !p->paintBelow;
       p = p->parent ? FindWindowLocked(p->parent) : nullptr) {
    p->paintBelow = true;
  }
}

std::atomic<uint64_t> gScreenVersion{1};

void BumpLayoutGenerationLocked() {
  ++gGeneration;
  ++gScreenVersion;
}
void NoteScreenDrawing() {
  ++gScreenVersion;
}
uint64_t ScreenVersion() {
  return gScreenVersion.load();
}
uint64_t WindowLayoutGeneration() {
  return gGeneration.load();
}

bool IsVisibleLocked(Window& w) {
  for (Window* p = &w; p; p = p->parent ? FindWindowLocked(p->parent) : nullptr) {
    if (!(p->style & WS_VISIBLE)) return false;
  }
  return true;
}

RECT ScreenRectLocked(Window& w) {
  RECT r = w.rect;
  for (Window* p = w.parent ? FindWindowLocked(w.parent) : nullptr; p;
       p = p->parent ? FindWindowLocked(p->parent) : nullptr) {
    r = Offset(r, p->rect.left + p->client.left, p->rect.top + p->client.top);
  }
  return r;
}

Window* TopLevelOfLocked(Window& w) {
  Window* top = &w;
  while (top->parent) {
    Window* p = FindWindowLocked(top->parent);
    if (!p) break;
    top = p;
  }
  return top;
}

POINT SurfaceOriginLocked(Window& w) {
  if (!w.parent) return POINT{0, 0};
  Window* p = FindWindowLocked(w.parent);
  if (!p) return POINT{0, 0};
  POINT o = SurfaceOriginLocked(*p);
  return POINT{o.x + p->client.left + w.rect.left, o.y + p->client.top + w.rect.top};
}

namespace {

// The area a window covers in its surface: its rectangle cut by its shape.
Region CoverageLocked(Window& w) {
  POINT o = SurfaceOriginLocked(w);
  Region area(RECT{o.x, o.y, o.x + Width(w.rect), o.y + Height(w.rect)});
  if (w.shape) {
    Region shape = *w.shape;
    shape.Offset(o.x, o.y);
    area = area.Intersected(shape);
  }
  return area;
}

// Whether a child's rectangle (in its parent's client coordinates, the
// parent's client area at `inside` in the surface) reaches into bounds.
bool Meets(const RECT& bounds, const RECT& childRect, POINT inside) {
  return !IsEmpty(Intersect(bounds, Offset(childRect, inside.x, inside.y)));
}

}  // namespace

Region VisibleRegionLocked(Window& w, bool clientArea) {
  if (!IsVisibleLocked(w)) return Region();
  POINT o = SurfaceOriginLocked(w);
  Region visible = CoverageLocked(w);
  if (clientArea) visible = visible.Intersected(Offset(w.client, o.x, o.y));
  // Ancestors: their client areas and shapes.
  for (Window* child = &w; child->parent;) {
    Window* p = FindWindowLocked(child->parent);
    if (!p) break;
    POINT po = SurfaceOriginLocked(*p);
    visible = visible.Intersected(Offset(p->client, po.x, po.y)).Intersected(CoverageLocked(*p));
    // Siblings above, when this level clips them; those that lie wholly
    // apart from what is left are passed over before any region work.
    if (child->style & WS_CLIPSIBLINGS) {
      const POINT inside{po.x + p->client.left, po.y + p->client.top};
      const RECT bounds = visible.Bounds();  // only shrinks in the loop
      for (HWND h : p->children) {
        if (h == child->handle) break;
        Window* s = FindWindowLocked(h);
        if (s && (s->style & WS_VISIBLE) && Meets(bounds, s->rect, inside))
          visible = visible.Subtracted(CoverageLocked(*s));
      }
    }
    child = p;
  }
  if (w.style & WS_CLIPCHILDREN) {
    const POINT inside{o.x + w.client.left, o.y + w.client.top};
    const RECT bounds = visible.Bounds();
    for (HWND h : w.children) {
      Window* c = FindWindowLocked(h);
      if (c && (c->style & WS_VISIBLE) && Meets(bounds, c->rect, inside))
        visible = visible.Subtracted(CoverageLocked(*c));
    }
  }
  return visible;
}

bool QueryWindowDrawArea(HWND hwnd, bool clientArea, WindowDrawArea& area) {
  auto lock = Lock();
  Window* w = FindWindowLocked(hwnd);
  if (!w) return false;
  Window* top = TopLevelOfLocked(*w);
  if (!top->surface) return false;
  area.surface = top->surface;
  POINT o = SurfaceOriginLocked(*w);
  area.origin = clientArea ? POINT{o.x + w->client.left, o.y + w->client.top} : o;
  area.visible = VisibleRegionLocked(*w, clientArea);
  return true;
}

namespace {

HWND ChildAtLocked(Window& parent, POINT screen, bool skipDisabled) {
  RECT sr = ScreenRectLocked(parent);
  LONG cx = screen.x - sr.left - parent.client.left, cy = screen.y - sr.top - parent.client.top;
  if (!Contains(RECT{0, 0, Width(parent.client), Height(parent.client)}, cx, cy)) return nullptr;
  for (HWND h : parent.children) {
    Window* c = FindWindowLocked(h);
    if (!c || !(c->style & WS_VISIBLE)) continue;
    if (!Contains(c->rect, cx, cy)) continue;
    if (c->shape && !c->shape->Contains(cx - c->rect.left, cy - c->rect.top)) continue;
    if (skipDisabled && (c->style & WS_DISABLED)) return nullptr;  // the parent gets it
    // Group boxes and plain labels answer HTTRANSPARENT on Windows: what lies
    // below them gets the mouse. They mark themselves with this style.
    if (c->exStyle & WS_EX_TRANSPARENT) continue;
    HWND deeper = ChildAtLocked(*c, screen, skipDisabled);
    return deeper ? deeper : h;
  }
  return nullptr;
}

}  // namespace

HWND WindowAtLocked(POINT screen, bool skipDisabled) {
  for (HWND h : S().topLevels) {
    Window* w = FindWindowLocked(h);
    if (!w || !(w->style & WS_VISIBLE)) continue;
    if (!Contains(w->rect, screen.x, screen.y)) continue;
    if (w->shape && !w->shape->Contains(screen.x - w->rect.left, screen.y - w->rect.top)) continue;
    HWND child = ChildAtLocked(*w, screen, skipDisabled);
    return child ? child : h;
  }
  return nullptr;
}

void InvalidateLocked(Window& w, const Region& clientRegion, bool erase, UINT flags) {
  if (!IsVisibleLocked(w)) return;
  Region r = clientRegion.Intersected(RECT{0, 0, Width(w.client), Height(w.client)});
  if (!r.IsEmpty()) {
    w.update = w.update.United(r);
    NotePaintPendingLocked(w);
    if (erase) w.erasePending = true;
    if (w.queue) WakeQueueLocked(*w.queue);
  }
  bool children =
      (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w.style & WS_CLIPCHILDREN));
  if (!children || w.children.empty()) return;
  // Children wholly outside the area are passed over before any region work.
  const RECT bounds = clientRegion.Bounds();
  for (HWND h : w.children) {
    Window* c = FindWindowLocked(h);
    if (!c || !(c->style & WS_VISIBLE) || IsEmpty(Intersect(bounds, c->rect))) continue;
    Region part = clientRegion.Intersected(c->rect);
    if (part.IsEmpty()) continue;
    part.Offset(-c->rect.left - c->client.left, -c->rect.top - c->client.top);
    InvalidateLocked(*c, part, erase, flags);
  }
}

void ValidateLocked(Window& w, const Region& clientRegion, bool children) {
  w.update = w.update.Subtracted(clientRegion);
  if (w.update.IsEmpty()) w.erasePending = false;
  if (!children || w.children.empty()) return;
  const RECT bounds = clientRegion.Bounds();
  for (HWND h : w.children) {
    Window* c = FindWindowLocked(h);
    if (!c || IsEmpty(Intersect(bounds, c->rect))) continue;
    Region part = clientRegion.Intersected(c->rect);
    part.Offset(-c->rect.left - c->client.left, -c->rect.top - c->client.top);
    ValidateLocked(*c, part, true);
  }
}

std::shared_ptr<WindowClass> FindClassLocked(LPCSTR name) {
  for (auto& c : S().classes) {
    if (IS_INTRESOURCE(name)) {
      if (c->atom == ATOM(reinterpret_cast<uintptr_t>(name))) return c;
    } else if (name && strcasecmp(c->name.c_str(), name) == 0) {
      return c;
    }
  }
  return nullptr;
}

LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc;
  {
    auto lock = Lock();
    Window* w = FindWindowLocked(hwnd);
    if (!w) return 0;
    proc = w->proc;
  }
  if (!proc) return DefWindowProcA(hwnd, message, wParam, lParam);
  return proc(hwnd, message, wParam, lParam);
}

void ReplyToSent(std::unique_lock<std::mutex>& lock, MessageQueue& q) {
  std::shared_ptr<SentMessage> sent = q.incoming.front();
  q.incoming.pop_front();
  ++q.receivingSent;
  lock.unlock();
  LRESULT result = CallWindowProcedure(sent->hwnd, sent->message, sent->wParam, sent->lParam);
  lock.lock();
  --q.receivingSent;
  sent->result = result;
  sent->done = true;
  if (sent->sender) sent->sender->wake.notify_all();
}

void PostInputLocked(Window& w, const MSG& msg, bool mouse) {
  if (!w.queue || !w.queue->alive) return;
  // Like Windows, a mouse move replaces one still waiting for the same
  // window, so a fast stream of moves never floods the queue.
  if (msg.message == WM_MOUSEMOVE && !w.queue->posted.empty()) {
    QueuedMessage& last = w.queue->posted.back();
    if (last.msg.message == WM_MOUSEMOVE && last.msg.hwnd == msg.hwnd && !last.converting &&
        last.mouse == mouse) {
      last.msg = msg;
      return;
    }
  }
  QueuedMessage q;
  q.msg = msg;
  q.mouse = mouse;
  w.queue->posted.push_back(q);
  WakeQueueLocked(*w.queue);
}

RECT ClientFromWindowRect(const RECT& r, DWORD style, DWORD exStyle) {
  RECT c{0, 0, Width(r), Height(r)};
  int frame = 0;
  if (style & WS_THICKFRAME) {
    frame = 4;
  } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
    frame = 3;
  } else if (style & WS_BORDER) {
    frame = 1;
  }
  if (exStyle & WS_EX_CLIENTEDGE) frame += 2;
  if (exStyle & WS_EX_STATICEDGE) frame += 1;
  c.left += frame;
  c.top += frame;
  c.right -= frame;
  c.bottom -= frame;
  if ((style & WS_CAPTION) == WS_CAPTION) c.top += (exStyle & WS_EX_TOOLWINDOW) ? 15 : 19;
  if (c.right < c.left) c.right = c.left;
  if (c.bottom < c.top) c.bottom = c.top;
  return c;
}

// Registry access for the files that create windows and classes.
std::unordered_map<uintptr_t, std::unique_ptr<Window>>& WindowTableLocked() {
  return S().windows;
}
std::vector<std::shared_ptr<WindowClass>>& ClassesLocked() {
  return S().classes;
}

}  // namespace quellor::win32
