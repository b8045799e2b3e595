// The default font made ready ahead of the program's first text.
#pragma once

namespace quellor::display {

// Has the subset realise its default font: fontconfig's configuration and
// font caches (about 20 ms the first time in a process) and the face itself.
// A program on a desktop draws text soon (its first caption, a menu, a copied
// text shown on the board): done while the presenter starts, the first text
// no longer waits for it (a copy from X reaching clipviewer's hidden window,
// say). Thread-safe: a program thread that needs the font meanwhile waits
// for this one rather than loading everything a second time.
void WarmFontConfiguration();

}  // namespace quellor::display
