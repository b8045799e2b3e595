// The fuzz input of rtvtool_cli_fuzzer and its structure-aware mutator.
//
// Layout (little-endian):
//   0      command selector (see RtvToolFuzzer.cpp)
//   1      frame number for export
//   2..5   extra copies of the first stream header (at file offset 24)
//   6..9   zero bytes appended to the file
//   10..   the file's own bytes
// The copies and the zero tail let a few hundred input bytes stand for a
// clip of 70,000 streams or of several whole frames, which raw bytes could
// only reach with megabytes of input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace quellor::fuzz {

inline constexpr std::size_t kPrefixSize = 10;
inline constexpr std::uint32_t kMostStreamCopies = 100000;
// A tail of 1 MiB holds dozens of small frames or a chunk far beyond a
// header's claims; more only slows every run down.
inline constexpr std::uint32_t kMostZeroTail = 1u << 20;

struct ClipInput {
  std::uint8_t command = 0;
  std::uint8_t frame = 0;
  std::uint32_t stream_copies = 0;
  std::uint32_t zero_tail = 0;
  const std::uint8_t* file = nullptr;
  std::size_t file_size = 0;
};

// Splits an input; false when it is shorter than the prefix.
bool SplitInput(const std::uint8_t* data, std::size_t size, ClipInput* input);

// The file the input stands for, copies and tail expanded (both capped).
std::vector<std::uint8_t> ExpandFile(const ClipInput& input);

// Rewrites one header field, the prefix, or the whole input into a small
// consistent clip, in place; returns the new size (at most max_size).
std::size_t MutateClipInput(std::uint8_t* data, std::size_t size, std::size_t max_size,
                            std::mt19937& random);

}  // namespace quellor::fuzz
