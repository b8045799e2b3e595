// The records that cross between the editing host and rtvbridge.so through
// the AVFILE_ exports. Integers are 32-bit little-endian; texts are
// NUL-terminated in fixed fields. The host owns every record it passes in.
//
// Layout: on a 32-bit build every offset and size is the host's own and is
// checked below. On a 64-bit build pointer fields are native 8-byte pointers
// aligned to 8, which moves the fields behind an unaligned pointer; the
// 64-bit offsets are checked as well, so that both layouts stay documented:
//
//   record                 32-bit size   64-bit size   fields that move on 64-bit
//   InterfaceRecord        324           336           extensions 316->320, descriptions 320->328
//   ImageFormatRecord      236           236           none
//   ReadingFileInfoRecord  176           192           formats 140->144, formatCount 144->152,
//                                                      148..156 -> 156..164, preference 156->168,
//                                                      handle 164->184
//   FrameRequestRecord     492           504           bufferSize 16->24, requested 20->28,
//                                                      delivered 256->264
//   WriteOpenRecord        592           592           none (path pointer at 8 instead of 4,
//                                                      see below)
//   WritingSettingsRecord  944           944           none (no pointers)
//   WritingFileInfoRecord  28            40            formatCount 8->16, 12..20 -> 20..28,
//                                                      preference 24->32
//   VideoFrameRecord       252           256           none (tail padding only)
//   FreeSpaceRecord        28            32            none
//   RecordingFileRecord    32            32            path 20->24
//   RecordingSettingsRecord 944          944           ownerWindow 12->16
//   SinkOpenRecord         52            56            none
//   SinkRecord             976           984           preview 972->976
//   SinkBufferRecord       496           496           byteCount 484->488
//   SinkInfoRecord         1068          1080          formats 12->16, the rest +8
//
// This header must compile on its own, with -m32 too (it is checked so).
#pragma once

#include <cstddef>
#include <cstdint>

