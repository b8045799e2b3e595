// Texts the display path and the output hub throw. Like every error below the
// viewer they are plain constant texts; the viewer's handlers show them as
// they stand.
#pragma once

namespace quellor::clipviewer {

// Picture buffers.
inline constexpr const char* kCannotAllocateDc = "Could not allocate 32bpp Windows device context.";
inline constexpr const char* kCannotCreateImageHeader = "Cannot create iImg header.";
inline constexpr const char* kInvalidImageHeader = "Invalid IntelImg header !";
inline constexpr const char* kCannotGetDibSection = "Cannot get Windows DIB section.";
inline constexpr const char* kCannotGetRoi = "Cannot get iImg ROI pointer.";

// The output hub.
inline constexpr const char* kCannotInitialiseEngine = "Cannot initialise the realtime engine.";
inline constexpr const char* kCannotCreateProducer =
    "I could not create the hub media producer.\nThis might be because you have another copy of "
    "this application running, you may only have one copy running at any one time.";
inline constexpr const char* kCannotCreateSpider = "Could not create spider";
inline constexpr const char* kCannotConnectSpider = "Could not create spider connection. Sorry !";
inline constexpr const char* kCannotAllocateAlignedBuffer = "Could not allocate the aligned buffer";

}  // namespace quellor::clipviewer
