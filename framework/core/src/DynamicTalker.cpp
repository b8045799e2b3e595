#include "qlxrapi/DynamicTalker.h"

#include <new>
#include <thread>
#include <vector>

#include "DeliveryTracker.h"
#include "TalkerChain.h"

namespace {

DynamicTalker* g_chainHead = nullptr;  // the most recently constructed live talker

// The registrations a notice calls, as they stood when it started. Most
// talkers have a handful of listeners: those fit without allocating.
class Snapshot {
 public:
  void Take(const tList<DynamicListenerItem>& list) {
    m_count = list.GetNoItems();
    if (m_count > kInline) m_spill.assign(&list[0], &list[0] + m_count);
    DynamicListenerItem* items = Items();
    if (m_count <= kInline)
      for (std::uint32_t i = 0; i < m_count; ++i) items[i] = list[i];
  }
  std::uint32_t Count() const { return m_count; }
  const DynamicListenerItem& operator[](std::uint32_t i) { return Items()[i]; }

 private:
  static constexpr std::uint32_t kInline = 8;
  DynamicListenerItem* Items() { return m_count > kInline ? m_spill.data() : m_inline; }
  DynamicListenerItem m_inline[kInline];
  std::vector<DynamicListenerItem> m_spill;
  std::uint32_t m_count = 0;
};

}  // namespace

// One notice under way, on the notifying thread's stack. The talker's
// destructor clears talker when it runs on the same thread inside one of
// the notice's callbacks, so the walk stops without touching the talker.
struct DynamicTalker::Walk {
  DynamicTalker* talker;
  std::thread::id thread;
  Walk* next;
};

Variable_Block& TalkerChainLock() {
  alignas(Variable_Block) static unsigned char storage[sizeof(Variable_Block)];
  static Variable_Block* lock = new (storage) Variable_Block();
  return *lock;
}

DynamicTalker::DynamicTalker() {
  FunctionBlock hold(TalkerChainLock());
  m_dependants = new (std::nothrow) tList<DynamicListenerItem>();
  if (m_dependants == nullptr) throw const_cast<char*>("Could not create listener list !");
  m_next = g_chainHead;
  g_chainHead = this;
}

// The notice is delivered without the chain lock held: a listener may take
// its own locks there while another thread that holds one of them makes or
// destroys a talker. The talker stays in the chain until the notice is over,
// so listeners that go away meanwhile still find and leave it.
DynamicTalker::~DynamicTalker() {
  // Delivered even while messages are off: it is the listeners' only warning
  // that this value goes away.
  DynamicArgumentWord self = ToDynamicArgumentWord(this);
  DeliverToDependants("DynamicTalker::Delete", &self, true);
  {
    FunctionBlock hold(TalkerChainLock());
    for (DynamicTalker** link = &g_chainHead; *link != nullptr; link = &(*link)->m_next) {
      if (*link == this) {
        *link = m_next;
        break;
      }
    }
  }
  EndWalksOfThisThread();
  delete m_dependants;
}

// A notice of this talker whose callback is destroying it: the walk must not
// come back to the talker. Walks on other threads are the destroying
// caller's fault (a talker must not be destroyed while other threads use it)
// and are left as they are.
void DynamicTalker::EndWalksOfThisThread() {
  const std::thread::id self = std::this_thread::get_id();
  FunctionBlock hold(m_dependants->GetLock());
  for (Walk* walk = m_walks; walk != nullptr; walk = walk->next) {
    if (walk->thread == self) walk->talker = nullptr;
  }
  m_walks = nullptr;
}

void DynamicTalker::AddDependant(DynamicListener* listener, long id) {
  if (listener == nullptr) return;
  m_dependants->AddItem(DynamicListenerItem(listener, id));
}

void DynamicTalker::DeleteDependant(DynamicListener* listener) {
  if (listener == nullptr) return;
  FunctionBlock hold(m_dependants->GetLock());
  std::uint32_t i = 0;
  while (i < m_dependants->GetNoItems()) {
    // The entry moved into the freed place is examined too.
    if ((*m_dependants)[i].listener == listener) {
      m_dependants->RemoveItemAt(i);
    } else {
      ++i;
    }
  }
}

std::uint32_t DynamicTalker::GetNoDependants() const {
  FunctionBlock hold(m_dependants->GetLock());
  return m_dependants->GetNoItems();
}

void DynamicTalker::ChangedARGS(const char* name, void* args) {
  if (m_messagesOffDepth.load(std::memory_order_relaxed) > 0) {
    m_pending.store(true, std::memory_order_relaxed);
    return;
  }
  DeliverToDependants(name, args, false);
}

bool DynamicTalker::IsRegistered(const DynamicListenerItem& item) const {
  for (std::uint32_t i = 0; i < m_dependants->GetNoItems(); ++i) {
    const DynamicListenerItem& present = (*m_dependants)[i];
    if (present.listener == item.listener && present.id == item.id) return true;
  }
  return false;
}

// Walks the registrations as they stood when the notice started, checking
// each again just before its call: callbacks may add or remove registrations
// (removal moves entries about, so walking the live list would skip some),
// and other threads may do so at any time. Each check is made under the
// list's lock, which is released before the call so that callbacks may take
// other locks.
void DynamicTalker::DeliverToDependants(const char* name, void* args, bool always) {
  const std::thread::id self = std::this_thread::get_id();
  Snapshot snapshot;
  Walk walk{this, self, nullptr};
  {
    FunctionBlock hold(m_dependants->GetLock());
    int nested = 0;
    for (Walk* w = m_walks; w != nullptr; w = w->next) nested += w->thread == self ? 1 : 0;
    if (nested >= kMaxNestedNotices && !always) return;
    snapshot.Take(*m_dependants);
    walk.next = m_walks;
    m_walks = &walk;
  }
  for (std::uint32_t i = 0; i < snapshot.Count() && walk.talker != nullptr; ++i) {
    const DynamicListenerItem item = snapshot[i];
    m_dependants->Lock();
    if (!IsRegistered(item)) {
      m_dependants->UnLock();
      continue;
    }
    DeliveryTracker::Delivery delivery(item.listener);
    m_dependants->UnLock();
    item.listener->DynamicCallback(item.id, name, args);
  }
  if (walk.talker == nullptr) return;  // destroyed by a callback
  FunctionBlock hold(m_dependants->GetLock());
  for (Walk** link = &m_walks; *link != nullptr; link = &(*link)->next) {
    if (*link == &walk) {
      *link = walk.next;
      break;
    }
  }
}

void DynamicTalker::MessagesOff() {
  m_messagesOffDepth.fetch_add(1, std::memory_order_relaxed);
  m_pending.store(false, std::memory_order_relaxed);
}

void DynamicTalker::MessagesOn(bool send) {
  std::int32_t depth = m_messagesOffDepth.load(std::memory_order_relaxed);
  while (depth > 0 &&
         !m_messagesOffDepth.compare_exchange_weak(depth, depth - 1, std::memory_order_relaxed)) {
  }
  if (send && m_pending.load(std::memory_order_relaxed)) Changed("Changed");
  m_pending.store(false, std::memory_order_relaxed);
}

void DynamicTalker::DeleteDependantFromAllTalkers(DynamicListener* listener) {
  FunctionBlock hold(TalkerChainLock());
  for (DynamicTalker* talker = g_chainHead; talker != nullptr; talker = talker->m_next) {
    talker->DeleteDependant(listener);
  }
}
