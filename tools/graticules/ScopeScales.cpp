#include "ScopeScales.h"

#include <cmath>
#include <numbers>

namespace quellor::graticules {

namespace {

int RowOf(double base, double value) {
  if (value >= 0) return int(base) - (int(std::lround(value)) >> 1);
  return int(std::lround(base - value / 2));
}

}  // namespace

double LumaOfIre(double ire, bool setup) {
  return setup ? 16.0 + (ire - 7.5) * 219.0 / 92.5 : 16.0 + ire * 219.0 / 100.0;
}

int RowOfLuma(double luma) {
  return RowOf(192, luma);
}

int RowOfU(double u) {
  return RowOf(193, u);
}

int RowOfV(double v) {
  return RowOf(192, v);
}

int RowOfRed(double value) {
  return RowOf(192, value);
}

int RowOfGreen(double value) {
  return RowOf(193, value);
}

DisplayPoint VectorPoint(double cb, double cr) {
  return DisplayPoint{180.0 + 0.7 * (cb - 128.0), 128.0 - (cr - 128.0)};
}

DisplayPoint PolarPoint(double degrees, double radius) {
  const double radians = degrees * std::numbers::pi / 180.0;
  return DisplayPoint{180.0 + radius * std::cos(radians), 128.0 - radius * std::sin(radians)};
}

ColourDifference ColourDifferenceOf(double r, double g, double b) {
  const double y = 0.299 * r + 0.587 * g + 0.114 * b;
  return ColourDifference{128.0 + 224.0 * (b - y) / 1.772, 128.0 + 224.0 * (r - y) / 1.402};
}

}  // namespace quellor::graticules
