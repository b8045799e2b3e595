// The recording and output sink calls. Their contexts (the recording
// context with its engine probe and writer thread, the output device with
// its buffers and output thread) are not built into this plug-in yet: each
// call says so on the debugger output and gives the interface's failure
// result, so a host sees the two interfaces refuse cleanly.
#include <windows.h>

#include <string>

#include "ExportGuard.h"
#include "rtvbridge/AvFileExports.h"

namespace {

AVFILE_Result NotBuiltYet(const char* exportName) {
  OutputDebugStringA((std::string(exportName) + ": not built yet\n").c_str());
  return 0;
}

}  // namespace

AVFILE_Result AVFILE_OpenRecording(AVFILE_Handle*, void*) {
  return quellor::rtvbridge::RunGuarded("AVFILE_OpenRecording",
                                        [] { return NotBuiltYet("AVFILE_OpenRecording"); });
}
AVFILE_Result AVFILE_SetRecordingSettings(void*) {
  return NotBuiltYet("AVFILE_SetRecordingSettings");
}
AVFILE_Result AVFILE_GetRecordingInfo(AVFILE_Handle, void*) {
  return NotBuiltYet("AVFILE_GetRecordingInfo");
}
AVFILE_Result AVFILE_AddRecordingFile(AVFILE_Handle, void*) {
  return NotBuiltYet("AVFILE_AddRecordingFile");
}
AVFILE_Result AVFILE_RemoveRecordingFile(AVFILE_Handle, void*) {
  return NotBuiltYet("AVFILE_RemoveRecordingFile");
}
AVFILE_Result AVFILE_StartRecording(AVFILE_Handle) {
  return NotBuiltYet("AVFILE_StartRecording");
}
AVFILE_Result AVFILE_GetPositionRecording(AVFILE_Handle, void*) {
  return NotBuiltYet("AVFILE_GetPositionRecording");
}
AVFILE_Result AVFILE_StopRecording(AVFILE_Handle) {
  return NotBuiltYet("AVFILE_StopRecording");
}
AVFILE_Result AVFILE_CloseRecording(AVFILE_Handle) {
  return quellor::rtvbridge::RunGuarded("AVFILE_CloseRecording",
                                        [] { return NotBuiltYet("AVFILE_CloseRecording"); });
}

AVFILE_Result AVFILE_OpenSink(AVFILE_Handle*, void*) {
  return quellor::rtvbridge::RunGuarded("AVFILE_OpenSink",
                                        [] { return NotBuiltYet("AVFILE_OpenSink"); });
}
AVFILE_Result AVFILE_SetSinkSettings(void*) {
  return NotBuiltYet("AVFILE_SetSinkSettings");
}
AVFILE_Result AVFILE_GetSinkInfo(AVFILE_Handle, void*) {
  return NotBuiltYet("AVFILE_GetSinkInfo");
}
AVFILE_Result AVFILE_StartSink(AVFILE_Handle) {
  return quellor::rtvbridge::RunGuarded("AVFILE_StartSink",
                                        [] { return NotBuiltYet("AVFILE_StartSink"); });
}
AVFILE_Result AVFILE_SinkGetEmptyBuffer(AVFILE_Handle, void*) {
  return quellor::rtvbridge::RunGuarded("AVFILE_SinkGetEmptyBuffer",
                                        [] { return NotBuiltYet("AVFILE_SinkGetEmptyBuffer"); });
}
AVFILE_Result AVFILE_SinkAddFullBuffer(AVFILE_Handle, void*) {
  return quellor::rtvbridge::RunGuarded("AVFILE_SinkAddFullBuffer",
                                        [] { return NotBuiltYet("AVFILE_SinkAddFullBuffer"); });
}
// Does nothing: 1 for a sink, 0 for none.
AVFILE_Result AVFILE_QueueSink(AVFILE_Handle sink) {
  return sink != nullptr ? 1 : 0;
}
AVFILE_Result AVFILE_StopSink(AVFILE_Handle) {
  return quellor::rtvbridge::RunGuarded("AVFILE_StopSink",
                                        [] { return NotBuiltYet("AVFILE_StopSink"); });
}
AVFILE_Result AVFILE_CloseSink(AVFILE_Handle) {
  return quellor::rtvbridge::RunGuarded("AVFILE_CloseSink",
                                        [] { return NotBuiltYet("AVFILE_CloseSink"); });
}
