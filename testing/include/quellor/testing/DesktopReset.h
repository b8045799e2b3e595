// A clean in-memory desktop for each window-system test: the manual clock, a
// 1920 x 1080 screen, no capture; and at the end no held keys or buttons, no
// windows of the thread, no hooks and no queued messages.
#pragma once

namespace quellor::testing {

// At the start of a test.
void ResetDesktop();

// Pieces of the end of a test, in the order a fixture needs them.
// Releases keys and buttons still down while the windows can take the key-up
// messages, and runs the thread's messages until idle.
void ReleaseHeldInput();
// Removes the answer hook and the modal idle hook.
void ClearDesktopHooks();
// Destroys the calling thread's windows (other threads' stay) and releases
// the capture.
void DestroyThreadWindows();
// Throws away whatever is left in the calling thread's queue.
void DrainThreadQueue();

}  // namespace quellor::testing
