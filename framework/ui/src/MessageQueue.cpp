// The framework's message loop with its listeners and diversions.
#include "qlxrapi/MessageQueue.h"

#include <vector>

#include "qlxrapi/StartupSteps.h"
#include "qlxrapi/WindowMessages.h"
#include "qlxrapi/tList.h"

namespace {

// Created at start-up; a listener made before then (a static object in a
// host) makes them itself.
tList<MessageQueue_Listener*>* g_listeners = nullptr;
tList<MessageQueue_Diversion*>* g_diversions = nullptr;

template <typename T>
tList<T*>& ListOf(tList<T*>*& list) {
  if (list == nullptr) list = new tList<T*>;
  return *list;
}

template <typename T>
std::vector<T*> Snapshot(tList<T*>*& list) {
  tList<T*>& items = ListOf(list);
  items.Lock();
  std::vector<T*> copy(items.GetItems(), items.GetItems() + items.GetNoItems());
  items.UnLock();
  return copy;
}

template <typename T>
bool Contains(tList<T*>*& list, T* item) {
  tList<T*>& items = ListOf(list);
  items.Lock();
  bool found = false;
  for (std::uint32_t i = 0; i < items.GetNoItems() && !found; ++i) found = items[i] == item;
  items.UnLock();
  return found;
}

bool StartMessageQueueLists() {
  ListOf(g_listeners);
  ListOf(g_diversions);
  return true;
}

void StopMessageQueueLists() {
  delete g_listeners;
  delete g_diversions;
  g_listeners = nullptr;
  g_diversions = nullptr;
}

// Listeners are called only while still listed: one may remove another.
bool CallPre(const MSG& m) {
  bool stop = false;
  for (MessageQueue_Listener* listener : Snapshot(g_listeners))
    if (Contains(g_listeners, listener))
      stop = listener->PreCallback(m.hwnd, m.message, static_cast<unsigned>(m.wParam),
                                   static_cast<unsigned>(m.lParam)) ||
             stop;
  return stop;
}

void CallPost(const MSG& m) {
  for (MessageQueue_Listener* listener : Snapshot(g_listeners))
    if (Contains(g_listeners, listener))
      listener->PostCallback(m.hwnd, m.message, static_cast<unsigned>(m.wParam),
                             static_cast<unsigned>(m.lParam));
}

bool Diverted(MSG* m) {
  bool consumed = false;
  for (MessageQueue_Diversion* diversion : Snapshot(g_diversions))
    if (Contains(g_diversions, diversion)) consumed = diversion->Divert(m) || consumed;
  return consumed;
}

void Handle(MSG* m) {
  TranslateMessage(m);
  if (Diverted(m)) return;
  if (!CallPre(*m)) DispatchMessageA(m);
  CallPost(*m);
}

}  // namespace

QLXRAPI_STARTUP_STEP(MessageQueueLists, &StartMessageQueueLists, &StopMessageQueueLists);

void ExecuteMessageQueue() {
  MSG m{};
  while (GetMessageA(&m, nullptr, 0, 0) > 0) Handle(&m);
}

void FlushMessageQueue() {
  MSG m{};
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      // Left for the loop that owns the program.
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    Handle(&m);
  }
}

MessageQueue_Listener::MessageQueue_Listener() {
  ListOf(g_listeners).AddItem(this);
}
MessageQueue_Listener::~MessageQueue_Listener() {
  if (g_listeners == nullptr) return;
  g_listeners->Lock();
  for (std::uint32_t i = 0; i < g_listeners->GetNoItems(); ++i)
    if ((*g_listeners)[i] == this) {
      g_listeners->RemoveItemAtInOrder(i);
      break;
    }
  g_listeners->UnLock();
}

MessageQueue_Diversion::~MessageQueue_Diversion() {
  RemoveMessageDiversion(this);
}

void AddMessageDiversion(MessageQueue_Diversion* diversion) {
  if (diversion != nullptr) ListOf(g_diversions).AddItem(diversion);
}

void RemoveMessageDiversion(MessageQueue_Diversion* diversion) {
  if (g_diversions == nullptr) return;
  g_diversions->Lock();
  for (std::uint32_t i = 0; i < g_diversions->GetNoItems(); ++i)
    if ((*g_diversions)[i] == diversion) {
      g_diversions->RemoveItemAtInOrder(i);
      break;
    }
  g_diversions->UnLock();
}

bool CurrentlyUsingDiversion(MessageQueue_Diversion* diversion) {
  return Contains(g_diversions, diversion);
}

Message_DiversionLoop::~Message_DiversionLoop() = default;

void Message_DiversionLoop::LoopDiversion(HWND capture) {
  SetCapture(capture);
  MSG m{};
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    switch (DiversionLoop(&m, &m.message, &m.wParam, &m.lParam)) {
      case 0:
        CallPre(m);
        CallPost(m);
        break;
      case 1:
        if (!CallPre(m)) DispatchMessageA(&m);
        CallPost(m);
        break;
      case 2:
        ReleaseCapture();
        return;
      default:
        break;
    }
  }
  PostQuitMessage(0);
  ReleaseCapture();
}

bool MouseEnterContext::PreCallback(HWND window, unsigned message, unsigned, unsigned) {
  if (message == WM_MOUSEMOVE && window != m_last) {
    HWND left = m_last;
    m_last = window;
    if (left != nullptr && IsWindow(left)) SendMessageA(left, WM_ORVANE_MOUSE_EXIT, 0, 0);
    SendMessageA(window, WM_ORVANE_MOUSE_ENTER, 0, 0);
  }
  return false;
}

void MouseEnterContext::PostCallback(HWND, unsigned, unsigned, unsigned) {}
