// Pieces shared by the modal loops (popup menus, modal dialog boxes).
#pragma once

#include "win32/user.h"

namespace quellor::win32 {

// Tells the owner (WM_ENTERIDLE with `kind`, MSGF_MENU or MSGF_DIALOGBOX) and
// the modal idle hook that the loop of `modalWindow` has nothing to do.
void NotifyModalIdle(HWND owner, WPARAM kind, HWND modalWindow);

enum class ModalNext { Message, Ended, Quit };
// Takes the next message for a modal loop: at once when one is waiting,
// otherwise after announcing idleness, then waiting. Ended when `ended` was
// set meanwhile (by the idle handlers); Quit on WM_QUIT, which is put back for
// the program's own loop.
ModalNext NextModalMessage(MSG& msg, HWND owner, WPARAM kind, HWND modalWindow, const bool& ended);

}  // namespace quellor::win32
