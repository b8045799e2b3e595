// Host frames into the two stored 4:2:2 fields of a frame, for the writing
// exports. Each field is pixels per line x lines x 2 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quellor::rtvbridge {

// `bytes` from `source` into field memory that goes to the disk next. The
// fast copy streams past the processor's caches where the field is 16-byte
// aligned (and copies plainly elsewhere); FinishFieldCopies must follow it
// before the field is written out or read by another thread. Both give the
// same bytes.
void CopyToField_C(std::uint8_t* field, const std::uint8_t* source, std::size_t bytes);
void CopyToField_Fast(std::uint8_t* field, const std::uint8_t* source, std::size_t bytes);
void FinishFieldCopies();

// BGRA lines bottom-up (as the RGBA-32 format delivers them), converted with
// the colour conversion's rows: buffer line 2L - 1 - 2k becomes line k of the
// first field, 2L - 2 - 2k line k of the second. EncodeBottomUpFrame runs the
// AVX2 path where the processor has it, the bands elsewhere; all give the
// bytes of encode_bgra_ycbcr8 line by line.
//  - _AVX2: each line straight into its field with the one-pass row,
//    streaming past the caches (the fields go to the disk next).
//  - _Bands: the host's lines converted in 32 KiB bands in the order they lie
//    in memory, each 4:2:2 line then copied to its field; one libyuv call per
//    line would cost 1.7 times the conversion of the same pixels in long runs.
void EncodeBottomUpFrame(const std::uint8_t* pixels, std::uint8_t* first, std::uint8_t* second,
                         std::uint32_t width, std::uint32_t lines);
void EncodeBottomUpFrame_AVX2(const std::uint8_t* pixels, std::uint8_t* first, std::uint8_t* second,
                              std::uint32_t width, std::uint32_t lines);
void EncodeBottomUpFrame_Bands(const std::uint8_t* pixels, std::uint8_t* first,
                               std::uint8_t* second, std::uint32_t width, std::uint32_t lines);

// Y Cb Cr A lines top-down, alternating between the first and the second
// field, starting with the first.
void Encode444Frame(const std::uint8_t* pixels, std::uint8_t* first, std::uint8_t* second,
                    std::uint32_t width, std::uint32_t lines);

}  // namespace quellor::rtvbridge
