// The font configuration loaded ahead of the program's first text.
#pragma once

namespace quellor::display {

// Loads fontconfig's configuration and font caches (about 20 ms the first
// time in a process). Thread-safe; later calls return at once. A program on
// a desktop draws text soon (a copied text shown on the board, a menu, a
// dialog): done here, on the presenter's thread, the first text no longer
// waits for it.
void WarmFontConfiguration();

}  // namespace quellor::display
