#include "videoproc/ChromaKeyImplementation.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "KeyRows.h"

namespace {

struct YUV {
  double y, u, v;
};

// 0..255 RGB to studio-range YUV; the .5 in the constants rounds the
// truncation that follows.
YUV RGBToYUV(double r, double g, double b) {
  return {0.098 * b + 0.257 * r + 0.504 * g + 16.5, 0.439 * b - (0.148 * r + 0.291 * g) + 128.5,
          0.439 * r - 0.368 * g - 0.071 * b + 128.5};
}

unsigned char ClampTruncate(double value, double low, double high) {
  if (!(value >= low)) value = low;  // not-a-number too
  if (value > high) value = high;
  return static_cast<unsigned char>(value);
}

}  // namespace

ChromaKeyImplementation::ChromaKeyImplementation() {
  std::memset(m_curve, 0, sizeof m_curve);
  SetToleranceValues(35, 20, 255);
  SetColors_RGB(66.0, 158.0, 66.0);
  SetBGColors_RGB(127.0, 127.0, 0.0);
  SetKeyMode(ChromaKeyMode_Chroma);
}

void ChromaKeyImplementation::SetKeyMode(ChromaKeyMode mode) {
  FunctionBlock hold(m_settingsLock);
  m_mode = mode;
}

void ChromaKeyImplementation::SetColors_YUV(unsigned char y, unsigned char u, unsigned char v) {
  FunctionBlock hold(m_settingsLock);
  m_keyY = y, m_keyU = u, m_keyV = v;
}

void ChromaKeyImplementation::SetBGColors_YUV(unsigned char y, unsigned char u, unsigned char v) {
  FunctionBlock hold(m_settingsLock);
  m_bgY = y, m_bgU = u, m_bgV = v;
}

void ChromaKeyImplementation::SetColors_RGB(double r, double g, double b) {
  const YUV c = RGBToYUV(r, g, b);
  SetColors_YUV(ClampTruncate(c.y, 0, 255), ClampTruncate(c.u, 0, 255), ClampTruncate(c.v, 0, 255));
}

void ChromaKeyImplementation::SetBGColors_RGB(double r, double g, double b) {
  const YUV c = RGBToYUV(r, g, b);
  SetBGColors_YUV(static_cast<unsigned char>(
                      Clip255_NOT_NEEDED_FOR_MMX(static_cast<long>(ClampTruncate(c.y, 0, 255)))),
                  static_cast<unsigned char>(
                      Clip255_NOT_NEEDED_FOR_MMX(static_cast<long>(ClampTruncate(c.u, 0, 255)))),
                  static_cast<unsigned char>(
                      Clip255_NOT_NEEDED_FOR_MMX(static_cast<long>(ClampTruncate(c.v, 0, 255)))));
}

void ChromaKeyImplementation::SetToleranceValues(unsigned int tolerance, unsigned int softness,
                                                 unsigned int maximum) {
  const unsigned int tol = std::min(tolerance, 255u);
  const unsigned int soft = std::min(softness, 255u);
  const unsigned int max = std::min(maximum, 255u);
  // A softness of 0 is a hard edge: a step so steep that TanH saturates one
  // entry away from the tolerance.
  const double step = soft != 0 ? 1.0 / soft : 1000.0;
  const double offset = soft != 0 ? -(tol * step) : tol * -1000.0;
  std::uint8_t curve[kKeyCurveEntries];
  for (int i = 0; i < kKeyCurveEntries; ++i) {
    curve[i] = static_cast<std::uint8_t>((TanH(i * step + offset) + 1.0) * (max * 0.5) + 0.5);
  }
  FunctionBlock hold(m_settingsLock);
  std::memcpy(m_curve, curve, sizeof m_curve);
  m_low = static_cast<std::uint8_t>(tol);
  m_high = static_cast<std::uint8_t>(255 - tol);
  m_softness = static_cast<std::uint8_t>(soft);
  m_maximum = static_cast<std::uint8_t>(max);
}

void ChromaKeyImplementation::Snapshot(ChromaKeySnapshot& snapshot) {
  FunctionBlock hold(m_settingsLock);
  snapshot.mode = m_mode;
  snapshot.keyU = m_keyU;
  snapshot.keyV = m_keyV;
  snapshot.low = m_low;
  snapshot.high = m_high;
  snapshot.backgroundPair[0] = m_bgU;
  snapshot.backgroundPair[1] = m_bgY;
  snapshot.backgroundPair[2] = m_bgV;
  snapshot.backgroundPair[3] = m_bgY;
  for (int i = 0; i < kKeyCurveEntries; ++i) snapshot.curve[i] = m_curve[i];
  snapshot.curve[kKeyCurveEntries] = m_curve[kKeyCurveEntries - 1];
}

void ChromaKeyImplementation::ApplyKey(unsigned char* picture, unsigned char* background,
                                       unsigned int pixels) {
  if (picture == nullptr) return;
  ChromaKeySnapshot key;
  Snapshot(key);
  const quellor::videoproc::KeyRowFunction row = quellor::videoproc::KeyRowForMode(key.mode);
  if (row == nullptr) return;  // not a mode: the picture stays
  if (background != nullptr) {
    row(picture, background, 4, key, pixels / 2);
  } else {
    row(picture, key.backgroundPair, 0, key, pixels / 2);
  }
}

ChromaKeyMode ChromaKeyImplementation::GetKeyMode() {
  FunctionBlock hold(m_settingsLock);
  return m_mode;
}

void ChromaKeyImplementation::GetColors_YUV(unsigned char* y, unsigned char* u, unsigned char* v) {
  FunctionBlock hold(m_settingsLock);
  if (y) *y = m_keyY;
  if (u) *u = m_keyU;
  if (v) *v = m_keyV;
}

void ChromaKeyImplementation::GetBGColors_YUV(unsigned char* y, unsigned char* u,
                                              unsigned char* v) {
  FunctionBlock hold(m_settingsLock);
  if (y) *y = m_bgY;
  if (u) *u = m_bgU;
  if (v) *v = m_bgV;
}

unsigned char ChromaKeyImplementation::GetCurveEntry(int index) {
  FunctionBlock hold(m_settingsLock);
  return index >= 0 && index < kKeyCurveEntries ? m_curve[index] : 0;
}

unsigned char ChromaKeyImplementation::GetLowThreshold() {
  FunctionBlock hold(m_settingsLock);
  return m_low;
}

unsigned char ChromaKeyImplementation::GetHighThreshold() {
  FunctionBlock hold(m_settingsLock);
  return m_high;
}

unsigned char ChromaKeyImplementation::GetSoftness() {
  FunctionBlock hold(m_settingsLock);
  return m_softness;
}

unsigned char ChromaKeyImplementation::GetMaximum() {
  FunctionBlock hold(m_settingsLock);
  return m_maximum;
}

double ChromaKeyImplementation::TanH(double value) {
  if (std::isnan(value) || value < -2.0) return -1.0;
  if (value > 2.0) return 1.0;
  return std::tanh(value);
}

long ChromaKeyImplementation::Clip255_NOT_NEEDED_FOR_MMX(long value) {
  return std::clamp(value, 1L, 254L);
}
