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

constinit const Codec kPsegCodec = {
    {"PSEG", "IBM Printer Page Segment", "PSE PSEG PSEG38PP PSEG3820", 0x21},
    &NoHeader,
    &NoPalette,
    &NoData,
    &NoWrite,
    &NoText};
}  // namespace quellor::codecs
