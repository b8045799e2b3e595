// The library's bitmaps: buttons, menus, slider thumbs and tracks, and the
// window picture whose cut-outs make the skinned frame. One quiet slate
// theme: grey-blue faces, a darker rim, blue for what is pressed or active.
#include "DefaultPictures.h"

#include <win32/resources.h>

#include <utility>

#include "PixelPainter.h"
#include "qlxrapi/DefaultResources.h"

namespace quellor::win {

namespace {

struct FaceColours {
  std::uint32_t rim, top, bottom, highlight, shadow;
};

// A raised (or, pressed, sunken) face with a one-pixel rim whose corners are
// softened, a highlight line inside the top edge and a shadow inside the
// bottom edge.
Painting Face(int width, int height, const FaceColours& c) {
  Painting p(width, height, Opaque(c.rim));
  p.VerticalGradient(1, 1, width - 1, height - 1, Opaque(c.top), Opaque(c.bottom));
  p.Fill(2, 1, width - 2, 2, Opaque(c.highlight));
  p.Fill(2, height - 2, width - 2, height - 1, Opaque(c.shadow));
  const std::uint32_t corner = Mix(Opaque(c.rim), Opaque(c.top), 128);
  for (auto [x, y] : {std::pair{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}})
    p.At(x, y) = corner;
  return p;
}

const FaceColours kUp{0x3A4250, 0xF0F3F7, 0xC9D1DC, 0xFFFFFF, 0xAEB8C6};
const FaceColours kDown{0x3A4250, 0xA3AEBE, 0xD3D9E2, 0x8893A3, 0xDDE2E9};
const FaceColours kRollover{0x2F5A8C, 0xF5F9FF, 0xBCD2EE, 0xFFFFFF, 0x9DB6D8};
const FaceColours kDownRollover{0x2F5A8C, 0x92ACCE, 0xC7D8EE, 0x7690B6, 0xD3E1F2};

// A thumb: a face with three grip lines across its middle.
Painting Thumb(const FaceColours& c) {
  Painting p = Face(63, 24, c);
  for (int i = -1; i <= 1; ++i) {
    const int x = 31 + 4 * i;
    p.Fill(x, 7, x + 1, 17, Opaque(c.rim));
    p.Fill(x + 1, 7, x + 2, 17, Opaque(c.highlight));
  }
  return p;
}

// A track piece: the background and a sunken groove along its middle; its
// rows stretch across the track and it tiles along it.
Painting Track() {
  Painting p(16, 24, Opaque(0xD8DDE4));
  p.Fill(0, 10, 16, 11, Opaque(0x6E7888));
  p.Fill(0, 11, 16, 13, Opaque(0xA4ADBA));
  p.Fill(0, 13, 16, 14, Opaque(0xFFFFFF));
  return p;
}

// A menu bar piece: rows only, so that it tiles sideways without seams.
Painting MenuPiece(std::uint32_t top, std::uint32_t bottom, std::uint32_t line) {
  Painting p(53, 22);
  p.VerticalGradient(0, 0, 53, 21, Opaque(top), Opaque(bottom));
  p.Fill(0, 21, 53, 22, Opaque(line));
  return p;
}

// The window picture, 217 x 184: a 10-pixel rim on the left, top and right
// and a 5-pixel one at the bottom, a 15-pixel title bar under the top rim,
// and the client face. The frame pieces are cut from it at those lines.
Painting WindowPicture() {
  constexpr int W = 217, H = 184;
  Painting p(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      // Of the rims the pixel lies in, the one whose outside edge is nearest.
      const int distances[4] = {x, y, W - 1 - x, H - 1 - y};
      const int thicknesses[4] = {10, 10, 10, 5};
      int d = 1 << 20, thickness = 0;
      for (int edge = 0; edge < 4; ++edge)
        if (distances[edge] < thicknesses[edge] && distances[edge] < d)
          d = distances[edge], thickness = thicknesses[edge];
      if (thickness == 0) continue;
      std::uint32_t colour;
      if (d == 0) {
        colour = 0x20252C;
      } else if (d == thickness - 1) {
        colour = 0x3A424E;
      } else {
        colour = Mix(0x8A95A5, 0x5E6979, (d - 1) * 256 / (thickness - 2));
      }
      p.At(x, y) = Opaque(colour);
    }
  p.VerticalGradient(10, 10, W - 10, 25, Opaque(0x4F7EB6), Opaque(0x2C5183));
  p.Fill(10, 10, W - 10, 11, Opaque(0x7FA4D0));
  p.VerticalGradient(10, 25, W - 10, H - 5, Opaque(0xEEF0F3), Opaque(0xDADEE4));
  return p;
}

win32::PixelTemplate Template(const Painting& p) {
  return win32::PixelTemplate{p.width, p.height, p.pixels};
}

void Register(HMODULE module, unsigned short id, const Painting& p) {
  win32::RegisterBitmapResource(module, MAKEINTRESOURCEA(id), Template(p));
}

void RegisterBitmaps(HMODULE module) {
  Register(module, kBitmapButtonUp, Face(135, 24, kUp));
  Register(module, kBitmapButtonDown, Face(135, 24, kDown));
  Register(module, kBitmapButtonRollover, Face(135, 24, kRollover));
  Register(module, kBitmapButtonDownRollover, Face(135, 24, kDownRollover));
  const std::pair<unsigned short, const FaceColours*> thumbs[] = {
      {kBitmapSliderHorizontal, &kUp},
      {kBitmapSliderHorizontalDragging, &kDown},
      {kBitmapSliderHorizontalRollover, &kRollover},
      {kBitmapSliderHorizontalRolloverDragging, &kDownRollover}};
  const unsigned short vertical[] = {kBitmapSliderVertical, kBitmapSliderVerticalDragging,
                                     kBitmapSliderVerticalRollover,
                                     kBitmapSliderVerticalRolloverDragging};
  for (int i = 0; i < 4; ++i) {
    const Painting thumb = Thumb(*thumbs[i].second);
    Register(module, thumbs[i].first, thumb);
    Register(module, vertical[i], thumb.Transposed());
  }
  Register(module, kBitmapSliderTrackHorizontal, Track());
  Register(module, kBitmapSliderTrackVertical, Track().Transposed());
  Register(module, kBitmapWindow, WindowPicture());
  Register(module, kBitmapMenuUp, MenuPiece(0xE6E9EE, 0xD3D8DF, 0xA0A8B4));
  Register(module, kBitmapMenuDown, MenuPiece(0x3F6FA8, 0x2D5688, 0x1E3C62));
  Register(module, kBitmapMenuRollover, MenuPiece(0xD2E2F6, 0xAFC8EA, 0x7E9CC4));
  Register(module, kBitmapMenuDownRollover, MenuPiece(0x35629A, 0x274C7A, 0x183456));
}

}  // namespace

void RegisterHandlesAndCursors(HMODULE module);

void RegisterDefaultPictures(HMODULE module) {
  RegisterBitmaps(module);
  RegisterHandlesAndCursors(module);
}

}  // namespace quellor::win
