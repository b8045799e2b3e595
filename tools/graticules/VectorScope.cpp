// The vectorscope graticule: axes, the outer limit, the skin-tone line and
// the targets of 75 % colour bars with their tolerance boxes.
#include <cmath>
#include <numbers>

#include "Graticules.h"
#include "ScopeScales.h"

namespace quellor::graticules {

namespace {

// Samples along an arc of the display plane, angles in degrees.
void Arc(Canvas& canvas, double radius, double from, double to, std::uint8_t value) {
  const double length = std::fabs(to - from) * std::numbers::pi / 180.0 * radius;
  const int steps = std::max(2, int(std::ceil(length * 2)));
  for (int i = 0; i <= steps; ++i) {
    const DisplayPoint p = PolarPoint(from + (to - from) * i / steps, radius);
    canvas.Put(int(std::lround(p.x)), int(std::lround(p.y)), value);
  }
}

void Radial(Canvas& canvas, double angle, double r0, double r1, std::uint8_t value) {
  const DisplayPoint a = PolarPoint(angle, r0);
  const DisplayPoint b = PolarPoint(angle, r1);
  canvas.Line(a.x, a.y, b.x, b.y, value);
}

// The closed box of angle +- degrees and radius +- ratio around a target.
void Box(Canvas& canvas, const VectorTarget& t, double degrees, double ratio, std::uint8_t value) {
  const double inner = t.radius * (1 - ratio), outer = t.radius * (1 + ratio);
  Arc(canvas, inner, t.angle - degrees, t.angle + degrees, value);
  Arc(canvas, outer, t.angle - degrees, t.angle + degrees, value);
  Radial(canvas, t.angle - degrees, inner, outer, value);
  Radial(canvas, t.angle + degrees, inner, outer, value);
}

// Only the corners of a box: a quarter of each edge from each end.
void Corners(Canvas& canvas, const VectorTarget& t, double degrees, double ratio,
             std::uint8_t value) {
  const double inner = t.radius * (1 - ratio), outer = t.radius * (1 + ratio);
  const double edge = degrees / 2, depth = (outer - inner) / 4;
  for (double r : {inner, outer}) {
    Arc(canvas, r, t.angle - degrees, t.angle - degrees + edge, value);
    Arc(canvas, r, t.angle + degrees - edge, t.angle + degrees, value);
  }
  for (double a : {t.angle - degrees, t.angle + degrees}) {
    Radial(canvas, a, inner, inner + depth, value);
    Radial(canvas, a, outer - depth, outer, value);
  }
}

}  // namespace

std::vector<VectorTarget> SeventyFivePercentTargets() {
  struct Colour {
    const char* label;
    double r, g, b;
  };
  static constexpr Colour kColours[] = {
      {"R", 0.75, 0, 0},     {"MG", 0.75, 0, 0.75}, {"B", 0, 0, 0.75},
      {"CY", 0, 0.75, 0.75}, {"G", 0, 0.75, 0},     {"YL", 0.75, 0.75, 0},
  };
  std::vector<VectorTarget> targets;
  for (const Colour& c : kColours) {
    const ColourDifference d = ColourDifferenceOf(c.r, c.g, c.b);
    const DisplayPoint p = VectorPoint(d.cb, d.cr);
    const double dx = p.x - 180.0, dy = 128.0 - p.y;
    double angle = std::atan2(dy, dx) * 180.0 / std::numbers::pi;
    if (angle < 0) angle += 360.0;
    targets.push_back(VectorTarget{c.label, c.r, c.g, c.b, d.cb, d.cr, angle, std::hypot(dx, dy)});
  }
  return targets;
}

Canvas DrawVectorScope() {
  Canvas canvas;
  // The studio limit of the colour differences (Cb, Cr 16..240): the edge of
  // the plane, squeezed like everything else.
  for (int step = 0; step < 720; ++step) {
    const double a = step * std::numbers::pi / 360.0;
    const DisplayPoint p = VectorPoint(128 + 112 * std::cos(a), 128 + 112 * std::sin(a));
    canvas.Put(int(std::lround(p.x)), int(std::lround(p.y)), kMajorLine);
  }
  // Axes through the centre with a tick every 8 steps of Cb or Cr.
  const DisplayPoint left = VectorPoint(16, 128), right = VectorPoint(240, 128);
  const DisplayPoint top = VectorPoint(128, 240), bottom = VectorPoint(128, 16);
  canvas.HLine(int(std::lround(left.x)), int(std::lround(right.x)), 128, kMinorLine);
  canvas.VLine(180, int(std::lround(top.y)), int(std::lround(bottom.y)), kMinorLine);
  for (int d = -112; d <= 112; d += 8) {
    const int size = d % 56 == 0 ? 3 : 1;
    const DisplayPoint h = VectorPoint(128 + d, 128), v = VectorPoint(128, 128 + d);
    canvas.VLine(int(std::lround(h.x)), 128 - size, 128 + size, kMajorLine);
    canvas.HLine(180 - size, 180 + size, int(std::lround(v.y)), kMajorLine);
  }
  // The skin-tone (I) line at 123 degrees.
  for (double r = 10; r < 112; r += 4) Radial(canvas, 123, r, r + 2, kMinorLine);
  canvas.Text(int(std::lround(PolarPoint(123, 118).x)) - 2,
              int(std::lround(PolarPoint(123, 118).y)) - 3, "I", kLabel);

  for (const VectorTarget& t : SeventyFivePercentTargets()) {
    Box(canvas, t, kFineDegrees, kFineRatio, kTarget);
    Corners(canvas, t, kCoarseDegrees, kCoarseRatio, kMajorLine);
    // The label outside the coarse box, centred on the target's line.
    const DisplayPoint at = PolarPoint(t.angle, t.radius * (1 + kCoarseRatio) + 9);
    const std::string text = t.label;
    canvas.Text(int(std::lround(at.x)) - Canvas::TextWidth(text) / 2, int(std::lround(at.y)) - 3,
                text, kLabel);
  }
  canvas.Text(2, 2, "75%", kLabel);
  return canvas;
}

}  // namespace quellor::graticules
