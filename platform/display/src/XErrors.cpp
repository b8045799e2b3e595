#include "XErrors.h"

#include <map>
#include <mutex>

namespace quellor::display {

namespace {

// Errors are rare; a lock is cheap enough. The map keeps one entry per
// connection address that ever had an error (a handful). It is never
// destroyed: the presenter's thread may still record an error while the
// process exits (a display that went away as the program ended), after the
// exit's destructors have run.
std::mutex g_errorsLock;
std::map<Display*, unsigned long>& LastFailedSerials() {
  static auto* serials = new std::map<Display*, unsigned long>;
  return *serials;
}

}  // namespace

int RecordProtocolError(Display* display, XErrorEvent* error) {
  if (!display || !error) return 0;
  std::lock_guard lock(g_errorsLock);
  LastFailedSerials()[display] = error->serial;
  return 0;
}

bool FailedSince(Display* display, unsigned long firstSerial) {
  unsigned long failed = 0;
  {
    std::lock_guard lock(g_errorsLock);
    auto found = LastFailedSerials().find(display);
    if (found == LastFailedSerials().end()) return false;
    failed = found->second;
  }
  // A serial past what this connection has had answered belongs to a closed
  // connection that lived at the same address.
  return failed >= firstSerial && failed <= LastKnownRequestProcessed(display);
}

}  // namespace quellor::display
