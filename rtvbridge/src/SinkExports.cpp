// The output sink: the host borrows an empty frame buffer of the process's
// one output device, fills it, and hands it back with a presentation time;
// the device shows it on the board when its time comes. The sink handle (a
// SinkRecord) carries the format descriptions, the host's fields and the
// output preview program; the plug-in keeps the open ones so that a closed
// or foreign handle is refused.
#include <windows.h>

#include <cstring>
#include <mutex>
#include <new>
#include <set>

#include "BridgeProcess.h"
#include "BridgeSettings.h"
#include "BridgeTexts.h"
#include "DeviceClock.h"
#include "ExportGuard.h"
#include "OutputDevice.h"
#include "PixelFormats.h"
#include "PreviewProgram.h"
#include "SettingsDialogs.h"
#include "WaitBounds.h"
#include "rtvbridge/AvFileExports.h"

namespace quellor::rtvbridge {
namespace {

struct OpenSinks {
  std::mutex mutex;
  std::set<SinkRecord*> open;
};

OpenSinks& Sinks() {
  static OpenSinks sinks;
  return sinks;
}

SinkRecord* Find(AVFILE_Handle handle) {
  if (handle == nullptr) return nullptr;
  std::lock_guard lock(Sinks().mutex);
  auto* sink = static_cast<SinkRecord*>(handle);
  return Sinks().open.count(sink) != 0 ? sink : nullptr;
}

OutputDevice& Device() {
  OutputDevice* device = Process().outputDevice.get();
  if (device == nullptr) throw kNoOutputDevice;
  return *device;
}

void FillSinkFormats(SinkRecord& sink) {
  const VideoGeometry& geometry = Process().geometry;
  const PixelFormat order[3] = {PixelFormat::k422, PixelFormat::k444, PixelFormat::kRgba32};
  for (int i = 0; i < 3; ++i) {
    FillFormatRecord(sink.formats[i], order[i], geometry.width, geometry.height, geometry);
    std::memset(sink.formats[i].name, 0, sizeof sink.formats[i].name);  // left empty
  }
}

std::int32_t OpenSink(AVFILE_Handle* out, const SinkOpenRecord* record) {
  if (out == nullptr) return 0;
  auto* sink = new (std::nothrow) SinkRecord{};
  if (sink == nullptr) return 0;
  *out = sink;
  {
    std::lock_guard lock(Sinks().mutex);
    Sinks().open.insert(sink);
  }
  auto* preview = new PreviewProgram(kOutputPreviewProgram, "EdgeWrightVideoPreviewOut");
  sink->preview = preview;
  preview->StartIfWanted();  // throws: message, 0; the sink stays open
  FillSinkFormats(*sink);
  if (record != nullptr) {
    if (record->hostBlock != nullptr) {
      std::memcpy(&sink->hostBlockValue, static_cast<const std::uint8_t*>(record->hostBlock) + 20,
                  sizeof sink->hostBlockValue);
    }
    sink->value36 = record->value36;
    if (record->hostFormat != nullptr) sink->hostFormat = *record->hostFormat;
    sink->value16 = record->value16;
    sink->value20 = record->value20;
    sink->value32 = record->value32;
  }
  sink->event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  if (record != nullptr) const_cast<SinkOpenRecord*>(record)->event = sink->event;
  return 1;
}

// The handle's own resources: its event, its preview program and itself.
void FreeSink(SinkRecord* sink) {
  if (sink->event != nullptr) CloseHandle(sink->event);
  auto* preview = static_cast<PreviewProgram*>(sink->preview);
  if (preview != nullptr) {
    preview->End();
    delete preview;
  } else {
    WriteSetting("EdgeWrightVideoPreviewOut", 0);
  }
  delete sink;
}

std::int32_t CloseSink(AVFILE_Handle handle) {
  SinkRecord* sink = Find(handle);
  if (sink == nullptr) return 0;
  {
    std::lock_guard lock(Sinks().mutex);
    Sinks().open.erase(sink);
  }
  if (OutputDevice* device = Process().outputDevice.get()) device->Drain(Bounds().sinkMs);
  EnginePause(50);
  FreeSink(sink);
  return 1;
}

std::int32_t GetEmptyBuffer(AVFILE_Handle handle, SinkBufferRecord* record) {
  if (Find(handle) == nullptr || record == nullptr || record->size < kMinSinkBufferSize) return 0;
  OutputDevice& device = Device();
  const VideoGeometry& geometry = Process().geometry;
  record->format.width = geometry.width;
  record->format.height = geometry.height;
  // Compared in the order RGBA-32, 4:4:4, 4:2:2; no match writes nothing.
  for (PixelFormat format : {PixelFormat::kRgba32, PixelFormat::k444, PixelFormat::k422}) {
    if (std::strncmp(record->format.guid, FormatGuid(format), kGuidTextSize) != 0) continue;
    record->format.bytesPerFrame =
        static_cast<std::int32_t>(FormatFrameBytes(format, geometry.width, geometry.height));
    record->flags = FormatFlags(format);
    break;
  }
  std::uint8_t* pixels = device.Borrow(Bounds().sinkMs);
  if (pixels == nullptr) throw kNoFreeSinkBuffer;
  record->pixels = pixels;
  record->presentationTime = 0;
  record->byteCount = static_cast<std::uint32_t>(record->format.bytesPerFrame);
  return 1;
}

std::int32_t AddFullBuffer(AVFILE_Handle handle, SinkBufferRecord* record) {
  if (Find(handle) == nullptr || record == nullptr || record->size < kMinSinkBufferSize) return 0;
  const bool show = (record->flags & 1) == 0;
  switch (Device().Add(record->pixels, FormatFromGuid(record->format.guid),
                       record->presentationTime, show)) {
    case OutputDevice::AddResult::Queued:
    case OutputDevice::AddResult::HandedBack:
      return 1;
    case OutputDevice::AddResult::Refused:
      break;
  }
  return 0;
}

}  // namespace

// AVFILE_QueryInterfaceSink's device: created once, kept while it exists
// (a second query leaves the host's borrowed buffers valid).
void CreateOutputDevice() {
  BridgeProcess& process = Process();
  if (process.outputDevice) return;
  process.outputDevice = std::make_unique<OutputDevice>(process.geometry, kOutputName);
}

void DestroyOutputDevice() {
  Process().outputDevice.reset();
}

// No drain: at unload nothing more is shown.
void CloseAllSinks() {
  std::set<SinkRecord*> open;
  {
    std::lock_guard lock(Sinks().mutex);
    open.swap(Sinks().open);
  }
  for (SinkRecord* sink : open) FreeSink(sink);
}

}  // namespace quellor::rtvbridge

