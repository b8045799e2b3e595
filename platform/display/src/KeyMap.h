// X key symbols to the subset's virtual keys.
#pragma once

#include <X11/Xlib.h>

namespace quellor::display {

// The virtual key for an X key symbol (of the unshifted level), 0 when the
// subset has none. Letters map to 'A'..'Z', digits to '0'..'9'.
int KeySymToVirtualKey(KeySym symbol);

}  // namespace quellor::display
