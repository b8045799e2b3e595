// Row functions of the keyer. Each mode has a plain C row; the modes that
// carry the live keys (chroma, the soft and the hard luma keys) also have an
// AVX2 row that gives the same bytes. `pairs` counts pixel pairs (4 bytes);
// the background is either a picture (step 4) or one pair repeated (step 0).
// Buffers need no particular alignment.
#pragma once

#include <cstddef>
#include <cstdint>

#include "videoproc/ChromaKeyImplementation.h"

namespace quellor::videoproc {

using KeyRowFunction = void (*)(std::uint8_t* picture, const std::uint8_t* background,
                                std::size_t backgroundStep, const ChromaKeySnapshot& key,
                                std::size_t pairs);

void KeyAddRow_C(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                 std::size_t);
void KeySubtractRow_C(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                      std::size_t);
void KeyTintRow_C(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                  std::size_t);
void KeyMaxYRow_C(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                  std::size_t);
void KeyMinYRow_C(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                  std::size_t);
void KeyChromaRow_C(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                    std::size_t);
void KeyLinearLightRow_C(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                         std::size_t);
void KeyLinearDarkRow_C(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                        std::size_t);
void KeyDarkRow_C(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                  std::size_t);
void KeyLightRow_C(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                   std::size_t);

void KeyChromaRow_AVX2(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                       std::size_t);
void KeyLinearDarkRow_AVX2(std::uint8_t*, const std::uint8_t*, std::size_t,
                           const ChromaKeySnapshot&, std::size_t);
void KeyLinearLightRow_AVX2(std::uint8_t*, const std::uint8_t*, std::size_t,
                            const ChromaKeySnapshot&, std::size_t);
void KeyDarkRow_AVX2(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                     std::size_t);
void KeyLightRow_AVX2(std::uint8_t*, const std::uint8_t*, std::size_t, const ChromaKeySnapshot&,
                      std::size_t);

// The row of a mode (1..10) on this processor, chosen once; null for any
// other mode (the picture stays as it is).
KeyRowFunction KeyRowForMode(std::int32_t mode);
// The plain C row of a mode, for tests and benchmarks; null for other modes.
KeyRowFunction KeyRowForMode_C(std::int32_t mode);
// True when the AVX2 rows are in use.
bool VideoFastPathAvailable();

}  // namespace quellor::videoproc
