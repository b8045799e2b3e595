// The recording interface: the host opens a recording context, names a clip,
// starts and stops a take by the board's field time stamps, polls the frames
// written, and closes the context. The context handle is the context's
// address; the plug-in keeps the open ones, so that a stale or foreign handle
// is refused instead of used.
#include <windows.h>

#include <memory>
#include <mutex>
#include <set>

#include "BridgeProcess.h"
#include "BridgeTexts.h"
#include "ExportGuard.h"
#include "PixelFormats.h"
#include "PreviewProgram.h"
#include "RecordingContext.h"
#include "SettingsDialogs.h"
#include "WaitBounds.h"
#include "rtvbridge/AvFileExports.h"

namespace quellor::rtvbridge {
namespace {

struct OpenContexts {
  std::mutex mutex;
  std::set<RecordingContext*> open;
};

OpenContexts& Contexts() {
  static OpenContexts contexts;
  return contexts;
}

// One input preview for the process, started with the first context.
PreviewProgram& InputPreview() {
  static PreviewProgram preview(kInputPreviewProgram, "EdgeWrightVideoPreviewIn");
  return preview;
}

// The context behind a handle the host gave back, or null. Calls on one
// context are the host's to order; closing it while another call runs on it
// is not supported (as with any handle).
RecordingContext* Find(AVFILE_Handle handle) {
  if (handle == nullptr) return nullptr;
  std::lock_guard lock(Contexts().mutex);
  auto* context = static_cast<RecordingContext*>(handle);
  return Contexts().open.count(context) != 0 ? context : nullptr;
}

std::int32_t OpenRecording(AVFILE_Handle* out, const RecordingOpenRecord* record) {
  if (out == nullptr || record == nullptr || record->size != kRecordingOpenSize) return 0;
  BridgeProcess& process = Process();
  process.recordingOpen = true;
  std::unique_ptr<RecordingContext> context;
  try {
    context = std::make_unique<RecordingContext>(process.geometry, process.switcherClient,
                                                 process.countDroppedFrames);
  } catch (...) {
    // No engine, probe or input pin: refused without a message.
    std::lock_guard lock(Contexts().mutex);
    if (Contexts().open.empty()) process.recordingOpen = false;
    return 0;
  }
  RecordingContext* raw = context.release();
  {
    std::lock_guard lock(Contexts().mutex);
    Contexts().open.insert(raw);
  }
  *out = raw;
  InputPreview().StartIfWanted();  // throws: message, 0, the context stays open
  return 1;
}

std::int32_t CloseRecording(AVFILE_Handle handle) {
  RecordingContext* context = Find(handle);
  if (context == nullptr) return 0;
  bool last;
  {
    std::lock_guard lock(Contexts().mutex);
    Contexts().open.erase(context);
    last = Contexts().open.empty();
  }
  if (last) InputPreview().End();
  delete context;
  if (last) Process().recordingOpen = false;
  return 1;
}

}  // namespace

// Each context stops its probe and writer (the writer finishes the frames
// queued) before it is freed.
void CloseAllRecordings() {
  PreviewProgram& preview = InputPreview();
  std::set<RecordingContext*> open;
  {
    std::lock_guard lock(Contexts().mutex);
    open.swap(Contexts().open);
  }
  if (open.empty()) return;
  preview.End();
  for (RecordingContext* context : open) delete context;
  Process().recordingOpen = false;
}

}  // namespace quellor::rtvbridge

using namespace quellor::rtvbridge;

AVFILE_Result AVFILE_OpenRecording(AVFILE_Handle* context, void* openRecord) {
  return RunGuarded("AVFILE_OpenRecording", [&] {
    return OpenRecording(context, static_cast<const RecordingOpenRecord*>(openRecord));
  });
}

AVFILE_Result AVFILE_SetRecordingSettings(void* settingsRecord) {
  auto* settings = static_cast<RecordingSettingsRecord*>(settingsRecord);
  if (settings == nullptr || settings->size < kMinRecordingSettingsSize) return 0;
  const VideoGeometry& geometry = Process().geometry;
  settings->one = 1;
  FillFormatRecord(settings->recordedFormat, PixelFormat::k422, geometry.width, geometry.height,
                   geometry);
  if ((settings->flags & 1) != 0)
    ShowInputSettingsDialog(static_cast<HWND>(settings->ownerWindow),
                            "AVFILE_SetRecordingSettings");
  return 1;
}

AVFILE_Result AVFILE_GetRecordingInfo(AVFILE_Handle, void* infoRecord) {
  auto* info = static_cast<RecordingInfoRecord*>(infoRecord);
  if (info == nullptr) return 0;
  info->size = 1060;
  for (std::int32_t& zero : info->zero) zero = 0;
  info->forty = 40;
  return 1;
}

AVFILE_Result AVFILE_AddRecordingFile(AVFILE_Handle context, void* fileRecord) {
  RecordingContext* recording = Find(context);
  const auto* record = static_cast<const RecordingFileRecord*>(fileRecord);
  if (recording == nullptr || record == nullptr || record->size != kRecordingFileSize ||
      record->module != static_cast<void*>(Process().module)) {
    return 0;
  }
  if (!recording->AddFile(record->path, record->frameLimit, Bounds().recordingMs)) {
    ShowExportError("AVFILE_AddRecordingFile", kAddFileTimedOut);
    return 0;
  }
  return 1;
}

AVFILE_Result AVFILE_RemoveRecordingFile(AVFILE_Handle context, void* removeRecord) {
  RecordingContext* recording = Find(context);
  const auto* record = static_cast<const RecordingRemoveRecord*>(removeRecord);
  if (recording == nullptr || record == nullptr || record->size != kRecordingRemoveSize) return 0;
  recording->RemoveFile();
  return 1;
}

AVFILE_Result AVFILE_StartRecording(AVFILE_Handle context) {
  RecordingContext* recording = Find(context);
  if (recording == nullptr) return 0;
  recording->Start();
  return 1;
}

AVFILE_Result AVFILE_GetPositionRecording(AVFILE_Handle context, void* positionRecord) {
  RecordingContext* recording = Find(context);
  auto* record = static_cast<RecordingPositionRecord*>(positionRecord);
  if (recording == nullptr || record == nullptr || record->size != kRecordingPositionSize) return 0;
  std::uint32_t written = 0;
  const bool fine = recording->Position(written);
  record->framesWritten = written;
  return fine ? 1 : 0;
}

AVFILE_Result AVFILE_StopRecording(AVFILE_Handle context) {
  RecordingContext* recording = Find(context);
  if (recording == nullptr) return 0;
  const bool ended = recording->Stop(Bounds().recordingMs);
  // A disk that filled up during the take is told once, at its stop.
  if (recording->WriteFailed()) {
    ShowExportError("AVFILE_StopRecording", kRecordingWriteFailed);
    return 0;
  }
  if (!ended) {
    ShowExportError("AVFILE_StopRecording", kStopTimedOut);
    return 0;
  }
  return 1;
}

AVFILE_Result AVFILE_CloseRecording(AVFILE_Handle context) {
  return RunGuarded("AVFILE_CloseRecording", [&] { return CloseRecording(context); });
}