using namespace quellor::rtvbridge;

AVFILE_Result AVFILE_OpenSink(AVFILE_Handle* sink, void* openRecord) {
  return RunGuarded("AVFILE_OpenSink",
                    [&] { return OpenSink(sink, static_cast<const SinkOpenRecord*>(openRecord)); });
}

AVFILE_Result AVFILE_SetSinkSettings(void* settingsRecord) {
  // The same leading fields as the recording settings: flags at 4, owner
  // window behind them.
  const auto* settings = static_cast<const RecordingSettingsRecord*>(settingsRecord);
  if (settings != nullptr && (settings->flags & 1) != 0)
    ShowOutputSettingsDialog(static_cast<HWND>(settings->ownerWindow), "AVFILE_SetSinkSettings");
  return 1;
}

AVFILE_Result AVFILE_GetSinkInfo(AVFILE_Handle sink, void* infoRecord) {
  SinkRecord* record = Find(sink);
  auto* info = static_cast<SinkInfoRecord*>(infoRecord);
  if (record == nullptr || info == nullptr) return 0;
  info->flags = 40 | (ForceNoFrameDrop() != 0 ? 0x80 : 0);
  info->eight = 8;
  info->formats = record->formats;
  info->formatCount = 3;
  info->two = 2;
  for (std::int32_t& zero : info->zero1056) zero = 0;
  return 1;
}

AVFILE_Result AVFILE_StartSink(AVFILE_Handle sink) {
  return RunGuarded("AVFILE_StartSink", [&]() -> std::int32_t {
    SinkRecord* record = Find(sink);
    if (record == nullptr) return 0;
    OutputDevice& device = Device();
    record->size = kSinkRecordSize;
    if (record->event != nullptr) SetEvent(record->event);
    device.Start();
    return 1;
  });
}

AVFILE_Result AVFILE_SinkGetEmptyBuffer(AVFILE_Handle sink, void* bufferRecord) {
  return RunGuarded("AVFILE_SinkGetEmptyBuffer", [&] {
    return GetEmptyBuffer(sink, static_cast<SinkBufferRecord*>(bufferRecord));
  });
}

AVFILE_Result AVFILE_SinkAddFullBuffer(AVFILE_Handle sink, void* bufferRecord) {
  return RunGuarded("AVFILE_SinkAddFullBuffer", [&] {
    return AddFullBuffer(sink, static_cast<SinkBufferRecord*>(bufferRecord));
  });
}

// Does nothing: 1 for a sink, 0 for none.
AVFILE_Result AVFILE_QueueSink(AVFILE_Handle sink) {
  return sink != nullptr ? 1 : 0;
}

AVFILE_Result AVFILE_StopSink(AVFILE_Handle sink) {
  return RunGuarded("AVFILE_StopSink", [&]() -> std::int32_t {
    if (Find(sink) == nullptr) return 0;
    if (!Device().Stop(Bounds().sinkMs)) throw kStopSinkTimedOut;
    return 1;
  });
}

AVFILE_Result AVFILE_CloseSink(AVFILE_Handle sink) {
  return RunGuarded("AVFILE_CloseSink", [&] { return CloseSink(sink); });
}
