// DynamicTalker: the source of change notices, and the registrations it keeps.
#pragma once

#include <quellor/Export.h>

#include <atomic>
#include <cstdint>

#include "DynamicArguments.h"
#include "DynamicListener.h"
#include "tList.h"

// One registration: the listener and the id handed back with every notice.
struct DynamicListenerItem {
  DynamicListenerItem() = default;
  DynamicListenerItem(DynamicListener* listenerToCall, long registrationId)
      : listener(listenerToCall), id(static_cast<std::int32_t>(registrationId)) {}

  DynamicListener* listener = nullptr;
  std::int32_t id = 0;
};

// A talker calls each registered listener synchronously when it announces a
// change. Every live talker is linked into one process-wide chain, guarded by
// one process-wide recursive lock, so that a listener can remove itself from
// all talkers when it goes away. Destroying a talker announces
// "DynamicTalker::Delete" with the talker's address as the first word of args.
class QUELLOR_EXPORT DynamicTalker {
 public:
  // Throws "Could not create listener list !" when the list cannot be made.
  DynamicTalker();
  virtual ~DynamicTalker();

  // A copy would share the listener list and the place in the chain.
  DynamicTalker(const DynamicTalker&) = delete;
  DynamicTalker& operator=(const DynamicTalker&) = delete;

  // Appends {listener, id}; a listener may be registered several times and
  // each registration is called. A null listener is ignored.
  void AddDependant(DynamicListener* listener, long id);
  // Removes every registration of listener; the last registration moves into
  // each freed place. A null listener is ignored.
  void DeleteDependant(DynamicListener* listener);

  // Calls every registration in list order with name and args, on this
  // thread, before returning; while messages are off only records that a
  // notice was suppressed. The registrations called are those present when
  // the notice starts that are still present when their turn comes: a
  // registration added by a callback hears the next notice, one removed by a
  // callback (or by its listener's destruction) is not called. A callback may
  // destroy this talker; the notice then ends with the callback. A notice
  // sent from inside this talker's own notices more than kMaxNestedNotices
  // deep on one thread is dropped, so that listeners that keep setting the
  // value back and forth end instead of exhausting the stack.
  void ChangedARGS(const char* name, void* args);
  static constexpr int kMaxNestedNotices = 32;

  // ChangedARGS with the extra arguments packed as DynamicArguments.h says.
  template <typename... Arguments>
  void Changed(const char* name, Arguments... arguments) {
    DynamicArgumentWord words[sizeof...(Arguments) + 1] = {ToDynamicArgumentWord(arguments)..., 0};
    ChangedARGS(name, words);
  }

  // Suppression brackets. The depth counts nesting but the pending flag is
  // single: MessagesOff clears it, MessagesOn clears it after its optional
  // "Changed" notice, so a change inside an inner bracket is not announced by
  // the outer MessagesOn(true).
  void MessagesOff();
  void MessagesOn(bool send = true);

  std::int32_t GetMessagesOffDepth() const {
    return m_messagesOffDepth.load(std::memory_order_relaxed);
  }
  bool IsMessagePending() const { return m_pending.load(std::memory_order_relaxed); }
  // The number of registrations (a snapshot).
  std::uint32_t GetNoDependants() const;

 private:
  friend class DynamicListener;
  struct Walk;
  static void DeleteDependantFromAllTalkers(DynamicListener* listener);
  // always: delivered whatever the nesting (the "DynamicTalker::Delete" notice).
  void DeliverToDependants(const char* name, void* args, bool always);
  bool IsRegistered(const DynamicListenerItem& item) const;
  void EndWalksOfThisThread();

  tList<DynamicListenerItem>* m_dependants = nullptr;
  DynamicTalker* m_next = nullptr;
  // The notices under way on this talker, newest first; guarded by the
  // dependants list's lock.
  Walk* m_walks = nullptr;
  // Atomic so that render threads may notify while the window thread
  // brackets; same size and layout as the plain 32-bit counter and byte flag.
  std::atomic<std::int32_t> m_messagesOffDepth{0};
  std::atomic<bool> m_pending{false};
};
