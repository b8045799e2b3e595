// What the plug-in holds for its whole process: the video geometry and the
// settings read at load, the engine's switcher client, the board settings
// that the settings dialogs edit, and the module's attachment count.
//
// The shared object runs InitialiseStatics before anything else (its static
// initialisation) and ProcessAttach after it (its entry point); tests run
// them in-process with their own settings folder and board.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

#include "VideoGeometry.h"

namespace quellor::rtvbridge {

struct BridgeSettingsState;  // the settings store's values (BridgeSettings.cpp)
class OutputDevice;          // the sink's device (OutputDevice.h)

struct BridgeProcess {
  VideoGeometry geometry;
  // "StopRecordingWhenFramesAreDropped": the drop-counting flag, which the
  // input settings dialog changes while a recording runs.
  std::atomic<bool> countDroppedFrames{false};
  // Set while a recording context exists (the input settings dialog reads it).
  std::atomic<bool> recordingOpen{false};
  // The one output device, from AVFILE_QueryInterfaceSink to
  // AVFILE_CloseInterfaceSink.
  std::unique_ptr<OutputDevice> outputDevice;
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

// The process's output device (SinkExports.cpp): created by the sink query
// when there is none (throws the failed step's text), destroyed by the
// close of the sink interface.
void CreateOutputDevice();
void DestroyOutputDevice();

// The unload's clean-up of what a host left open (SinkExports.cpp,
// RecordingExports.cpp): every sink handle with its preview, every
// recording context with its writer and probe. The handles are invalid
// afterwards.
void CloseAllSinks();
void CloseAllRecordings();

// "ForceNoFrameDrop", as the output settings dialog edits it.
int ForceNoFrameDrop();

// The pauses between engine steps: the sends at load (100 ms), the
// teardown of the recording context and the output device. Tests replace
// them with nothing.
void SetLoadPause(std::function<void(DWORD)> pause);
void EnginePause(DWORD milliseconds);

}  // namespace quellor::rtvbridge
