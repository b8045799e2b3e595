// Video.quell's classes, registered by name with the framework while the
// plug-in loads and removed while it unloads.
#include <qlxrapi/PluginRegistration.h>

#include "videoproc/ChromaKey.h"
#include "videoproc/DataStream.h"
#include "videoproc/DataStream_Data.h"
#include "videoproc/LumaEffect.h"
#include "videoproc/RTVFileInput.h"
#include "videoproc/VideoGradient.h"
#include "videoproc/VideoQuellorOutput.h"
#include "WaveformPlugin.h"

ORVANE_PLUGIN_CLASS(DataStream)
ORVANE_PLUGIN_CLASS(DataStream_Data)
ORVANE_PLUGIN_CLASS(ChromaKey)
ORVANE_PLUGIN_CLASS(LumaEffect)
ORVANE_PLUGIN_CLASS(VideoGradient)
ORVANE_PLUGIN_CLASS(RTVFileInput)
ORVANE_PLUGIN_CLASS(VideoQuellorOutput)

namespace {

const PluginClassEntry kVideoClasses[] = {
    ORVANE_PLUGIN_ENTRY(DataStream),         ORVANE_PLUGIN_ENTRY(DataStream_Data),
    ORVANE_PLUGIN_ENTRY(ChromaKey),          ORVANE_PLUGIN_ENTRY(LumaEffect),
    ORVANE_PLUGIN_ENTRY(VideoGradient),      ORVANE_PLUGIN_ENTRY(RTVFileInput),
    ORVANE_PLUGIN_ENTRY(VideoQuellorOutput),
};

}  // namespace

QUELLOR_EXPORT_C BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (!AnswerPluginEntryPoint(reason, kVideoClasses)) return FALSE;
  return quellor::videoproc::AnswerScopeEntryPoint(reason) ? TRUE : FALSE;
}
