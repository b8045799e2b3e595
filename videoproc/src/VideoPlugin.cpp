// Video.quell's classes, registered by name with the framework while the
// plug-in loads and removed while it unloads.
#include <qlxrapi/PluginRegistration.h>

#include "videoproc/DataStream.h"
#include "videoproc/DataStream_Data.h"

ORVANE_PLUGIN_CLASS(DataStream)
ORVANE_PLUGIN_CLASS(DataStream_Data)

namespace {

const PluginClassEntry kVideoClasses[] = {
    ORVANE_PLUGIN_ENTRY(DataStream),
    ORVANE_PLUGIN_ENTRY(DataStream_Data),
};

}  // namespace

extern "C" QUELLOR_EXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  return AnswerPluginEntryPoint(reason, kVideoClasses) ? TRUE : FALSE;
}
