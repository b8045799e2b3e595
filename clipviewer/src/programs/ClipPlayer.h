// The outside clip player "ZivaVIR", started by command line. Its result is
// not checked: without it the viewer runs on with whatever the board shows.
#pragma once

#include <string>

#include "app/ViewerState.h"

namespace quellor::clipviewer {

// The command line that plays the start-up clip: ZivaVIR "<clip>".
std::string StartupClipCommandLine(const std::string& clip);
// The command line that plays any other clip: zivavir "<clip>".
std::string PlayClipCommandLine(const std::string& clip);
// Makes the player let go of the output and of any open clip.
inline constexpr const char* kReleaseClipCommandLine = "ZivaVIR Foo";

// Starts the player hidden and forgets it.
void StartClipPlayer(const std::string& commandLine);

// Reads `NTSCStartupClip` or `PALStartupClip` for the video mode and starts
// the player on it.
void StartStartupClip(VideoMode mode);

}  // namespace quellor::clipviewer
