// A seam for tests of cross-thread sending: the hook runs on the sending
// thread each time SendMessage has queued its message for another thread and
// is about to wait for the answer, so a test can act exactly then (end the
// receiving thread, say) instead of guessing with a sleep.
#pragma once

#include <functional>

#include "quellor/Export.h"
#include "win32/user.h"

namespace quellor::desktop {

// `target` is the window the message went to. The hook runs without the
// window system's lock held, so it may call the window functions.
using SendWaitHook = std::function<void(HWND target)>;
// Installs the hook (an empty function removes it); returns the previous one.
QUELLOR_EXPORT SendWaitHook SetSendWaitHook(SendWaitHook hook);

}  // namespace quellor::desktop
