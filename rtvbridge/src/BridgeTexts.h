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

// Recording and output.
inline constexpr const char* kCannotInitialiseEngine = "Cannot initialise the realtime engine.";
inline constexpr const char* kCannotCreateProbe = "Could not create media probe !";
inline constexpr const char* kCannotConnectProbe = "Could not create Probe !";
inline constexpr const char* kCannotLaunchPreview =
    "Could not launch the application. Your Quellor installation is probably corrupted";
inline constexpr const char* kNotEnoughMemory = "Not enough memory";
inline constexpr const char* kCannotOpenBoardOutput = "Could not open the board output.";
inline constexpr const char* kStartupErrorFormat = "Error in startup : %s";
inline constexpr const char* kStartupErrorUnknown = "Error in startup : ##UNKNOWN##";
inline constexpr const char* kInputPreviewProgram = "VideoPreviewIn.exe";
inline constexpr const char* kOutputPreviewProgram = "VideoPreviewOut.exe";
inline constexpr const char* kProbeName = "media.apps.EdgeWright.probe";
inline constexpr const char* kInputPinFormat = "media.pins.quellor.vin%ld.out";
inline constexpr const char* kOutputName = "media.apps.EdgeWright";

// The bounded waits (WaitBounds.h) and the refusals of calls made out of order.
inline constexpr const char* kStopTimedOut =
    "No field arrived from the board's input after the stop time stamp (is there an input "
    "signal?). The recording was ended with the frames written so far.";
inline constexpr const char* kAddFileTimedOut =
    "The previous clip is still being recorded (stop it first, and check the board's input "
    "signal). The new clip was not added.";
inline constexpr const char* kRecordingWriteFailed =
    "Cannot write to output file. The clip keeps the frames written before the failure.";
inline constexpr const char* kNoFreeSinkBuffer =
    "No frame buffer became free in time: the output is stopped, or the host holds all 20 "
    "buffers without adding them.";
inline constexpr const char* kStopSinkTimedOut =
    "The queued frames were not shown in time; they stay queued until the next start.";
inline constexpr const char* kNoOutputDevice =
    "The output device is not open: query the sink interface first.";
inline constexpr const char* kInputSettingsNotAvailable =
    "The input settings dialog is not available in this build of the plug-in.";
inline constexpr const char* kOutputSettingsNotAvailable =
    "The output settings dialog is not available in this build of the plug-in.";

}  // namespace quellor::rtvbridge
