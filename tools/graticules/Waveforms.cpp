// The waveform and parade graticules.
#include <cmath>
#include <string>

#include "Graticules.h"
#include "ScopeScales.h"

namespace quellor::graticules {

namespace {

constexpr int kPanelWidth = 120;

// A labelled line at `row` across [x0, x1]: solid for the main levels,
// dashed for the others.
void Level(Canvas& canvas, int x0, int x1, int row, bool major) {
  if (major) {
    canvas.HLine(x0, x1, row, kMajorLine);
  } else {
    canvas.DashedHLine(x0, x1, row, kMinorLine, 3, 5);
  }
}

// Text with its vertical middle on row, starting at x.
void Label(Canvas& canvas, int x, int row, const std::string& text) {
  canvas.Text(x, row - 3, text, kLabel);
}

// The IRE scale over [x0, x1]: a line every 10 IRE from `lowest` to 100,
// 0 / 50 / 100 solid, labels every 20 at the left (when `labels`), ticks
// every 2 IRE on a short scale at `scaleX`, and the setup line.
void IreScale(Canvas& canvas, int x0, int x1, int lowest, bool setup, bool labels, int scaleX) {
  for (int ire = lowest; ire <= 100; ire += 10) {
    const int row = RowOfLuma(LumaOfIre(ire, setup));
    Level(canvas, x0, x1, row, ire == 0 || ire == 50 || ire == 100);
    if (labels && ire % 20 == 0) Label(canvas, x0 + 1, row - 5, std::to_string(ire));
  }
  for (int ire = lowest; ire <= 100; ire += 2) {
    const int row = RowOfLuma(LumaOfIre(ire, setup));
    canvas.HLine(scaleX - 2, scaleX + 2, row, ire % 10 == 0 ? kMajorLine : kMinorLine);
  }
  canvas.VLine(scaleX, RowOfLuma(LumaOfIre(100, setup)), RowOfLuma(LumaOfIre(lowest, setup)),
               kMinorLine);
  if (setup) {
    // Black: the 7.5 IRE line, long dashes, labelled above it at the left
    // (the 0 IRE label sits below it, above its own line).
    const int row = RowOfLuma(LumaOfIre(7.5, true));
    canvas.DashedHLine(x0, x1, row, kMajorLine, 6, 9);
    if (labels) Label(canvas, x0 + 1, row - 5, "7.5");
  }
}

}  // namespace

Canvas DrawCompositeYc(bool japanese) {
  Canvas canvas;
  const bool setup = !japanese;
  IreScale(canvas, 0, kCanvasWidth - 1, -40, setup, true, 180);
  // A tick on the 0 IRE line at every eighth of the line (the width of a
  // bar of the test signal).
  const int zero = RowOfLuma(LumaOfIre(0, setup));
  for (int x = 0; x < kCanvasWidth; x += 45) canvas.VLine(x, zero - 3, zero + 3, kMajorLine);
  canvas.VLine(kCanvasWidth - 1, zero - 3, zero + 3, kMajorLine);
  canvas.Text(kCanvasWidth - Canvas::TextWidth("IRE") - 2, 2, "IRE", kLabel);
  if (japanese) canvas.Text(2, 2, "NO SETUP", kLabel);
  return canvas;
}

Canvas DrawComponentYuv(bool japanese) {
  Canvas canvas;
  const bool setup = !japanese;
  // Y: IRE from 0 to 100.
  IreScale(canvas, 0, kPanelWidth - 2, 0, setup, true, 104);
  // U and V: no colour in the middle, the studio limits (16 and 240) at the
  // edges, 75 % (the bars' extremes) and 50 % dashed between.
  for (int panel = 1; panel <= 2; ++panel) {
    const int x0 = panel * kPanelWidth + 1;
    const int x1 = x0 + kPanelWidth - 3;
    auto row = [panel](double value) { return panel == 1 ? RowOfU(value) : RowOfV(value); };
    Level(canvas, x0, x1, row(128), true);
    Level(canvas, x0, x1, row(16), true);
    Level(canvas, x0, x1, row(240), true);
    for (double part : {0.5, 0.75}) {
      Level(canvas, x0, x1, row(128 + 112 * part), false);
      Level(canvas, x0, x1, row(128 - 112 * part), false);
    }
    Label(canvas, x0 + 1, row(128 + 84) - 5, "+75");
    Label(canvas, x0 + 1, row(128 - 84) + 5, "-75");
    Label(canvas, x0 + 1, row(128) - 5, "0");
  }
  for (int panel = 1; panel <= 2; ++panel) {
    for (int y = 0; y < kCanvasHeight; y += 2) canvas.Put(panel * kPanelWidth - 1, y, kMinorLine);
  }
  canvas.Text(kPanelWidth / 2 - 2, 2, "Y", kLabel);
  canvas.Text(kPanelWidth + kPanelWidth / 2 - 2, 2, "U", kLabel);
  canvas.Text(2 * kPanelWidth + kPanelWidth / 2 - 2, 2, "V", kLabel);
  if (japanese) canvas.Text(2, 12, "NO SETUP", kLabel);
  return canvas;
}

Canvas DrawComponentRgb() {
  Canvas canvas;
  for (int panel = 0; panel < 3; ++panel) {
    const int x0 = panel * kPanelWidth + (panel == 0 ? 0 : 1);
    const int x1 = panel * kPanelWidth + kPanelWidth - 2;
    for (int percent = 0; percent <= 100; percent += 25) {
      const double value = 255.0 * percent / 100.0;
      const int row = panel == 1 ? RowOfGreen(value) : RowOfRed(value);
      Level(canvas, x0, x1, row, percent == 0 || percent == 100 || percent == 75);
      if (panel == 0) Label(canvas, x0 + 1, row - 5, std::to_string(percent));
    }
  }
  for (int panel = 1; panel <= 2; ++panel) {
    for (int y = 0; y < kCanvasHeight; y += 2) canvas.Put(panel * kPanelWidth - 1, y, kMinorLine);
  }
  canvas.Text(kPanelWidth / 2 - 2, 2, "R", kLabel);
  canvas.Text(kPanelWidth + kPanelWidth / 2 - 2, 2, "G", kLabel);
  canvas.Text(2 * kPanelWidth + kPanelWidth / 2 - 2, 2, "B", kLabel);
  canvas.Text(kCanvasWidth - Canvas::TextWidth("%") - 2, 2, "%", kLabel);
  return canvas;
}

}  // namespace quellor::graticules
