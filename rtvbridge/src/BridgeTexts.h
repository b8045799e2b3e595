// The plug-in's own texts, shown to the user or written to the debugger.
#pragma once

namespace quellor::rtvbridge {

inline constexpr const char* kBoardNotFound =
    "The Video Quellor board was not found, this could be because the device driver failed to "
    "load.";
inline constexpr const char* kBoardNotFoundCaption = "Error";
inline constexpr const char* kSwitcherClientPrefix = "apps.EdgeWright.Switcher";
inline constexpr const char* kUnknownInternalError = "Unknown Internal Error";
inline constexpr const char* kWarningCaption = "Warning !";
inline constexpr const char* kDoNotShowAgain = "Do not show this message again";
inline constexpr const char* kRefreshWarningFormat =
    "Your monitor refresh rate is %d Hz, your current output setting is set for %f Hz. For "
    "optimal onscreen viewing performance, the monitor refresh rate should be a multiple of the "
    "output setting, eg. %2.2d Hz, %2.2d Hz, %2.2d Hz";
// Thrown when a frame's fields cannot be stored (a full disk, a failing drive).
inline constexpr const char* kCannotWriteFrame = "Cannot write to output file.";

}  // namespace quellor::rtvbridge
