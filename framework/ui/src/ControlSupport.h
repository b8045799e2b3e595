// Small pieces every control shares.
#pragma once

#include <cstdint>
#include <cstring>

#include "qlxrapi/BaseWindowClass.h"
#include "qlxrapi/ScreenObject.h"

namespace quellor::win {

// The talker a "DynamicTalker::Delete" notice is about (its first word).
inline DynamicTalker* DeletedTalker(void* args) {
  return args == nullptr ? nullptr
                         : reinterpret_cast<DynamicTalker*>(*static_cast<std::uintptr_t*>(args));
}

inline bool IsDeleteNotice(const char* name) {
  return name != nullptr && std::strcmp(name, "DynamicTalker::Delete") == 0;
}

// Notices of the window itself ("BaseWindowClass::...") change no look.
inline bool IsWindowNotice(const char* name) {
  return name != nullptr && std::strncmp(name, "BaseWindowClass::", 17) == 0;
}

// True when object draws nothing at all: a ScreenObjectNull, also behind
// registry entries.
bool DrawsNothing(ScreenObject* object);

// A control whose look changed: repaints when its preferred size (-1: the
// current size) is the size it has, else takes that size, which lays out its
// parent. Nothing happens before the control has a window.
void RepaintOrResize(BaseWindowClass* control, long preferredX, long preferredY);

}  // namespace quellor::win
