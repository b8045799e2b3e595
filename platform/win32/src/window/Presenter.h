// Inside the subset: the hooks of the presenter seam (see
// win32/automation/Presenter.h).
#pragma once

namespace quellor::win32 {

// Loads and starts the display presenter the first time it is called, when
// the environment asks for one; does nothing afterwards.
void StartPresenterOnce();
// Called by CloseClipboard after a change.
void BumpClipboardVersion();

}  // namespace quellor::win32
