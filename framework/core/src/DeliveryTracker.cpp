#include "DeliveryTracker.h"

#include <condition_variable>
#include <mutex>
#include <new>

namespace DeliveryTracker {
namespace {

// The record is a leaf lock: nothing else is taken while it is held.
struct Record {
  std::mutex mutex;
  std::condition_variable finished;
  Delivery* first = nullptr;
  int waiters = 0;
};

// Never destroyed: deliveries may run during the process's exit.
Record& TheRecord() {
  alignas(Record) static unsigned char storage[sizeof(Record)];
  static Record* record = new (storage) Record();
  return *record;
}

}  // namespace

Delivery::Delivery(const DynamicListener* listener)
    : m_listener(listener), m_thread(std::this_thread::get_id()) {
  Record& record = TheRecord();
  std::lock_guard hold(record.mutex);
  m_next = record.first;
  if (m_next != nullptr) m_next->m_previous = this;
  record.first = this;
}

Delivery::~Delivery() {
  Record& record = TheRecord();
  std::lock_guard hold(record.mutex);
  if (m_previous != nullptr)
    m_previous->m_next = m_next;
  else
    record.first = m_next;
  if (m_next != nullptr) m_next->m_previous = m_previous;
  if (record.waiters > 0) record.finished.notify_all();
}

void WaitForOtherThreads(const DynamicListener* listener) {
  Record& record = TheRecord();
  const std::thread::id self = std::this_thread::get_id();
  auto busyElsewhere = [&] {
    for (Delivery* d = record.first; d != nullptr; d = d->m_next) {
      if (d->m_listener == listener && d->m_thread != self) return true;
    }
    return false;
  };
  std::unique_lock hold(record.mutex);
  ++record.waiters;
  record.finished.wait(hold, [&] { return !busyElsewhere(); });
  --record.waiters;
}

}  // namespace DeliveryTracker
