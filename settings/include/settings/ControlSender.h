// The way board settings reach the engine: named controls set on the input
// side (engine ordinal 99) or the output side (ordinal 100). Senders are a
// seam so that callers and tests can record the exact order of the calls.
#pragma once

#include <functional>

#include "windows.h"

namespace quellor::settings {

enum class ControlSide { Input, Output };

// Type codes of the engine's control calls.
inline constexpr DWORD kControlTypeSigned = 4;   // picture values (contrast, ...)
inline constexpr DWORD kControlTypeSetting = 5;  // formats, filters, switches

using ControlSender =
    std::function<void(ControlSide side, const char* name, DWORD typeCode, int value)>;

// Sends through the engine on the given switcher client. A refused control is
// not an error for the settings store: the board keeps its previous value.
ControlSender EngineControlSender(DWORD switcherClient);

}  // namespace quellor::settings
