#include "qlxrapi/DynamicTalker.h"

#include <new>

#include "DeliveryTracker.h"
#include "TalkerChain.h"

namespace {

DynamicTalker* g_chainHead = nullptr;  // the most recently constructed live talker

}  // namespace

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

DynamicTalker::~DynamicTalker() {
  FunctionBlock hold(TalkerChainLock());
  // Delivered even while messages are off: it is the listeners' only warning
  // that this value goes away.
  DynamicArgumentWord self = ToDynamicArgumentWord(this);
  DeliverToDependants("DynamicTalker::Delete", &self);
  for (DynamicTalker** link = &g_chainHead; *link != nullptr; link = &(*link)->m_next) {
    if (*link == this) {
      *link = m_next;
      break;
    }
  }
  delete m_dependants;
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
  DeliverToDependants(name, args);
}

// Walks the registrations by index, as they stand at each step: a listener
// may add or remove registrations of this talker from inside its callback,
// and other threads may do so at any time. Each entry is read under the
// list's lock, which is released before the call so that callbacks may take
// other locks.
void DynamicTalker::DeliverToDependants(const char* name, void* args) {
  for (std::uint32_t i = 0;; ++i) {
    m_dependants->Lock();
    if (i >= m_dependants->GetNoItems()) {
      m_dependants->UnLock();
      return;
    }
    const DynamicListenerItem item = (*m_dependants)[i];
    DeliveryTracker::Delivery delivery(item.listener);
    m_dependants->UnLock();
    item.listener->DynamicCallback(item.id, name, args);
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
