#include "PreviewProgram.h"

#include <atomic>
#include <string>

#include "BridgeSettings.h"
#include "BridgeTexts.h"

namespace quellor::rtvbridge {
namespace {

std::atomic<DWORD> g_closeWait{1000};

}  // namespace

void PreviewProgram::SetCloseWait(DWORD milliseconds) {
  g_closeWait = milliseconds;
}

void PreviewProgram::StartIfWanted() {
  if (process_.IsRunning()) return;
  process_.Forget();
  if (ReadSetting(settingKey_, 1) == 0) return;
  if (!process_.Start(fileName_)) throw kCannotLaunchPreview;
  OutputDebugStringA(("rtvbridge: started " + process_.Path() + "\n").c_str());
}

void PreviewProgram::End() {
  if (!process_.Started()) {
    WriteSetting(settingKey_, 0);
    return;
  }
  WriteSetting(settingKey_, process_.IsRunning() ? 1 : 0);
  process_.Close(g_closeWait);
}

}  // namespace quellor::rtvbridge
