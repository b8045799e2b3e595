// rtvbridge.so loaded the way the editing host loads it: by path with
// dlopen, every AVFILE_ call the host uses looked up by name.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "rtvbridge/AvFileRecords.h"

namespace quellor::edithost {

using rtvbridge::FrameRequestRecord;
using rtvbridge::ImageFormatRecord;
using rtvbridge::InterfaceRecord;
using rtvbridge::ReadingFileInfoRecord;
using rtvbridge::VideoFrameRecord;
using rtvbridge::WriteOpenRecord;
using rtvbridge::WritingFileInfoRecord;
using rtvbridge::WritingSettingsRecord;

using Handle = void*;

struct BridgeCalls {
  std::int32_t (*queryReading)(InterfaceRecord*) = nullptr;
  std::int32_t (*queryWriting)(InterfaceRecord*) = nullptr;
  std::int32_t (*queryRecording)(InterfaceRecord*) = nullptr;
  std::int32_t (*querySink)(InterfaceRecord*) = nullptr;
  std::int32_t (*closeSink)() = nullptr;
  std::int32_t (*openForRead)(Handle*, const char*) = nullptr;
  std::int32_t (*readingInfo)(Handle, ReadingFileInfoRecord*) = nullptr;
  std::int32_t (*readFrame)(Handle, FrameRequestRecord*) = nullptr;
  std::int32_t (*closeReading)(Handle) = nullptr;
  std::int32_t (*openForWrite)(Handle*, WriteOpenRecord*) = nullptr;
  std::int32_t (*writingSettings)(WritingSettingsRecord*) = nullptr;
  std::int32_t (*writingInfo)(Handle, WritingFileInfoRecord*) = nullptr;
  std::int32_t (*writeFrame)(Handle, const VideoFrameRecord*) = nullptr;
  std::int32_t (*closeWriting)(Handle) = nullptr;
};

// One interface as discovery describes it.
struct DiscoveredInterface {
  std::string kind;  // "reading", "writing", "recording", "sink"
  bool offered = false;
  std::string guid;
  std::string displayName;
  int capability = 0;
};

class BridgePlugin {
 public:
  // Loads the plug-in at `path`; null with the loader's reason in `error`.
  static std::unique_ptr<BridgePlugin> Load(const std::string& path, std::string* error);
  // rtvbridge.so in the folder of the running program.
  static std::string DefaultPath();

  ~BridgePlugin();
  BridgePlugin(const BridgePlugin&) = delete;
  BridgePlugin& operator=(const BridgePlugin&) = delete;

  const BridgeCalls& calls() const { return calls_; }
  // Asks the four discovery calls at the host's level (the sink is closed
  // again at once).
  std::vector<DiscoveredInterface> Discover() const;

 private:
  BridgePlugin() = default;
  void* library_ = nullptr;
  BridgeCalls calls_;
};

}  // namespace quellor::edithost
