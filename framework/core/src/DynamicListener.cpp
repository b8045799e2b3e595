#include "qlxrapi/DynamicListener.h"

#include "DeliveryTracker.h"
#include "qlxrapi/DynamicTalker.h"

void DynamicListener::DynamicCallback(long /*id*/, const char* /*name*/, void* /*args*/) {}

DynamicListener::~DynamicListener() {
  RemoveAllDependantsToThis();
}

void DynamicListener::RemoveAllDependantsToThis() {
  DynamicTalker::DeleteDependantFromAllTalkers(this);
  // No new call can start now; wait for those that had started elsewhere.
  DeliveryTracker::WaitForOtherThreads(this);
}
