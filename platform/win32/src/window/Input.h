// Input entering the window system (from tests or a presenter): mouse moves,
// buttons and keys at screen positions.
#pragma once

#include "win32/user.h"

namespace quellor::win32 {

enum class MouseButton { Left, Right, Middle };

void InjectMouseMove(POINT screen);
void InjectMouseButton(MouseButton button, bool down, POINT screen);
void InjectKey(int virtualKey, bool down);
// WM_MOUSEWHEEL to the focus (else active) window; delta in WHEEL_DELTA units.
void InjectWheel(int delta, POINT screen);
HCURSOR CurrentCursor();

}  // namespace quellor::win32
