// Where the waveform monitor puts a level: the same arithmetic as its
// plotting passes, in continuous form, so that the graticule lines fall on
// the rows the traces of those levels land on.
#pragma once

namespace quellor::graticules {

// Studio-range luma of an IRE level: black (Y 16) is 7.5 IRE with setup
// (NTSC as used in North America) and 0 IRE without (Japan); white (Y 235)
// is 100 IRE either way.
double LumaOfIre(double ire, bool setup);
// Row of a luma value on the luma waveform and the Y panel: 192 - Y/2, with
// Y truncated to the even step the monitor's shift makes (values below 0,
// which only composite traces reach, continue the same slope).
int RowOfLuma(double luma);
// Rows of colour differences on the YUV parade: U at 193 - U/2, V at
// 192 - V/2.
int RowOfU(double u);
int RowOfV(double v);
// Rows of R, G and B (0..255) on the RGB parade: 192 - R/2, 193 - G/2,
// 192 - B/2.
int RowOfRed(double value);
int RowOfGreen(double value);

// The vectorscope's plane: a colour difference pair (Cb, Cr) as display
// coordinates (x to the right, y down), the horizontal axis squeezed by 0.7.
struct DisplayPoint {
  double x;
  double y;
};
DisplayPoint VectorPoint(double cb, double cr);
// The same for a point given by angle (degrees, counter-clockwise from +Cb)
// and radius in the display's own (squeezed) plane.
DisplayPoint PolarPoint(double degrees, double radius);

// Studio-range Cb and Cr of an R'G'B' colour (0..1 each), BT.601.
struct ColourDifference {
  double cb;
  double cr;
};
ColourDifference ColourDifferenceOf(double r, double g, double b);

}  // namespace quellor::graticules
