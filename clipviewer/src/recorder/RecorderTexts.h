// Texts, names and numbers of the disk recorder.
#pragma once

#include "windows.h"

namespace quellor::clipviewer::recorder {

inline constexpr WORD kRecorderResource = 106;
inline constexpr const char* kRecorderTitle = "QL Record";

// Controls of the recorder dialog.
inline constexpr int kIdRecord = 1000;
inline constexpr int kIdStop = 1001;
inline constexpr int kIdSettings = 1002;
inline constexpr int kIdDeleteItem = 1005;
inline constexpr int kIdInsertItem = 1009;
inline constexpr int kIdFileList = 1011;
inline constexpr int kIdMoveFile = 1012;
inline constexpr int kIdDeleteFile = 1013;
inline constexpr int kIdDrive = 1014;
inline constexpr int kIdClose = 1;
// Posted by the writer thread after each frame: the Record button shows the
// count.
inline constexpr UINT kFramesWrittenMessage = WM_USER;

inline constexpr const char* kProbeName = "media.apps.QLCliboard.probe";
inline constexpr const char* kInputPinFormat = "media.pins.quellor.vin%ld.out";
inline constexpr const char* kRecordPathFormat = "\\RecordNo%d.rtv";
inline constexpr const char* kDiskSettingKey = "RecorderDiskToUse";

inline constexpr const char* kCannotInitialiseEngine = "Cannot initialise the realtime engine.";
inline constexpr const char* kCannotAllocateBuffers = "Cannot allocate recording buffers !";
inline constexpr const char* kCannotCreateProbe = "Could not create media probe !";
inline constexpr const char* kCannotAttachProbe = "Could not create Probe !";

inline constexpr const char* kUnableToOpen = "Unable to open the file.";
inline constexpr const char* kErrorRecordingTitle = "Error Recording File !";
inline constexpr const char* kFramesDropped = "Frames where dropped while recording !";
inline constexpr const char* kRecordingErrorTitle = "Recording Error";
inline constexpr const char* kRecordText = "Record";
inline constexpr const char* kFramesFormat = "%d frms";

inline constexpr const char* kInsertTitle = "Select A File To Insert Onto The List";
inline constexpr const char* kMoveTitle = "Select A New File Location";
inline constexpr const char* kUnableToMove = "Unable to move the file.";
inline constexpr const char* kErrorMovingTitle = "Error Moving File !";
inline constexpr const char* kDeleteQuestion =
    "Are you sure that you want to delete this file ?\nIt is not possible to undo this operation !";
inline constexpr const char* kDeleteTitle = "Delete File";
inline constexpr const char* kUnableToDelete = "Unable to delete the file.";
inline constexpr const char* kErrorDeletingTitle = "Error Deleting File !";

}  // namespace quellor::clipviewer::recorder
