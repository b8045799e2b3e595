// Records which listeners are being called on which threads, so that a
// listener that goes away can wait until calls already under way on other
// threads have returned.
#pragma once

#include <thread>

class DynamicListener;

namespace DeliveryTracker {

// One call under way. Lives on the delivering thread's stack and links itself
// into the process-wide record, so recording a call allocates nothing.
class Delivery {
 public:
  // Records the call. The caller holds the lock of the list it found the
  // listener in, so a listener being removed from that list either is not
  // found or is recorded before its removal finishes.
  explicit Delivery(const DynamicListener* listener);
  // Removes the record and wakes a waiting listener.
  ~Delivery();

  Delivery(const Delivery&) = delete;
  Delivery& operator=(const Delivery&) = delete;

 private:
  friend void WaitForOtherThreads(const DynamicListener* listener);
  const DynamicListener* m_listener;
  std::thread::id m_thread;
  Delivery* m_previous = nullptr;
  Delivery* m_next = nullptr;
};

// Returns when no thread other than the calling one is in a call to listener.
void WaitForOtherThreads(const DynamicListener* listener);

}  // namespace DeliveryTracker
