// The subset's clipboard as the display tests read it.
#pragma once

#include <string>

#include "windows.h"

namespace quellor::display::testing {

// The subset clipboard's CF_TEXT, or "" when it holds none or another
// thread has it open.
inline std::string SubsetText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (auto* p = static_cast<const char*>(GlobalLock(h))) text = p;
    GlobalUnlock(h);
  }
  CloseClipboard();
  return text;
}

}  // namespace quellor::display::testing
