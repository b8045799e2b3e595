// The check at load that the monitor's refresh rate suits the video
// standard, and the warning dialog it shows ("Warning !", a text, "OK" and
// the check box "Do not show this message again").
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "VideoGeometry.h"

namespace quellor::rtvbridge {

// Dialog resource of the warning and its controls.
inline constexpr WORD kWarningDialogId = 103;
inline constexpr WORD kWarningTextId = 1000;
inline constexpr WORD kWarningCheckBoxId = 1001;

// The warning text for a refresh rate in Hz, or nothing when the rate is
// unknown (1 or less) or a whole multiple of the frame rate (within 0.001).
std::optional<std::string> RefreshWarningText(int refreshHz, const VideoGeometry& geometry);

// Shows the warning dialog modally and top-most with `text`; true when the
// check box was ticked as it closed (OK or Cancel). Unattended (nobody acts
// on modal dialogs) it writes "Warning !: text" to standard error and closes
// with OK, as an unanswered message box does.
bool ShowWarningDialog(HMODULE module, const std::string& text);

// "Refresh Rate Warning" non-zero: reads the screen's refresh rate and, when
// it does not suit, shows the warning and stores 0 under the key if the box
// was ticked, else 1.
void RunRefreshRateCheck(HMODULE module, const VideoGeometry& geometry);

}  // namespace quellor::rtvbridge
