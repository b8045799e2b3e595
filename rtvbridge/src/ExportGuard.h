// The error convention of the exports: work that throws a message text shows
// it in a message box captioned with the export's name, anything else thrown
// shows "Unknown Internal Error"; either way the export returns 0.
#pragma once

#include <windows.h>

#include <cstdint>

#include "BridgeTexts.h"

namespace quellor::rtvbridge {

inline void ShowExportError(const char* exportName, const char* text) {
  MessageBoxA(nullptr, text, exportName, MB_OK | MB_ICONERROR);
}

template <class Work>
std::int32_t RunGuarded(const char* exportName, Work&& work) noexcept {
  try {
    return work();
  } catch (const char* text) {
    ShowExportError(exportName, text != nullptr ? text : kUnknownInternalError);
  } catch (...) {
    ShowExportError(exportName, kUnknownInternalError);
  }
  return 0;
}

}  // namespace quellor::rtvbridge