namespace quellor::rtvbridge {

inline constexpr std::size_t kGuidTextSize = 100;
inline constexpr std::size_t kNameTextSize = 100;

// Filled by each AVFILE_QueryInterface* call.
struct InterfaceRecord {
  std::int32_t hostLevel;          // set by the host; only tested
  char familyGuid[kGuidTextSize];  // "4E19A7C0-B3D5-11d2-8F21-0060B3C47D19"
  char interfaceGuid[kGuidTextSize];
  std::int32_t capability;  // 9 file input, 1 the others
  char displayName[kNameTextSize];
  std::int32_t constantTwo;         // always 2
  std::int32_t fileTypeCount;       // 1
  const char* const* extensions;    // {"rtv"}; static, never freed by the host
  const char* const* descriptions;  // {"Video Quellor - rtv"}
};

// One pixel format a clip can be read in or written from (236 bytes).
struct ImageFormatRecord {
  std::int32_t size;  // 236
  std::int32_t width;
  std::int32_t height;  // 2 x field lines
  char guid[kGuidTextSize];
  std::int32_t rateNumerator;
  std::int32_t rateDenominator;
  std::int32_t bytesPerFrame;
  std::int32_t flags;
  std::uint8_t notWritten[8];
  char name[kNameTextSize];
};

// Filled by AVFILE_GetReadingFileInfo; the host sets the size (>= 176).
struct ReadingFileInfoRecord {
  std::int32_t size;
  std::int32_t zero4;
  std::int32_t eight;
  char producer[kNameTextSize];  // "Video Quellor"
  std::int32_t forty;
  std::int32_t zero116;
  std::int32_t mask;  // 0xFFFF
  std::int32_t notWritten124[2];
  std::int32_t frameCount;
  std::int32_t zero136;
  ImageFormatRecord* formats;  // three records, the plug-in's
  std::int32_t formatCount;    // 3
  std::int32_t zero148;
  std::int32_t zero152;
  const std::uint8_t* preference;  // format indices 0, 1, 2, 0
  std::int32_t notWritten160;
  void* handle;  // the reading handle
#if UINTPTR_MAX == 0xFFFFFFFFu
  std::int32_t notWritten168[2];
#endif
};

// Passed to AVFILE_ReadImageFrame (>= 492 bytes).
struct FrameRequestRecord {
  std::int32_t size;
  std::int32_t frameNumber;  // 0-based
  std::int32_t notUsed8;
  void* buffer;  // the host's destination
  std::uint32_t bufferSize;
  ImageFormatRecord requested;  // its GUID selects the format
  ImageFormatRecord delivered;  // filled by the call
};

// Passed to AVFILE_OpenFileForWrite (>= 592 bytes); only the size and the
// path are used. On 64-bit the path pointer sits at 8 (its natural
// alignment) and the record keeps its 592 bytes.
struct WriteOpenRecord {
  std::int32_t size;
#if UINTPTR_MAX != 0xFFFFFFFFu
  std::int32_t padding4;
#endif
  const char* path;
  std::uint8_t notUsed[592 - 4 - sizeof(void*) - (sizeof(void*) == 8 ? 4 : 0)];
};

// Passed to AVFILE_SetWritingSettings (>= 944 bytes).
struct WritingSettingsRecord {
  std::int32_t size;
  std::int32_t notUsed4;
  std::int32_t one;  // written 1
  std::uint8_t notUsed12[240];
  ImageFormatRecord storedFormat;  // the only stored format: 4:2:2
  std::uint8_t hostBlock[228];     // copied to `hostBlockCopy`
  std::uint8_t hostBlockCopy[228];
};

// Filled by AVFILE_GetWritingFileInfo (no size check).
struct WritingFileInfoRecord {
  std::int32_t size;
  ImageFormatRecord* formats;  // three records, the plug-in's
  std::int32_t formatCount;    // 3
  std::int32_t zero12;
  std::int32_t zero16;
  std::int32_t forty;
  const std::uint8_t* preference;  // 0, 1, 2, 0
};

// Passed to AVFILE_WriteNextVideoFrame: the pixels and an image format
// record at 16 whose GUID and bytes per frame describe them.
struct VideoFrameRecord {
  std::int32_t size;
  std::int32_t notUsed4;
  void* pixels;  // 4:2:2 frames get their 0xFF bytes replaced in place
#if UINTPTR_MAX == 0xFFFFFFFFu
  std::int32_t notUsed12;
#endif
  ImageFormatRecord format;
};

// Passed to AVFILE_GetFreeTimeOnDrive (>= 28 bytes).
struct FreeSpaceRecord {
  std::int32_t size;
  std::int32_t hundred;  // written 100
  const char* path;      // a path on the drive
#if UINTPTR_MAX == 0xFFFFFFFFu
  std::int32_t notUsed12;
#endif
  std::uint32_t framesThatFit;  // written
  std::int32_t notUsed20[2];
#if UINTPTR_MAX != 0xFFFFFFFFu
  std::int32_t padding28;
#endif
};

// ---- recording ---------------------------------------------------------------
// Recording and sink records have the same offsets on both builds wherever
// their pointers fall on an 8-byte boundary; the rest is noted per record.

// Passed to AVFILE_OpenRecording: only the size is used (exactly 480).
struct RecordingOpenRecord {
  std::int32_t size;
};
inline constexpr std::int32_t kRecordingOpenSize = 480;

// Passed to AVFILE_AddRecordingFile (exactly 32 bytes on both builds).
struct RecordingFileRecord {
  std::int32_t size;
  std::int32_t notUsed4;
  std::uint32_t frameLimit;  // 0 = no limit
  std::int32_t notUsed12;
  void* module;      // must be the plug-in's own module handle
  const char* path;  // null = no clip
#if UINTPTR_MAX == 0xFFFFFFFFu
  std::int32_t notUsed24[2];
#endif
};
inline constexpr std::int32_t kRecordingFileSize = 32;

// Passed to AVFILE_RemoveRecordingFile: only the size (exactly 16).
struct RecordingRemoveRecord {
  std::int32_t size;
  std::int32_t notUsed[3];
};
inline constexpr std::int32_t kRecordingRemoveSize = 16;

// Passed to AVFILE_GetPositionRecording (exactly 8 bytes).
struct RecordingPositionRecord {
  std::int32_t size;
  std::uint32_t framesWritten;  // written
};
inline constexpr std::int32_t kRecordingPositionSize = 8;

// Passed to AVFILE_SetRecordingSettings (>= 944 bytes). The owner window
// sits at 12 on 32-bit and at 16 (its alignment) on 64-bit.
struct RecordingSettingsRecord {
  std::int32_t size;
  std::int32_t flags;  // bit 0: show the input settings dialog
  std::int32_t one;    // written 1
#if UINTPTR_MAX != 0xFFFFFFFFu
  std::int32_t padding12;
#endif
  void* ownerWindow;
  std::uint8_t notUsed[252 - 12 - sizeof(void*) - (sizeof(void*) == 8 ? 4 : 0)];
  ImageFormatRecord recordedFormat;  // written: the stored 4:2:2
  std::uint8_t notUsed488[944 - 488];
};
inline constexpr std::int32_t kMinRecordingSettingsSize = 944;

// Filled by AVFILE_GetRecordingInfo.
struct RecordingInfoRecord {
  std::int32_t size;     // written 1060
  std::int32_t zero[5];  // 4 .. 20
  std::int32_t forty;    // 24
};

// ---- output sink ---------------------------------------------------------------

// Passed to AVFILE_OpenSink; the plug-in copies some of its fields into the
// sink record and stores the sink's event at 40. Pointers fall on 8-byte
// boundaries, so the offsets hold on both builds.
struct SinkOpenRecord {
  std::int32_t size;
  std::int32_t notUsed4[3];
  std::int32_t value16;
  std::int32_t value20;
  const ImageFormatRecord* hostFormat;  // 24: copied whole
#if UINTPTR_MAX == 0xFFFFFFFFu
  std::int32_t notUsed28;
#endif
  std::int32_t value32;
  std::int32_t value36;
  void* event;  // 40: receives the sink's event handle
#if UINTPTR_MAX == 0xFFFFFFFFu
  std::int32_t notUsed44;
#endif
  const void* hostBlock;  // 48: the 32-bit value at its offset 20 is kept
};

// The sink handle: allocated by AVFILE_OpenSink, freed by AVFILE_CloseSink
// (976 bytes on 32-bit; 984 on 64-bit, where the preview pointer moves to 976).
struct SinkRecord {
  std::int32_t size;             // 0 until AVFILE_StartSink writes 976
  ImageFormatRecord formats[3];  // 4: 4:2:2, 4:4:4, RGBA-32
  std::int32_t hostBlockValue;   // 712
  std::int32_t value36;          // 716
  ImageFormatRecord hostFormat;  // 720
  std::int32_t value16;          // 956
  std::int32_t value20;          // 960
  std::int32_t value32;          // 964
  void* event;                   // 968: manual reset, created signalled
  void* preview;                 // 972: the output preview program, or null
};
inline constexpr std::int32_t kSinkRecordSize = 976;

// Passed to AVFILE_SinkGetEmptyBuffer and AVFILE_SinkAddFullBuffer (>= 496).
struct SinkBufferRecord {
  std::int32_t size;
  std::int32_t flags;        // get: the format's flags; add: bit 0 = do not show
  ImageFormatRecord format;  // 8: the host's GUID; width, height, bytes written
  std::uint8_t notUsed244[472 - 244];
  std::int64_t presentationTime;  // 472: microseconds after start; 0 = at once
  void* pixels;                   // 480: the borrowed buffer
  std::uint32_t byteCount;        // 484 (488 on 64-bit)
  std::uint8_t notUsedTail[sizeof(void*) == 8 ? 4 : 8];
};
inline constexpr std::int32_t kMinSinkBufferSize = 496;

// Filled by AVFILE_GetSinkInfo (1068 bytes on 32-bit; on 64-bit the format
// pointer sits at 16 and what follows moves by 8: 1080 bytes).
struct SinkInfoRecord {
  std::int32_t size;
  std::int32_t flags;  // 40, with 0x80 while "ForceNoFrameDrop" is on
  std::int32_t eight;
  const ImageFormatRecord* formats;  // the sink record's three
  std::int32_t formatCount;          // 3
  std::int32_t notUsed20[2];
  std::int32_t two;  // 28
  std::uint8_t notUsed32[1056 - 32];
  std::int32_t zero1056[3];
};

// ---- layout checks -------------------------------------------------------

static_assert(sizeof(ImageFormatRecord) == 236);
static_assert(offsetof(ImageFormatRecord, size) == 0);
static_assert(offsetof(ImageFormatRecord, width) == 4);
static_assert(offsetof(ImageFormatRecord, height) == 8);
static_assert(offsetof(ImageFormatRecord, guid) == 12);
static_assert(offsetof(ImageFormatRecord, rateNumerator) == 112);
static_assert(offsetof(ImageFormatRecord, rateDenominator) == 116);
static_assert(offsetof(ImageFormatRecord, bytesPerFrame) == 120);
static_assert(offsetof(ImageFormatRecord, flags) == 124);
static_assert(offsetof(ImageFormatRecord, notWritten) == 128);
static_assert(offsetof(ImageFormatRecord, name) == 136);

static_assert(offsetof(InterfaceRecord, hostLevel) == 0);
static_assert(offsetof(InterfaceRecord, familyGuid) == 4);
static_assert(offsetof(InterfaceRecord, interfaceGuid) == 104);
static_assert(offsetof(InterfaceRecord, capability) == 204);
static_assert(offsetof(InterfaceRecord, displayName) == 208);
static_assert(offsetof(InterfaceRecord, constantTwo) == 308);
static_assert(offsetof(InterfaceRecord, fileTypeCount) == 312);

static_assert(offsetof(ReadingFileInfoRecord, size) == 0);
static_assert(offsetof(ReadingFileInfoRecord, zero4) == 4);
static_assert(offsetof(ReadingFileInfoRecord, eight) == 8);
static_assert(offsetof(ReadingFileInfoRecord, producer) == 12);
static_assert(offsetof(ReadingFileInfoRecord, forty) == 112);
static_assert(offsetof(ReadingFileInfoRecord, zero116) == 116);
static_assert(offsetof(ReadingFileInfoRecord, mask) == 120);
static_assert(offsetof(ReadingFileInfoRecord, frameCount) == 132);
static_assert(offsetof(ReadingFileInfoRecord, zero136) == 136);

static_assert(offsetof(FrameRequestRecord, size) == 0);
static_assert(offsetof(FrameRequestRecord, frameNumber) == 4);
static_assert(offsetof(FrameRequestRecord, buffer) == sizeof(void*) + 8);  // 12 on 32-bit

static_assert(sizeof(WriteOpenRecord) == 592);
static_assert(offsetof(WriteOpenRecord, size) == 0);

static_assert(sizeof(WritingSettingsRecord) == 944);
static_assert(offsetof(WritingSettingsRecord, one) == 8);
static_assert(offsetof(WritingSettingsRecord, storedFormat) == 252);
static_assert(offsetof(WritingSettingsRecord, hostBlock) == 488);
static_assert(offsetof(WritingSettingsRecord, hostBlockCopy) == 716);

static_assert(offsetof(VideoFrameRecord, pixels) == 8);
static_assert(offsetof(VideoFrameRecord, format) == 16);
static_assert(offsetof(VideoFrameRecord, format) + offsetof(ImageFormatRecord, guid) == 28);
static_assert(offsetof(VideoFrameRecord, format) + offsetof(ImageFormatRecord, bytesPerFrame) ==
              136);

static_assert(offsetof(FreeSpaceRecord, hundred) == 4);
static_assert(offsetof(FreeSpaceRecord, path) == 8);
static_assert(offsetof(FreeSpaceRecord, framesThatFit) == 16);

static_assert(offsetof(RecordingFileRecord, frameLimit) == 8);
static_assert(offsetof(RecordingFileRecord, module) == 16);
static_assert(sizeof(RecordingFileRecord) == 32);
static_assert(sizeof(RecordingRemoveRecord) == 16);
static_assert(sizeof(RecordingPositionRecord) == 8);
static_assert(offsetof(RecordingPositionRecord, framesWritten) == 4);
static_assert(sizeof(RecordingSettingsRecord) == 944);
static_assert(offsetof(RecordingSettingsRecord, one) == 8);
static_assert(offsetof(RecordingSettingsRecord, recordedFormat) == 252);
static_assert(offsetof(RecordingInfoRecord, forty) == 24);
static_assert(offsetof(SinkOpenRecord, value16) == 16);
static_assert(offsetof(SinkOpenRecord, hostFormat) == 24);
static_assert(offsetof(SinkOpenRecord, value32) == 32);
static_assert(offsetof(SinkOpenRecord, value36) == 36);
static_assert(offsetof(SinkOpenRecord, event) == 40);
static_assert(offsetof(SinkOpenRecord, hostBlock) == 48);
static_assert(offsetof(SinkRecord, formats) == 4);
static_assert(offsetof(SinkRecord, hostBlockValue) == 712);
static_assert(offsetof(SinkRecord, hostFormat) == 720);
static_assert(offsetof(SinkRecord, value32) == 964);
static_assert(offsetof(SinkRecord, event) == 968);
static_assert(offsetof(SinkBufferRecord, format) + offsetof(ImageFormatRecord, guid) == 20);
static_assert(offsetof(SinkBufferRecord, format) + offsetof(ImageFormatRecord, bytesPerFrame) ==
              128);
static_assert(offsetof(SinkBufferRecord, presentationTime) == 472);
static_assert(offsetof(SinkBufferRecord, pixels) == 480);
static_assert(sizeof(SinkBufferRecord) == 496);
static_assert(offsetof(SinkInfoRecord, flags) == 4);
static_assert(offsetof(SinkInfoRecord, eight) == 8);

#if UINTPTR_MAX == 0xFFFFFFFFu
// The host's own layout.
static_assert(sizeof(InterfaceRecord) == 324);
static_assert(offsetof(InterfaceRecord, extensions) == 316);
static_assert(offsetof(InterfaceRecord, descriptions) == 320);
static_assert(sizeof(ReadingFileInfoRecord) == 176);
static_assert(offsetof(ReadingFileInfoRecord, formats) == 140);
static_assert(offsetof(ReadingFileInfoRecord, formatCount) == 144);
static_assert(offsetof(ReadingFileInfoRecord, zero148) == 148);
static_assert(offsetof(ReadingFileInfoRecord, zero152) == 152);
static_assert(offsetof(ReadingFileInfoRecord, preference) == 156);
static_assert(offsetof(ReadingFileInfoRecord, handle) == 164);
static_assert(sizeof(FrameRequestRecord) == 492);
static_assert(offsetof(FrameRequestRecord, buffer) == 12);
static_assert(offsetof(FrameRequestRecord, bufferSize) == 16);
static_assert(offsetof(FrameRequestRecord, requested) == 20);
static_assert(offsetof(FrameRequestRecord, delivered) == 256);
static_assert(offsetof(WriteOpenRecord, path) == 4);
static_assert(sizeof(WritingFileInfoRecord) == 28);
static_assert(offsetof(WritingFileInfoRecord, formats) == 4);
static_assert(offsetof(WritingFileInfoRecord, formatCount) == 8);
static_assert(offsetof(WritingFileInfoRecord, zero12) == 12);
static_assert(offsetof(WritingFileInfoRecord, zero16) == 16);
static_assert(offsetof(WritingFileInfoRecord, forty) == 20);
static_assert(offsetof(WritingFileInfoRecord, preference) == 24);
static_assert(sizeof(FreeSpaceRecord) == 28);
static_assert(sizeof(VideoFrameRecord) == 252);
static_assert(offsetof(RecordingFileRecord, path) == 20);
static_assert(offsetof(RecordingSettingsRecord, ownerWindow) == 12);
static_assert(offsetof(SinkRecord, preview) == 972);
static_assert(sizeof(SinkOpenRecord) == 52);
static_assert(sizeof(SinkRecord) == 976);
static_assert(offsetof(SinkBufferRecord, byteCount) == 484);
static_assert(offsetof(SinkInfoRecord, formats) == 12);
static_assert(offsetof(SinkInfoRecord, formatCount) == 16);
static_assert(offsetof(SinkInfoRecord, two) == 28);
static_assert(offsetof(SinkInfoRecord, zero1056) == 1056);
static_assert(sizeof(SinkInfoRecord) == 1068);
#else
// The native 64-bit layout documented above.
static_assert(sizeof(InterfaceRecord) == 336);
static_assert(offsetof(InterfaceRecord, extensions) == 320);
static_assert(offsetof(InterfaceRecord, descriptions) == 328);
static_assert(sizeof(ReadingFileInfoRecord) == 192);
static_assert(offsetof(ReadingFileInfoRecord, formats) == 144);
static_assert(offsetof(ReadingFileInfoRecord, formatCount) == 152);
static_assert(offsetof(ReadingFileInfoRecord, preference) == 168);
static_assert(offsetof(ReadingFileInfoRecord, handle) == 184);
static_assert(sizeof(VideoFrameRecord) == 256);
static_assert(sizeof(FrameRequestRecord) == 504);
static_assert(offsetof(FrameRequestRecord, bufferSize) == 24);
static_assert(offsetof(FrameRequestRecord, requested) == 28);
static_assert(offsetof(FrameRequestRecord, delivered) == 264);
static_assert(offsetof(WriteOpenRecord, path) == 8);
static_assert(sizeof(WritingFileInfoRecord) == 40);
static_assert(offsetof(WritingFileInfoRecord, formatCount) == 16);
static_assert(offsetof(WritingFileInfoRecord, forty) == 28);
static_assert(offsetof(WritingFileInfoRecord, preference) == 32);
static_assert(sizeof(FreeSpaceRecord) == 32);
static_assert(offsetof(RecordingFileRecord, path) == 24);
static_assert(offsetof(RecordingSettingsRecord, ownerWindow) == 16);
static_assert(offsetof(SinkRecord, preview) == 976);
static_assert(sizeof(SinkOpenRecord) == 56);
static_assert(sizeof(SinkRecord) == 984);
static_assert(offsetof(SinkBufferRecord, byteCount) == 488);
static_assert(offsetof(SinkInfoRecord, formats) == 16);
static_assert(offsetof(SinkInfoRecord, formatCount) == 24);
static_assert(offsetof(SinkInfoRecord, two) == 36);
static_assert(sizeof(SinkInfoRecord) == 1080);
#endif

// The smallest sizes the host must give in a record's size field.
inline constexpr std::int32_t kMinReadingFileInfoSize = 176;
inline constexpr std::int32_t kMinFrameRequestSize = 492;
inline constexpr std::int32_t kMinWriteOpenSize = 592;
inline constexpr std::int32_t kMinWritingSettingsSize = 944;
inline constexpr std::int32_t kMinFreeSpaceSize = 28;

}  // namespace quellor::rtvbridge
