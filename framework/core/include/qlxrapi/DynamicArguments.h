// The extra-argument block of a change notice.
//
// DynamicTalker::Changed and Dynamic<T>::Set pass their extra arguments to
// every listener as one block of 8-byte words, one word per argument in the
// order they were passed: pointers as addresses, integers and enumerations
// sign- or zero-extended to 64 bits, float and double as a double. A listener
// reads word i as, for example, static_cast<void**>(args)[i]. The block always
// holds at least one word (0 when no argument was passed).
//
// The "DynamicTalker::Delete" notice carries one word: the talker's address.
#pragma once

#include <bit>
#include <cstdint>
#include <type_traits>

using DynamicArgumentWord = std::uint64_t;

template <typename Argument>
DynamicArgumentWord ToDynamicArgumentWord(Argument argument) {
  if constexpr (std::is_null_pointer_v<Argument>) {
    return 0;
  } else if constexpr (std::is_pointer_v<Argument>) {
    return reinterpret_cast<std::uintptr_t>(argument);
  } else if constexpr (std::is_floating_point_v<Argument>) {
    return std::bit_cast<DynamicArgumentWord>(static_cast<double>(argument));
  } else if constexpr (std::is_enum_v<Argument>) {
    return ToDynamicArgumentWord(static_cast<std::underlying_type_t<Argument>>(argument));
  } else if constexpr (std::is_integral_v<Argument> && std::is_signed_v<Argument>) {
    return static_cast<DynamicArgumentWord>(static_cast<std::int64_t>(argument));
  } else {
    static_assert(std::is_integral_v<Argument>,
                  "notice arguments are pointers, integers, enumerations or floating point");
    return static_cast<DynamicArgumentWord>(argument);
  }
}
