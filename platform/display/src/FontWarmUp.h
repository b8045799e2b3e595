// The default font made ready ahead of the program's first text.
#pragma once

namespace quellor::display {

// Has the subset realise its default font: fontconfig's configuration and
// font caches (about 20 ms the first time in a process) and the face itself.
// A program on a desktop draws text soon (a copied text shown on the board,
// a menu, a dialog): done on a presenter thread, that first text no longer
// waits for it. Thread-safe: a program thread that needs the font meanwhile
// waits for this one rather than loading everything a second time.
void WarmFontConfiguration();

}  // namespace quellor::display
