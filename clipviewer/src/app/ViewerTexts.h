// Texts, names and numbers the clipboard viewer shows or relies on.
#pragma once

#include "windows.h"

namespace quellor::clipviewer {

inline constexpr const char* kAppTitle = "Video Quellor Director / Clipboard Viewer";
inline constexpr const char* kWindowClassName = "QLClip";
inline constexpr const char* kSwitcherClientPrefix = "apps.QLClipboard.Switcher";
inline constexpr const char* kHubName = "media.apps.qlclipboard";

inline constexpr const char* kBoardNotFound =
    "The Video Quellor board was not found, this could be because the device driver failed to "
    "load.";
inline constexpr const char* kBoardNotFoundTitle = "Error";
inline constexpr const char* kUnknownError = "Unknown Internal Error";
inline constexpr const char* kCannotRegisterClass = "Could not register main window WNDCLASS";
inline constexpr const char* kCannotUnregisterClass = "Could not unregister main window WNDCLASS";
inline constexpr const char* kCannotCreateWindow = "Cannot create main window application.";
inline constexpr const char* kCannotLaunchPreview =
    "Could not launch the application. Your Quellor installation is probably corrupted";

// Resources of the program module.
inline constexpr WORD kIconResource = 101;
inline constexpr WORD kMenuResource = 102;
inline constexpr UINT kTrayIconId = 101;
inline constexpr UINT kTrayCallbackMessage = 2034;
inline constexpr UINT kShowMenuMessage = WM_USER;  // 1024: the tray asked for the menu

// Menu commands.
inline constexpr UINT kCmdExit = 40001;
inline constexpr UINT kCmdOneToOne = 40002;
inline constexpr UINT kCmdStretchFit = 40003;
inline constexpr UINT kCmdDeInterlace = 40005;
inline constexpr UINT kCmdEnabled = 40007;
inline constexpr UINT kCmdPlay = 40008;
inline constexpr UINT kCmdInputSettings = 40023;
inline constexpr UINT kCmdOutputSettings = 40024;
inline constexpr UINT kCmdRecord = 40025;
inline constexpr UINT kCmdOutputPreview = 40026;
inline constexpr UINT kCmdInputPreview = 40027;

// Positions of the checked items in the menu's first popup.
inline constexpr UINT kMenuPosEnabled = 0;
inline constexpr UINT kMenuPosStretchFit = 2;
inline constexpr UINT kMenuPosOneToOne = 3;
inline constexpr UINT kMenuPosDeInterlace = 4;

}  // namespace quellor::clipviewer
