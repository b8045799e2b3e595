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
#endif

// The smallest sizes the host must give in a record's size field.
inline constexpr std::int32_t kMinReadingFileInfoSize = 176;
inline constexpr std::int32_t kMinFrameRequestSize = 492;
inline constexpr std::int32_t kMinWriteOpenSize = 592;
inline constexpr std::int32_t kMinWritingSettingsSize = 944;
inline constexpr std::int32_t kMinFreeSpaceSize = 28;

}  // namespace quellor::rtvbridge
