// The 53 AVFILE_ exports of rtvbridge.so, looked up by name by the editing
// host. Every export returns a 32-bit integer, 1 for success and 0 for
// failure or refusal. Handles are the plug-in's own objects: the host gets
// them from an open call and gives them back to the matching close call.
#pragma once

#include <cstdint>

#include <quellor/Export.h>

#include "rtvbridge/AvFileRecords.h"

using AVFILE_Result = std::int32_t;
using AVFILE_Handle = void*;

// ---- discovery and closing of the four interfaces ---------------------------
QUELLOR_EXPORT_C AVFILE_Result AVFILE_QueryInterfaceReading(quellor::rtvbridge::InterfaceRecord*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_QueryInterfaceWriting(quellor::rtvbridge::InterfaceRecord*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_QueryInterfaceRecording(quellor::rtvbridge::InterfaceRecord*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_QueryInterfaceSink(quellor::rtvbridge::InterfaceRecord*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_CloseInterfaceSink(void);

// ---- exports with a fixed result, whatever their arguments ------------------
// Result 1.
QUELLOR_EXPORT_C AVFILE_Result AVFILE_CloseInterfaceReading(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_CloseInterfaceRecording(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_CloseInterfaceWriting(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_EnablePassThrough(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_QueueRecording(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_ReleaseFormatFromReadImageFrame(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_ReleaseFormatFromSetSinkSettings(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_ReleaseFormatFromSetWritingSettings(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_ReleaseFormatsFromGetReadingFileInfo(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_ReleaseFormatsFromGetRecordingInfo(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_ReleaseFormatsFromGetSinkInfo(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_ReleaseFormatsFromGetWritingFileInfo(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_ReleaseFormatsFromSetRecordingSettings(void*, void*);
// Result 0: the plug-in handles no audio.
QUELLOR_EXPORT_C AVFILE_Result AVFILE_GetVUMeterRecording(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_GrabAudioToBuffer(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_GrabImageToBuffer(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_ReadAudioSamples(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_ReleaseFormatFromReadAudioSamples(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_WriteNextAudioSamples(void*, void*);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_WriteSegment(void*, void*);

// ---- reading clips ------------------------------------------------------------
QUELLOR_EXPORT_C AVFILE_Result AVFILE_OpenFileForRead(AVFILE_Handle* handle, const char* path);
QUELLOR_EXPORT_C AVFILE_Result
AVFILE_GetReadingFileInfo(AVFILE_Handle handle, quellor::rtvbridge::ReadingFileInfoRecord* info);
QUELLOR_EXPORT_C AVFILE_Result
AVFILE_ReadImageFrame(AVFILE_Handle handle, quellor::rtvbridge::FrameRequestRecord* request);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_CloseReadingFile(AVFILE_Handle handle);

// ---- writing clips ------------------------------------------------------------
QUELLOR_EXPORT_C AVFILE_Result AVFILE_OpenFileForWrite(AVFILE_Handle* handle,
                                                       quellor::rtvbridge::WriteOpenRecord* record);
QUELLOR_EXPORT_C AVFILE_Result
AVFILE_SetWritingSettings(quellor::rtvbridge::WritingSettingsRecord* settings);
QUELLOR_EXPORT_C AVFILE_Result
AVFILE_GetWritingFileInfo(AVFILE_Handle handle, quellor::rtvbridge::WritingFileInfoRecord* info);
QUELLOR_EXPORT_C AVFILE_Result
AVFILE_WriteNextVideoFrame(AVFILE_Handle handle, const quellor::rtvbridge::VideoFrameRecord* frame);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_CloseFileForWrite(AVFILE_Handle handle);
QUELLOR_EXPORT_C AVFILE_Result
AVFILE_GetFreeTimeOnDrive(quellor::rtvbridge::FreeSpaceRecord* record);

// ---- recording (records of their own; built by the recording context) --------
QUELLOR_EXPORT_C AVFILE_Result AVFILE_OpenRecording(AVFILE_Handle* context, void* openRecord);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_SetRecordingSettings(void* settingsRecord);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_GetRecordingInfo(AVFILE_Handle context, void* infoRecord);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_AddRecordingFile(AVFILE_Handle context, void* fileRecord);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_RemoveRecordingFile(AVFILE_Handle context,
                                                          void* removeRecord);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_StartRecording(AVFILE_Handle context);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_GetPositionRecording(AVFILE_Handle context,
                                                           void* positionRecord);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_StopRecording(AVFILE_Handle context);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_CloseRecording(AVFILE_Handle context);

// ---- output sink (records of their own; built by the output device) ----------
QUELLOR_EXPORT_C AVFILE_Result AVFILE_OpenSink(AVFILE_Handle* sink, void* openRecord);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_SetSinkSettings(void* settingsRecord);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_GetSinkInfo(AVFILE_Handle sink, void* infoRecord);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_StartSink(AVFILE_Handle sink);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_SinkGetEmptyBuffer(AVFILE_Handle sink, void* bufferRecord);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_SinkAddFullBuffer(AVFILE_Handle sink, void* bufferRecord);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_QueueSink(AVFILE_Handle sink);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_StopSink(AVFILE_Handle sink);
QUELLOR_EXPORT_C AVFILE_Result AVFILE_CloseSink(AVFILE_Handle sink);
