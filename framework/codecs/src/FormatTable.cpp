// The library's operations: the table of formats in index order, and the
// checks every call gets before its codec runs.
#include <cctype>
#include <string_view>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr const Codec* kTable[kFormatCount] = {
    &kBitmapCodec, &kGifCodec,     &kPcxCodec,     &kTiffCodec,   &kTargaCodec,
    &kIlbmCodec,   &kYuv12cCodec,  &kGreymapCodec, &kPixmapCodec, &kKipsCodec,
    &kIaxCodec,    &kXBitmapCodec, &kSpriteCodec,  &kPsegCodec,
};

constexpr const char* kLibraryTexts[] = {
    "ok",
    "out of memory",
    "not supported",
    "bad option(s)",
    "not found",
    "bad magic number / signiture block",
    "bad bitmap size",
    "can't read file",
    "can't write file",
};

const Codec* CodecOf(int format) {
  return format >= 0 && format < kFormatCount ? kTable[format] : nullptr;
}

unsigned ReadFlag(int bits) {
  switch (bits) {
    case 1:
      return kReads1;
    case 4:
      return kReads4;
    case 8:
      return kReads8;
    case 24:
      return kReads24;
    case 32:
      return kReads32;
    default:
      return 0;
  }
}

unsigned WriteFlag(int bits) {
  switch (bits) {
    case 1:
      return kWrites1;
    case 4:
      return kWrites4;
    case 8:
      return kWrites8;
    case 24:
      return kWrites24;
    default:
      return 0;
  }
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool ListClaims(std::string_view list, std::string_view extension) {
  while (!list.empty()) {
    std::size_t end = list.find(' ');
    if (SameLetters(list.substr(0, end), extension)) return true;
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return false;
}

// A record a codec filled must describe a picture the caller can hold.
int CheckFilledRecord(const Codec& codec, const BitmapRecord& bitmap) {
  if ((codec.info.flags & ReadFlag(bitmap.bitsPerPixel)) == 0) return kCodecNotSupported;
  return CheckPictureSize(bitmap.width, bitmap.height, bitmap.bitsPerPixel);
}

}  // namespace

std::size_t ImageDataSize(const BitmapRecord& bitmap) {
  if (CheckPictureSize(bitmap.width, bitmap.height, bitmap.bitsPerPixel) != kCodecOk) return 0;
  return static_cast<std::size_t>(RowStride(bitmap.width, bitmap.bitsPerPixel) *
                                  static_cast<std::uint64_t>(bitmap.height));
}

int ImageCodecInitialise() {
  return kCodecOk;
}

int ImageCodecFinish() {
  return kCodecOk;
}

int ImageCodecCount() {
  return kFormatCount;
}

int ImageCodecQuery(int format, FormatInfo* info) {
  const Codec* codec = CodecOf(format);
  if (codec == nullptr || info == nullptr) return kCodecNotFound;
  *info = codec->info;
  return kCodecOk;
}

int ImageCodecIdentify(const char* fileName, int* format) {
  if (fileName == nullptr || format == nullptr) return kCodecNotFound;
  std::string_view name(fileName);
  std::string_view extension;
  std::size_t point = name.rfind('.');
  if (point != std::string_view::npos &&
      name.find_first_of("/\\", point) == std::string_view::npos) {
    extension = name.substr(point + 1);
  }
  if (extension.empty()) return kCodecNotFound;
  for (int index = 0; index < kFormatCount; ++index) {
    if (ListClaims(kTable[index]->info.extensions, extension)) {
      *format = index;
      return kCodecOk;
    }
  }
  return kCodecNotFound;
}

int ImageCodecReadHeader(const char* fileName, std::FILE* file, int format, BitmapRecord* bitmap,
                         const char* options) {
  const Codec* codec = CodecOf(format);
  if (codec == nullptr) return kCodecNotFound;
  if (file == nullptr || bitmap == nullptr) return kCodecCannotRead;
  *bitmap = BitmapRecord{};
  int code =
      codec->readHeader(fileName != nullptr ? fileName : "", file, *bitmap, CodecOptions(options));
  if (code == kCodecOk) code = CheckFilledRecord(*codec, *bitmap);
  return code;
}

int ImageCodecReadPalette(std::FILE* file, int format, BitmapRecord* bitmap,
                          std::uint8_t* palette) {
  const Codec* codec = CodecOf(format);
  if (codec == nullptr) return kCodecNotFound;
  if (file == nullptr || bitmap == nullptr || palette == nullptr) return kCodecCannotRead;
  if (int code = CheckFilledRecord(*codec, *bitmap)) return code;
  return codec->readPalette(file, *bitmap, palette);
}

int ImageCodecReadData(std::FILE* file, int format, BitmapRecord* bitmap, std::uint8_t* data) {
  const Codec* codec = CodecOf(format);
  if (codec == nullptr) return kCodecNotFound;
  if (file == nullptr || bitmap == nullptr || data == nullptr) return kCodecCannotRead;
  if (int code = CheckFilledRecord(*codec, *bitmap)) return code;
  return codec->readData(file, *bitmap, data);
}

int ImageCodecWrite(const char* fileName, std::FILE* file, int format, const BitmapRecord* bitmap,
                    const std::uint8_t* palette, const std::uint8_t* data, const char* options) {
  const Codec* codec = CodecOf(format);
  if (codec == nullptr) return kCodecNotFound;
  if (file == nullptr || bitmap == nullptr || data == nullptr) return kCodecCannotWrite;
  if ((codec->info.flags & WriteFlag(bitmap->bitsPerPixel)) == 0) return kCodecNotSupported;
  if (int code = CheckPictureSize(bitmap->width, bitmap->height, bitmap->bitsPerPixel)) {
    return code;
  }
  // Pictures of 1, 4 and 8 bits need their palette; a missing one is grey.
  std::uint8_t grey[kPaletteBytes];
  if (palette == nullptr) {
    for (unsigned i = 0; i < 256; ++i) grey[3 * i] = grey[3 * i + 1] = grey[3 * i + 2] = i;
    palette = grey;
  }
  return codec->write(fileName != nullptr ? fileName : "", file, *bitmap, palette, data,
                      CodecOptions(options));
}

const char* ImageCodecErrorText(int code) {
  if (code >= 0 && code < static_cast<int>(std::size(kLibraryTexts))) return kLibraryTexts[code];
  for (const Codec* codec : kTable) {
    if (const char* text = codec->errorText(code)) return text;
  }
  return "general error";
}

}  // namespace quellor::codecs
