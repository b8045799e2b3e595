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
using rtvbridge::RecordingFileRecord;
using rtvbridge::RecordingInfoRecord;
using rtvbridge::RecordingOpenRecord;
using rtvbridge::RecordingPositionRecord;
using rtvbridge::RecordingSettingsRecord;
using rtvbridge::SinkBufferRecord;
using rtvbridge::SinkInfoRecord;
using rtvbridge::SinkOpenRecord;
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
  std::int32_t (*closeSinkInterface)() = nullptr;
  std::int32_t (*openForRead)(Handle*, const char*) = nullptr;
  std::int32_t (*readingInfo)(Handle, ReadingFileInfoRecord*) = nullptr;
  std::int32_t (*readFrame)(Handle, FrameRequestRecord*) = nullptr;
  std::int32_t (*closeReading)(Handle) = nullptr;
  std::int32_t (*openForWrite)(Handle*, WriteOpenRecord*) = nullptr;
  std::int32_t (*writingSettings)(WritingSettingsRecord*) = nullptr;
  std::int32_t (*writingInfo)(Handle, WritingFileInfoRecord*) = nullptr;
  std::int32_t (*writeFrame)(Handle, const VideoFrameRecord*) = nullptr;
  std::int32_t (*closeWriting)(Handle) = nullptr;
  // Recording.
  std::int32_t (*openRecording)(Handle*, void*) = nullptr;
  std::int32_t (*recordingSettings)(void*) = nullptr;
  std::int32_t (*recordingInfo)(Handle, void*) = nullptr;
  std::int32_t (*addRecordingFile)(Handle, void*) = nullptr;
  std::int32_t (*startRecording)(Handle) = nullptr;
  std::int32_t (*positionRecording)(Handle, void*) = nullptr;
  std::int32_t (*stopRecording)(Handle) = nullptr;
  std::int32_t (*closeRecording)(Handle) = nullptr;
  // Output sink.
  std::int32_t (*openSink)(Handle*, void*) = nullptr;
  std::int32_t (*sinkSettings)(void*) = nullptr;
  std::int32_t (*sinkInfo)(Handle, void*) = nullptr;
  std::int32_t (*startSink)(Handle) = nullptr;
  std::int32_t (*sinkGetEmptyBuffer)(Handle, void*) = nullptr;
  std::int32_t (*sinkAddFullBuffer)(Handle, void*) = nullptr;
  std::int32_t (*stopSink)(Handle) = nullptr;
  std::int32_t (*closeSink)(Handle) = nullptr;
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
  // The plug-in's module handle as the host knows it (its load address),
  // which the recording file record must carry.
  void* Module() const { return module_; }
  // Asks the four discovery calls at the host's level (the sink is closed
  // again at once).
  std::vector<DiscoveredInterface> Discover() const;

 private:
  BridgePlugin() = default;
  void* library_ = nullptr;
  void* module_ = nullptr;
  BridgeCalls calls_;
};

}  // namespace quellor::edithost
