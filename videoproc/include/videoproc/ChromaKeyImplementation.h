// ChromaKeyImplementation: the keying engine. Works in place on VideoUYVY
// pixel pairs (U, Y0, V, Y1), replacing, mixing or combining each pair of a
// foreground picture with a background picture of the same layout or with a
// constant background colour.
#pragma once

#include <quellor/Export.h>

#include <qlxrapi/VariableBlock.h>

#include <cstdint>

enum ChromaKeyMode : std::int32_t {
  ChromaKeyMode_Add = 1,          // ApplyKey_Luma_Add
  ChromaKeyMode_Subtract = 2,     // ApplyKey_Luma_Subtract
  ChromaKeyMode_Tint = 3,         // ApplyKey_Luma_Tint
  ChromaKeyMode_MaxY = 4,         // ApplyKey_Luma_MaxY: the brighter pair wins
  ChromaKeyMode_MinY = 5,         // ApplyKey_Luma_MinY: the darker pair wins
  ChromaKeyMode_Chroma = 6,       // ApplyKey_Luma_Chroma: soft chroma key
  ChromaKeyMode_LinearLight = 7,  // ApplyKey_Luma_Linear_Light
  ChromaKeyMode_LinearDark = 8,   // ApplyKey_Luma_Linear_Dark
  ChromaKeyMode_Dark = 9,         // ApplyKey_Luma_Dark: dark pixels replaced
  ChromaKeyMode_Light = 10,       // ApplyKey_Luma_Light: light pixels replaced
};

// Entries of the key curve: a distance or brightness 0..510.
inline constexpr int kKeyCurveEntries = 511;

// Everything one pass of a key needs, copied out of the engine under its lock
// at the start of the pass, so that a host changing the settings from another
// thread never tears a pass (the change applies from the next field on).
struct ChromaKeySnapshot {
  std::int32_t mode;
  std::uint8_t keyU, keyV;
  std::uint8_t low, high;          // thresholds of the hard luma keys
  std::uint8_t backgroundPair[4];  // the background colour as a pair U, Y, V, Y
  std::int32_t curve[512];         // the key curve widened to words (gather-ready)
};

class QUELLOR_EXPORT ChromaKeyImplementation {
 public:
  // Tolerance 35, softness 20, maximum 255; key colour RGB 66,158,66; background
  // colour RGB 127,127,0; the chroma key.
  ChromaKeyImplementation();
  ChromaKeyImplementation(const ChromaKeyImplementation&) = delete;
  ChromaKeyImplementation& operator=(const ChromaKeyImplementation&) = delete;

  void SetKeyMode(ChromaKeyMode mode);
  void SetColors_YUV(unsigned char y, unsigned char u, unsigned char v);
  void SetBGColors_YUV(unsigned char y, unsigned char u, unsigned char v);
  // 0..255 RGB to studio-range YUV: the key colour clamped to 0..255, the
  // background colour to 1..254.
  void SetColors_RGB(double r, double g, double b);
  void SetBGColors_RGB(double r, double g, double b);
  // Recomputes the key curve (once per change, never per pixel). Values above
  // 255 count as 255.
  void SetToleranceValues(unsigned int tolerance, unsigned int softness, unsigned int maximum);

  // Keys pixels / 2 pairs of picture in place (an odd last pixel is left
  // alone) against background, or against the background colour when
  // background is null. A null picture does nothing.
  void ApplyKey(unsigned char* picture, unsigned char* background, unsigned int pixels);

  // Observers for hosts and tests.
  ChromaKeyMode GetKeyMode();
  void GetColors_YUV(unsigned char* y, unsigned char* u, unsigned char* v);
  void GetBGColors_YUV(unsigned char* y, unsigned char* u, unsigned char* v);
  unsigned char GetCurveEntry(int index);  // 0 past the table
  unsigned char GetLowThreshold();
  unsigned char GetHighThreshold();
  unsigned char GetSoftness();
  unsigned char GetMaximum();
  void Snapshot(ChromaKeySnapshot& snapshot);

 private:
  static double TanH(double value);
  static long Clip255_NOT_NEEDED_FOR_MMX(long value);  // clamps to 1..254

  // Field order is the engine's documented layout.
  std::uint8_t m_curve[kKeyCurveEntries];
  ChromaKeyMode m_mode = ChromaKeyMode_Chroma;
  std::uint8_t m_low = 0;
  std::uint8_t m_high = 0;
  std::uint8_t m_softness = 0;
  std::uint8_t m_keyY = 0, m_keyU = 0, m_keyV = 0;
  std::uint8_t m_bgY = 0, m_bgU = 0, m_bgV = 0;
  std::uint8_t m_maximum = 0;
  // Guards the settings against a render thread copying them.
  Variable_Block m_settingsLock;
};
