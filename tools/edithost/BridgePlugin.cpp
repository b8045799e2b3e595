#include "BridgePlugin.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace quellor::edithost {
namespace {

// The host level this host announces: high enough for every interface.
constexpr std::int32_t kHostLevel = 324;

template <class F>
bool Find(void* library, const char* name, F* function, std::string* missing) {
  *function = reinterpret_cast<F>(dlsym(library, name));
  if (*function == nullptr && missing->empty()) *missing = name;
  return *function != nullptr;
}

}  // namespace

std::string BridgePlugin::DefaultPath() {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return "rtvbridge.so";
  std::string path(self, static_cast<std::size_t>(length));
  return path.substr(0, path.find_last_of('/') + 1) + "rtvbridge.so";
}

std::unique_ptr<BridgePlugin> BridgePlugin::Load(const std::string& path, std::string* error) {
  // A bare name would make dlopen search the library path instead of the
  // file the user named.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    *error = dlerror();
    return nullptr;
  }
  std::unique_ptr<BridgePlugin> plugin(new BridgePlugin);
  plugin->library_ = library;
  BridgeCalls& c = plugin->calls_;
  std::string missing;
  Find(library, "AVFILE_QueryInterfaceReading", &c.queryReading, &missing);
  Find(library, "AVFILE_QueryInterfaceWriting", &c.queryWriting, &missing);
  Find(library, "AVFILE_QueryInterfaceRecording", &c.queryRecording, &missing);
  Find(library, "AVFILE_QueryInterfaceSink", &c.querySink, &missing);
  Find(library, "AVFILE_CloseInterfaceSink", &c.closeSinkInterface, &missing);
  Find(library, "AVFILE_OpenFileForRead", &c.openForRead, &missing);
  Find(library, "AVFILE_GetReadingFileInfo", &c.readingInfo, &missing);
  Find(library, "AVFILE_ReadImageFrame", &c.readFrame, &missing);
  Find(library, "AVFILE_CloseReadingFile", &c.closeReading, &missing);
  Find(library, "AVFILE_OpenFileForWrite", &c.openForWrite, &missing);
  Find(library, "AVFILE_SetWritingSettings", &c.writingSettings, &missing);
  Find(library, "AVFILE_GetWritingFileInfo", &c.writingInfo, &missing);
  Find(library, "AVFILE_WriteNextVideoFrame", &c.writeFrame, &missing);
  Find(library, "AVFILE_CloseFileForWrite", &c.closeWriting, &missing);
  Find(library, "AVFILE_OpenRecording", &c.openRecording, &missing);
  Find(library, "AVFILE_SetRecordingSettings", &c.recordingSettings, &missing);
  Find(library, "AVFILE_GetRecordingInfo", &c.recordingInfo, &missing);
  Find(library, "AVFILE_AddRecordingFile", &c.addRecordingFile, &missing);
  Find(library, "AVFILE_StartRecording", &c.startRecording, &missing);
  Find(library, "AVFILE_GetPositionRecording", &c.positionRecording, &missing);
  Find(library, "AVFILE_StopRecording", &c.stopRecording, &missing);
  Find(library, "AVFILE_CloseRecording", &c.closeRecording, &missing);
  Find(library, "AVFILE_OpenSink", &c.openSink, &missing);
  Find(library, "AVFILE_SetSinkSettings", &c.sinkSettings, &missing);
  Find(library, "AVFILE_GetSinkInfo", &c.sinkInfo, &missing);
  Find(library, "AVFILE_StartSink", &c.startSink, &missing);
  Find(library, "AVFILE_SinkGetEmptyBuffer", &c.sinkGetEmptyBuffer, &missing);
  Find(library, "AVFILE_SinkAddFullBuffer", &c.sinkAddFullBuffer, &missing);
  Find(library, "AVFILE_StopSink", &c.stopSink, &missing);
  Find(library, "AVFILE_CloseSink", &c.closeSink, &missing);
  if (!missing.empty()) {
    *error = path + " lacks " + missing;
    return nullptr;
  }
  Dl_info where{};
  if (dladdr(reinterpret_cast<void*>(c.openRecording), &where) != 0)
    plugin->module_ = where.dli_fbase;
  return plugin;
}

BridgePlugin::~BridgePlugin() {
  if (library_ != nullptr) dlclose(library_);
}

std::vector<DiscoveredInterface> BridgePlugin::Discover() const {
  struct Query {
    const char* kind;
    std::int32_t (*call)(InterfaceRecord*);
  };
  const Query queries[] = {{"reading", calls_.queryReading},
                           {"writing", calls_.queryWriting},
                           {"recording", calls_.queryRecording},
                           {"sink", calls_.querySink}};
  std::vector<DiscoveredInterface> found;
  for (const Query& query : queries) {
    InterfaceRecord record{};
    record.hostLevel = kHostLevel;
    DiscoveredInterface entry;
    entry.kind = query.kind;
    entry.offered = query.call(&record) == 1;
    if (entry.offered) {
      entry.guid.assign(record.interfaceGuid,
                        strnlen(record.interfaceGuid, sizeof record.interfaceGuid));
      entry.displayName.assign(record.displayName,
                               strnlen(record.displayName, sizeof record.displayName));
      entry.capability = record.capability;
    }
    found.push_back(entry);
  }
  if (found.back().offered) calls_.closeSinkInterface();
  return found;
}

}  // namespace quellor::edithost
