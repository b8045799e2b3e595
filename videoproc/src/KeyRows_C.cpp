// The plain C rows of the keyer: one pixel pair (U, Y0, V, Y1) at a time.
#include <cstdlib>

#include "KeyRows.h"

namespace quellor::videoproc {
namespace {

// Results below 2 become 1, from 254 up 254 (the arithmetic modes).
inline std::uint8_t Clamp(int value) {
  if (value < 2) return 1;
  if (value >= 254) return 254;
  return static_cast<std::uint8_t>(value);
}

// (b x k + g x (255 - k)) >> 8; the sum stays below 65536.
inline std::uint8_t Mix(int b, int g, int k) {
  return static_cast<std::uint8_t>((b * k + g * (255 - k)) >> 8);
}

template <typename PairOperation>
void ForEachPair(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                 std::size_t pairs, PairOperation operation) {
  for (std::size_t i = 0; i < pairs; ++i) {
    operation(picture, background);
    picture += 4;
    background += step;
  }
}

}  // namespace

void KeyAddRow_C(std::uint8_t* p, const std::uint8_t* g, std::size_t step, const ChromaKeySnapshot&,
                 std::size_t pairs) {
  ForEachPair(p, g, step, pairs, [](std::uint8_t* b, const std::uint8_t* bg) {
    for (int i = 0; i < 4; ++i) b[i] = Clamp(b[i] + bg[i] - 16);
  });
}

void KeySubtractRow_C(std::uint8_t* p, const std::uint8_t* g, std::size_t step,
                      const ChromaKeySnapshot&, std::size_t pairs) {
  ForEachPair(p, g, step, pairs, [](std::uint8_t* b, const std::uint8_t* bg) {
    for (int i = 0; i < 4; ++i) b[i] = Clamp(b[i] - bg[i] + 16);
  });
}

void KeyTintRow_C(std::uint8_t* p, const std::uint8_t* g, std::size_t step,
                  const ChromaKeySnapshot&, std::size_t pairs) {
  ForEachPair(p, g, step, pairs, [](std::uint8_t* b, const std::uint8_t* bg) {
    for (int i = 0; i < 4; ++i) {
      const int fore = b[i] - 15 > 1 ? b[i] - 15 : 1;
      const int back = bg[i] - 16 > 1 ? bg[i] - 16 : 1;
      b[i] = static_cast<std::uint8_t>(16 + ((fore * back) >> 8));
    }
  });
}

void KeyMaxYRow_C(std::uint8_t* p, const std::uint8_t* g, std::size_t step,
                  const ChromaKeySnapshot&, std::size_t pairs) {
  ForEachPair(p, g, step, pairs, [](std::uint8_t* b, const std::uint8_t* bg) {
    if (b[1] < bg[1]) b[0] = bg[0], b[1] = bg[1], b[2] = bg[2];
    if (b[3] < bg[3]) b[3] = bg[3];
  });
}

void KeyMinYRow_C(std::uint8_t* p, const std::uint8_t* g, std::size_t step,
                  const ChromaKeySnapshot&, std::size_t pairs) {
  ForEachPair(p, g, step, pairs, [](std::uint8_t* b, const std::uint8_t* bg) {
    if (b[1] > bg[1]) b[0] = bg[0], b[1] = bg[1], b[2] = bg[2];
    if (b[3] > bg[3]) b[3] = bg[3];
  });
}

void KeyChromaRow_C(std::uint8_t* p, const std::uint8_t* g, std::size_t step,
                    const ChromaKeySnapshot& key, std::size_t pairs) {
  const int keyU = key.keyU, keyV = key.keyV;
  ForEachPair(p, g, step, pairs, [&](std::uint8_t* b, const std::uint8_t* bg) {
    const int k = key.curve[std::abs(b[0] - keyU) + std::abs(b[2] - keyV)];
    for (int i = 0; i < 4; ++i) b[i] = Mix(b[i], bg[i], k);
  });
}

void KeyLinearLightRow_C(std::uint8_t* p, const std::uint8_t* g, std::size_t step,
                         const ChromaKeySnapshot& key, std::size_t pairs) {
  ForEachPair(p, g, step, pairs, [&](std::uint8_t* b, const std::uint8_t* bg) {
    const int k0 = key.curve[255 - b[1]];
    const int k1 = key.curve[255 - b[3]];
    for (int i = 0; i < 3; ++i) b[i] = Mix(b[i], bg[i], k0);
    b[3] = Mix(b[3], bg[3], k1);
  });
}

void KeyLinearDarkRow_C(std::uint8_t* p, const std::uint8_t* g, std::size_t step,
                        const ChromaKeySnapshot& key, std::size_t pairs) {
  ForEachPair(p, g, step, pairs, [&](std::uint8_t* b, const std::uint8_t* bg) {
    const int k = key.curve[b[1]];  // Y1 follows Y0's key
    for (int i = 0; i < 4; ++i) b[i] = Mix(b[i], bg[i], k);
  });
}

void KeyDarkRow_C(std::uint8_t* p, const std::uint8_t* g, std::size_t step,
                  const ChromaKeySnapshot& key, std::size_t pairs) {
  const int low = key.low;
  ForEachPair(p, g, step, pairs, [&](std::uint8_t* b, const std::uint8_t* bg) {
    if (b[1] < low) b[0] = bg[0], b[1] = bg[1], b[2] = bg[2];
    if (b[3] < low) b[3] = bg[3];
  });
}

void KeyLightRow_C(std::uint8_t* p, const std::uint8_t* g, std::size_t step,
                   const ChromaKeySnapshot& key, std::size_t pairs) {
  const int high = key.high;
  ForEachPair(p, g, step, pairs, [&](std::uint8_t* b, const std::uint8_t* bg) {
    if (b[1] > high) b[0] = bg[0], b[1] = bg[1], b[2] = bg[2];
    if (b[3] > high) b[3] = bg[3];
  });
}

KeyRowFunction KeyRowForMode_C(std::int32_t mode) {
  switch (mode) {
    case ChromaKeyMode_Add:
      return KeyAddRow_C;
    case ChromaKeyMode_Subtract:
      return KeySubtractRow_C;
    case ChromaKeyMode_Tint:
      return KeyTintRow_C;
    case ChromaKeyMode_MaxY:
      return KeyMaxYRow_C;
    case ChromaKeyMode_MinY:
      return KeyMinYRow_C;
    case ChromaKeyMode_Chroma:
      return KeyChromaRow_C;
    case ChromaKeyMode_LinearLight:
      return KeyLinearLightRow_C;
    case ChromaKeyMode_LinearDark:
      return KeyLinearDarkRow_C;
    case ChromaKeyMode_Dark:
      return KeyDarkRow_C;
    case ChromaKeyMode_Light:
      return KeyLightRow_C;
    default:
      return nullptr;
  }
}

}  // namespace quellor::videoproc
