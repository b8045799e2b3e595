// Xlib has one protocol error handler for the whole process, whichever
// connection and thread an error comes on. Ours is set once and never swapped
// around a call (a swap raced with the errors of other connections in the
// same process); instead it records, per connection, the serial of the last
// failed request, so that a caller can ask afterwards whether its own request
// failed.
#pragma once

#include <X11/Xlib.h>

namespace quellor::display {

// The handler to give XSetErrorHandler: records the error, never fatal
// (a requestor that vanished, a window the server already destroyed).
int RecordProtocolError(Display* display, XErrorEvent* error);

// Whether a request of `display` numbered `firstSerial` or later (take
// NextRequest(display) just before sending it) failed, among the requests the
// server has answered so far: sync first. An error recorded for an earlier
// connection at the same address is not taken for one of this connection's.
bool FailedSince(Display* display, unsigned long firstSerial);

}  // namespace quellor::display
