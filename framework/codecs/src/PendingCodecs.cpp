// Codecs not written yet: they answer "not supported".
#include "Codec.h"

namespace quellor::codecs {
namespace {
int NoHeader(const char*, std::FILE*, BitmapRecord&, const CodecOptions&) {
  return kCodecNotSupported;
}
int NoPalette(std::FILE*, BitmapRecord&, std::uint8_t*) {
  return kCodecNotSupported;
}
int NoData(std::FILE*, BitmapRecord&, std::uint8_t*) {
  return kCodecNotSupported;
}
int NoWrite(const char*, std::FILE*, const BitmapRecord&, const std::uint8_t*, const std::uint8_t*,
            const CodecOptions&) {
  return kCodecNotSupported;
}
const char* NoText(int) {
  return nullptr;
}
}  // namespace

constinit const Codec kPcxCodec = {{"PCX", "ZSoft PC Paintbrush Image format", "PCX", 0x1EF},
                                   &NoHeader,
                                   &NoPalette,
                                   &NoData,
                                   &NoWrite,
                                   &NoText};
constinit const Codec kIlbmCodec = {
    {"ILBM", "Amiga IFF / ILBM Interleaved bitmap", "IFF LBM", 0x1EF},
    &NoHeader,
    &NoPalette,
    &NoData,
    &NoWrite,
    &NoText};
constinit const Codec kYuv12cCodec = {
    {"YUV12C", "YUV12C M-Motion Video Frame Buffer", "VID", 0x108},
    &NoHeader,
    &NoPalette,
    &NoData,
    &NoWrite,
    &NoText};
constinit const Codec kKipsCodec = {
    {"KIPS", "IBM KIPS", "KPS", 0x84}, &NoHeader, &NoPalette, &NoData, &NoWrite, &NoText};
constinit const Codec kIaxCodec = {{"IAX", "IBM Image Access eXecutive", "IAX", 0x84},
                                   &NoHeader,
                                   &NoPalette,
                                   &NoData,
                                   &NoWrite,
                                   &NoText};
constinit const Codec kXBitmapCodec = {{"XBitmap", "X Windows Bitmap", "XBM", 0x21},
                                       &NoHeader,
                                       &NoPalette,
                                       &NoData,
                                       &NoWrite,
                                       &NoText};
constinit const Codec kSpriteCodec = {
    {"Sprite", "Archimedes Sprite from RiscOS", "SPR SPRITE", 0xE7},
    &NoHeader,
    &NoPalette,
    &NoData,
    &NoWrite,
    &NoText};
constinit const Codec kPsegCodec = {
    {"PSEG", "IBM Printer Page Segment", "PSE PSEG PSEG38PP PSEG3820", 0x21},
    &NoHeader,
    &NoPalette,
    &NoData,
    &NoWrite,
    &NoText};
}  // namespace quellor::codecs
