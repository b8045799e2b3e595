// What a scripted user copies: the clipboard contents of the script steps
// clipboard-bitmap, clipboard-metafile and clipboard-text. Each empties the
// clipboard, puts its format there (one clipboard-change notification) and
// returns false, with the reason on standard error, when it cannot.
#pragma once

#include <string>

#include "windows.h"

namespace quellor::clipviewer {

// A PNG picture as a bitmap (CF_BITMAP), as a paint program copies one.
bool CopyPngAsBitmap(HWND owner, const std::string& pngPath);
// An enhanced metafile (CF_ENHMETAFILE) of a drawing: a blue field framed in
// yellow, a red bar, white diagonals and `caption` in the middle.
bool CopyDrawingAsMetafile(HWND owner, const std::string& caption);
// Text (CF_TEXT), possibly empty.
bool CopyText(HWND owner, const std::string& text);

}  // namespace quellor::clipviewer
