// The waveform monitor's names and failure texts, thrown as char*.
#pragma once

namespace quellor::videoproc {

inline constexpr char kScopeEngineName[] = "media.apps.VectorScope";

inline const char* const kScopeNoSwitcher = "Could not create the switcher client.";
inline const char* const kScopeNoEngine =
    "Cannot initialise the realtime engine. Please kill Tessaline or OrvaneRTME in the "
    "taskmanager, and run again. If this fails, please uninstall your VideoQuellor, then "
    "reinstall on a fresh system.";
inline const char* const kScopeNoProbe =
    "Could not create Probe ! Please kill Tessaline or OrvaneRTME in the task manager, and run "
    "again. Try rebooting your machine and running again, If this fails, please uninstall your "
    "VideoQuellor, then reinstall on a fresh system.";
inline const char* const kScopeNoDisplayDC = "Could not create 256 color Memory DC";
inline const char* const kScopeNoBitmapData = "Could not get the bitmap data";

// Plug-in controls.
inline const char* const kControlNoWindowClass = "Could not register window class ##Type.";
inline const char* const kControlNoObject = "Could not create plugin type #Type";
inline const char* const kControlNotAWindow =
    "Could not create control because it is not a BaseWindowClass type";

}  // namespace quellor::videoproc
