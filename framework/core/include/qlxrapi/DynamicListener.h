// DynamicListener: the receiver of change notices.
#pragma once

#include <quellor/Export.h>

class QUELLOR_EXPORT DynamicListener {
 public:
  DynamicListener() = default;
  // A copy is a new listener: it is registered with no talker.
  DynamicListener(const DynamicListener&) {}
  DynamicListener& operator=(const DynamicListener&) { return *this; }

  // Called synchronously, on the notifying thread, for every notice of a
  // talker this listener is registered with; id is the registration's id and
  // args the notice's extra-argument block (DynamicArguments.h). May be
  // called from any thread. The base does nothing.
  virtual void DynamicCallback(long id, const char* name, void* args);

  // Removes this listener from every live talker.
  virtual ~DynamicListener();

  // Removes every registration of this listener from every live talker, then
  // waits until deliveries to it that other threads had already begun have
  // returned. Afterwards no call reaches this listener until it is registered
  // again. A derived class whose callback uses its own members calls this
  // first in its destructor, so that no delivery runs while they are torn
  // down. Must not be called while holding something that a callback of this
  // listener on another thread waits for.
  void RemoveAllDependantsToThis();
};
