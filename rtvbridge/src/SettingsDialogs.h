// The board settings dialogs that the recording and sink settings calls
// open: the shared input settings dialog as resource 101 with the check box
// "Stop recording if frames are dropped", and the output settings dialog as
// resource 102 whose playback check box (1005) is "Force no frames to be
// dropped on playback". The additions are DialogExtras of the shared module.
#pragma once

#include <windows.h>

namespace quellor::rtvbridge {

inline constexpr WORD kInputSettingsResource = 101;
inline constexpr WORD kOutputSettingsResource = 102;
inline constexpr int kStopOnDropCheck = 1004;   // input dialog
inline constexpr int kForceNoDropCheck = 1005;  // output dialog
// "Show On Screen Preview": whether the recording context (input) or the sink
// (output) starts its preview program. The input box cannot take 1025, which
// is the U Gain edit of the shared dialog.
inline constexpr int kInputPreviewCheck = 1029;
inline constexpr int kOutputPreviewCheck = 1006;
inline constexpr const char* kInputPreviewKey = "EdgeWrightVideoPreviewIn";
inline constexpr const char* kOutputPreviewKey = "EdgeWrightVideoPreviewOut";
inline constexpr const char* kRecordCallbackCaption = "EdgeWrightRecordCallback";
inline constexpr const char* kSinkCallbackCaption = "EdgeWrightSinkCallback";

// Modal, owned by `owner`. Errors inside a dialog are shown under the
// dialog's own caption (kRecordCallbackCaption / kSinkCallbackCaption);
// `caption` names the export that asked (unused beyond that).
void ShowInputSettingsDialog(HWND owner, const char* caption);
void ShowOutputSettingsDialog(HWND owner, const char* caption);

}  // namespace quellor::rtvbridge
