#include "BridgeProcess.h"

#include <string>
#include <utility>

#include "BridgeSettings.h"
#include "BridgeTexts.h"
#include "ClipHandles.h"
#include "OutputDevice.h"
#include "RefreshWarning.h"
#include "board/Engine.h"
#include "cliplib/clip/OpenClipTable.h"

namespace quellor::rtvbridge {
namespace {

std::function<void(DWORD)>& LoadPause() {
  static std::function<void(DWORD)> pause = [](DWORD milliseconds) { Sleep(milliseconds); };
  return pause;
}

// "apps.EdgeWright.Switcher" and the millisecond tick count; a second try
// when the first finds no client.
DWORD OpenSwitcherClient() {
  const std::string name = kSwitcherClientPrefix + std::to_string(GetTickCount());
  if (DWORD client = RTME_OpenSwitcherClient(name.c_str())) return client;
  return RTME_OpenSwitcherClient(name.c_str());
}

}  // namespace

BridgeProcess& Process() {
  static BridgeProcess process;
  return process;
}

void SetLoadPause(std::function<void(DWORD)> pause) {
  LoadPause() = pause ? std::move(pause) : [](DWORD milliseconds) { Sleep(milliseconds); };
}

void EnginePause(DWORD milliseconds) {
  LoadPause()(milliseconds);
}

bool InitialiseStatics() {
  BridgeProcess& process = Process();
  // Each initialiser of the geometry reads "VideoMode" for itself.
  process.geometry = GeometryForVideoMode(ReadSetting("VideoMode", 1));
  process.settings = std::make_unique<BridgeSettingsState>(ReadSetting("ForceNoFrameDrop", 1));
  process.countDroppedFrames = ReadSetting("StopRecordingWhenFramesAreDropped", 0) != 0;

  process.switcherClient = OpenSwitcherClient();
  if (process.switcherClient == 0) {
    MessageBoxA(nullptr, kBoardNotFound, kBoardNotFoundCaption, MB_OK | MB_ICONERROR);
    return false;
  }
  ReadAndSendBoardSettings(*process.settings, process.switcherClient, LoadPause());
  // Built now, before the unload's clean-up is registered, so that they are
  // destroyed after it has run: the open clip file table and the registries
  // of open handles (closing them now closes nothing).
  clip::OpenClipTable::Instance();
  ClipHandles::Reading().CloseAll();
  ClipHandles::Writing().CloseAll();
  CloseAllSinks();
  CloseAllRecordings();
  OutputDebugStringA("rtvbridge: switcher client open, board settings sent\n");
  return true;
}

void CleanUpStatics() {
  BridgeProcess& process = Process();
  // A host that unloads the plug-in without closing what it opened: the
  // recordings (their writers still append to clips of the table), the
  // sinks and the output device, then the clip handles and the clips.
  CloseAllRecordings();
  CloseAllSinks();
  process.outputDevice.reset();
  ClipHandles::Reading().CloseAll();
  ClipHandles::Writing().CloseAll();
  clip::OpenClipTable::Instance().CloseAll();
  if (process.settings && process.switcherClient != 0) SaveBoardSettings(*process.settings);
  if (process.switcherClient != 0) RTME_CloseSwitcherClient(process.switcherClient);
  process.switcherClient = 0;
  process.settings.reset();
}

void ProcessAttach(HMODULE module) {
  BridgeProcess& process = Process();
  if (process.attachCount++ != 0) return;
  process.module = module;
  RunRefreshRateCheck(module, process.geometry);
}

int ForceNoFrameDrop() {
  const BridgeProcess& process = Process();
  return process.settings ? process.settings->forceNoFrameDrop.Get() : 1;
}

}  // namespace quellor::rtvbridge
