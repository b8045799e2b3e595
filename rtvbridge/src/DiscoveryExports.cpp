// The four discovery calls, each filling an InterfaceRecord, and the close
// of the sink interface.
#include <windows.h>

#include <cstdio>

#include "BridgeProcess.h"
#include "BridgeTexts.h"
#include "ExportGuard.h"
#include "PixelFormats.h"
#include "RefreshWarning.h"
#include "rtvbridge/AvFileExports.h"

namespace quellor::rtvbridge {
namespace {

constexpr const char* kFamilyGuid = "4E19A7C0-B3D5-11d2-8F21-0060B3C47D19";

// Static data of the plug-in: the host reads these and never frees them.
const char* const kExtensions[1] = {"rtv"};
const char* const kDescriptions[1] = {"Video Quellor - rtv"};

struct InterfaceDescription {
  std::int32_t minimumHostLevel;
  const char* guid;
  const char* displayName;
  std::int32_t capability;
  bool fileTypes;  // the sink query leaves the two tables alone
};

constexpr InterfaceDescription kReading = {224, "4E19A7C2-B3D5-11d2-8F21-0060B3C47D19",
                                           "Video Quellor RTV File Input", 9, true};
constexpr InterfaceDescription kWriting = {224, "4E19A7C3-B3D5-11d2-8F21-0060B3C47D19",
                                           "Video Quellor RTV File Output", 1, true};
constexpr InterfaceDescription kRecording = {224, "4E19A7C2-B3D5-11d2-8F21-0060B3C47D19",
                                             "Video Quellor Record Device", 1, true};
constexpr InterfaceDescription kSink = {324, "4E19A7C1-B3D5-11d2-8F21-0060B3C47D19",
                                        "Video Quellor Output Device", 1, false};

// A record whose host level is below the interface's minimum (or no record)
// is left untouched: 0.
std::int32_t Describe(InterfaceRecord* record, const InterfaceDescription& description) {
  if (record == nullptr || record->hostLevel < description.minimumHostLevel) return 0;
  CopyText(record->familyGuid, kFamilyGuid);
  CopyText(record->interfaceGuid, description.guid);
  record->capability = description.capability;
  CopyText(record->displayName, description.displayName);
  record->constantTwo = 2;
  record->fileTypeCount = 1;
  if (description.fileTypes) {
    record->extensions = kExtensions;
    record->descriptions = kDescriptions;
  }
  return 1;
}

// Creating the device has its own handler: a failure is shown in the
// warning dialog as "Error in startup : ..." and ends the host (exit code 1).
void CreateDeviceOrEnd() {
  std::string text;
  try {
    CreateOutputDevice();
    return;
  } catch (const char* message) {
    char formatted[512];
    std::snprintf(formatted, sizeof formatted, kStartupErrorFormat,
                  message != nullptr ? message : "");
    text = formatted;
  } catch (...) {
    text = kStartupErrorUnknown;
  }
  ShowWarningDialog(Process().module, text);
  ExitProcess(1);
}

}  // namespace
}  // namespace quellor::rtvbridge

using namespace quellor::rtvbridge;

AVFILE_Result AVFILE_QueryInterfaceReading(InterfaceRecord* record) {
  return Describe(record, kReading);
}

AVFILE_Result AVFILE_QueryInterfaceWriting(InterfaceRecord* record) {
  return Describe(record, kWriting);
}

AVFILE_Result AVFILE_QueryInterfaceRecording(InterfaceRecord* record) {
  return Describe(record, kRecording);
}

AVFILE_Result AVFILE_QueryInterfaceSink(InterfaceRecord* record) {
  return RunGuarded("AVFILE_QueryInterfaceSink", [&]() -> std::int32_t {
    if (!Describe(record, kSink)) return 0;
    CreateDeviceOrEnd();
    return 1;
  });
}

AVFILE_Result AVFILE_CloseInterfaceSink(void) {
  return RunGuarded("AVFILE_CloseInterfaceSink", []() -> std::int32_t {
    DestroyOutputDevice();
    return 1;
  });
}
