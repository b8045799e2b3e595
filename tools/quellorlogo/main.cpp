// quellorlogo: draws the start-up logo of the suite and writes it as a
// 32-bit Targa file whose alpha is the window's shape.
//   quellorlogo <output.tga>
#include <cmath>
#include <cstdio>

#include "LogoCanvas.h"
#include "LogoText.h"

namespace {

using quellor::logo::Colour;
using quellor::logo::Hex;
using quellor::logo::LogoCanvas;
using quellor::logo::Mix;
using quellor::logo::TextRun;

constexpr int kWidth = 540;
constexpr int kHeight = 200;
constexpr float kCorner = 30.0f;

// The emblem: a "Q" whose eye shows 75% colour bars.
constexpr float kEmblemX = 104.0f, kEmblemY = 100.0f;
constexpr float kEyeRadius = 54.0f, kRingRadius = 68.0f;

bool InPlate(float x, float y) {
  return quellor::logo::InRoundedRect(x, y, 0, 0, kWidth, kHeight, kCorner);
}

void DrawPlate(LogoCanvas& canvas) {
  canvas.SetShape(InPlate);
  // Night-blue plate, lighter at the top, with a glow behind the emblem.
  canvas.Fill(InPlate, [](float x, float y) {
    Colour c = Mix(Hex(0x18305c), Hex(0x060c1a), y / kHeight);
    const float d = std::hypot(x - kEmblemX, y - kEmblemY) / 150.0f;
    return Mix(Hex(0x2f5aa8), c, d);
  });
  // A bevelled rim two pixels inside the edge: light above, dark below.
  canvas.Fill(
      [](float x, float y) {
        return InPlate(x, y) && !quellor::logo::InRoundedRect(x, y, 2.5f, 2.5f, kWidth - 2.5f,
                                                              kHeight - 2.5f, kCorner - 2.5f);
      },
      [](float, float y) { return Mix(Hex(0x9bb8f0), Hex(0x1d2d52), y / kHeight); });
}

void DrawEmblem(LogoCanvas& canvas) {
  // The eye: seven bars at 75%, darkening toward the rim like a lens.
  static const std::uint32_t kBars[7] = {0xbfbfbf, 0xbfbf00, 0x00bfbf, 0x00bf00,
                                         0xbf00bf, 0xbf0000, 0x0000bf};
  canvas.Fill([](float x, float y) { return std::hypot(x - kEmblemX, y - kEmblemY) < kEyeRadius; },
              [](float x, float y) {
                int bar = int((x - (kEmblemX - kEyeRadius)) / (2 * kEyeRadius) * 7);
                bar = bar < 0 ? 0 : bar > 6 ? 6 : bar;
                const float d = std::hypot(x - kEmblemX, y - kEmblemY) / kEyeRadius;
                return Mix(Hex(kBars[bar]), Hex(0x000000), d * d * 0.55f);
              });
  // A soft reflection across the top of the eye.
  canvas.Fill(
      [](float x, float y) {
        return std::hypot(x - kEmblemX, y - kEmblemY) < kEyeRadius - 4 &&
               std::hypot(x - kEmblemX, y - (kEmblemY + 70)) > 100;
      },
      [](float, float) { return Hex(0xffffff); }, 0.18f);
  // The ring and the tail of the Q, in brushed silver.
  auto silver = [](float, float y) {
    const float t = (y - (kEmblemY - kRingRadius)) / (2 * kRingRadius + 30);
    return Mix(Hex(0xf4f7fc), Hex(0x7d8aa3), t);
  };
  canvas.Fill(
      [](float x, float y) {
        const float d = std::hypot(x - kEmblemX, y - kEmblemY);
        return d >= kEyeRadius + 1 && d < kRingRadius;
      },
      silver);
  canvas.Fill(
      [](float x, float y) {
        return quellor::logo::DistanceToSegment(x, y, kEmblemX + 40, kEmblemY + 40, kEmblemX + 74,
                                                kEmblemY + 74) < 8.5f;
      },
      silver);
}

void DrawText(LogoCanvas& canvas, bool& ok) {
  const int left = 196;
  TextRun video{"VIDEO", "DejaVu Sans", 24, 400, 12, left + 2, 30};
  TextRun name{"QUELLOR", "DejaVu Sans", 58, 700, 2, left, 56};
  TextRun tag{"BROADCAST VIDEO BOARD", "DejaVu Sans", 13, 700, 3, left + 2, 150};
  auto paintText = [&](const TextRun& run, const LogoCanvas::Paint& paint) {
    const auto coverage = quellor::logo::TextCoverage(kWidth, kHeight, run);
    float total = 0;
    for (float c : coverage) total += c;
    ok = ok && total > 0;
    canvas.FillCoverage(coverage, paint);
  };
  paintText(video, [](float, float) { return Hex(0xa9c1ee); });
  // The name drops a dark shadow, then shines from white to pale steel.
  TextRun shadow = name;
  shadow.x += 2;
  shadow.y += 3;
  canvas.FillCoverage(
      quellor::logo::TextCoverage(kWidth, kHeight, shadow),
      [](float, float) { return Hex(0x02050c); }, 0.7f);
  paintText(name, [](float, float y) { return Mix(Hex(0xffffff), Hex(0xbfcce6), (y - 60) / 60); });
  // An amber rule under the name, the width of it.
  const int ruleRight = left + quellor::logo::TextWidth(name);
  canvas.Fill(
      [&](float x, float y) { return x >= left + 2 && x < ruleRight && y >= 134 && y < 138; },
      [&](float x, float) { return Mix(Hex(0xffb23f), Hex(0xe0661a), (x - left) / 300); });
  paintText(tag, [](float, float) { return Hex(0x8aa0cc); });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quellorlogo <output.tga>\n");
    return 2;
  }
  LogoCanvas canvas(kWidth, kHeight);
  DrawPlate(canvas);
  DrawEmblem(canvas);
  bool textDrawn = true;
  DrawText(canvas, textDrawn);
  if (!textDrawn) {
    std::fprintf(stderr, "quellorlogo: no font could draw the logo's text\n");
    return 1;
  }
  if (!quellor::logo::WriteTarga32(argv[1], kWidth, kHeight, canvas.ToBgra())) {
    std::fprintf(stderr, "quellorlogo: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
