// What the plug-in holds for its whole process: the video geometry and the
// settings read at load, the engine's switcher client, the board settings
// that the settings dialogs edit, and the module's attachment count.
//
// The shared object runs InitialiseStatics before anything else (its static
// initialisation) and ProcessAttach after it (its entry point); tests run
// them in-process with their own settings folder and board.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "VideoGeometry.h"

namespace quellor::rtvbridge {

struct BridgeSettingsState;  // the settings store's values (BridgeSettings.cpp)

struct BridgeProcess {
  VideoGeometry geometry;
  bool countDroppedFrames = false;  // "StopRecordingWhenFramesAreDropped"
  DWORD switcherClient = 0;
  HMODULE module = nullptr;
  int attachCount = 0;
  std::unique_ptr<BridgeSettingsState> settings;
};

BridgeProcess& Process();

// Static initialisation: geometry and load-time settings, the board
// connection (two tries) and the board settings sent to the engine. False
// when the board is missing, after the "Error" message box.
bool InitialiseStatics();
// Exit-time work: board settings saved, switcher client closed, open clips
// closed, the dialog-bound variable destroyed. Safe to call twice.
void CleanUpStatics();

// Entry point work of a process attach: the first attachment stores the
// module handle and runs the refresh-rate check; later ones do nothing.
void ProcessAttach(HMODULE module);

// "ForceNoFrameDrop", as the output settings dialog edits it.
int ForceNoFrameDrop();

// The pause between the engine sends at load (100 ms); tests replace it.
void SetLoadPause(std::function<void(DWORD)> pause);

}  // namespace quellor::rtvbridge
