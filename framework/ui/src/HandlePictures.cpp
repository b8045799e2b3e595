// The resize handles and the drag-and-drop cursors.
#include <win32/resources.h>

#include <cstdlib>

#include "DefaultPictures.h"
#include "PixelPainter.h"
#include "qlxrapi/DefaultResources.h"

namespace quellor::win {

namespace {

constexpr std::uint32_t kHandleRim = 0xFF1C3A66;
constexpr std::uint32_t kHandleFace = 0xFFFFFFFF;
constexpr std::uint32_t kInk = 0xFF000000;
constexpr std::uint32_t kPaper = 0xFFFFFFFF;

// A white square with a dark rim.
Painting Handle(int width, int height) {
  Painting p(width, height, kHandleRim);
  p.Fill(1, 1, width - 1, height - 1, kHandleFace);
  return p;
}

struct Handles {
  Painting pictures[8] = {Handle(6, 6), Handle(8, 7), Handle(6, 6), Handle(7, 8),
                          Handle(7, 8), Handle(6, 6), Handle(8, 7), Handle(6, 6)};
  HandlePicture views[8];
  Handles() {
    for (int i = 0; i < 8; ++i)
      views[i] = HandlePicture{pictures[i].width, pictures[i].height, pictures[i].pixels.data()};
  }
};

const Handles& AllHandles() {
  static const Handles handles;  // freed when the library unloads
  return handles;
}

// The arrow pointer: 'X' ink, 'o' paper, anything else transparent.
constexpr const char* kArrow[] = {"X",           "XX",      "XoX",      "XooX",      "XoooX",
                                  "XooooX",      "XoooooX", "XooooooX", "XoooooooX", "XooooooooX",
                                  "XoooooXXXXX", "XooXooX", "XoX XooX", "XX  XooX",  "X    XooX",
                                  "     XooX",   "      XX"};

void DrawArrow(Painting& p) {
  for (int y = 0; y < static_cast<int>(std::size(kArrow)); ++y)
    for (int x = 0; kArrow[y][x] != '\0'; ++x) {
      if (kArrow[y][x] == 'X') p.Put(x, y, kInk);
      if (kArrow[y][x] == 'o') p.Put(x, y, kPaper);
    }
}

// Four arrowheads joined by a cross, centred at (11, 11).
Painting MoveCursor() {
  Painting p(32, 32);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 23; ++x) {
      const int dx = x - 11, dy = y - 11, ax = std::abs(dx), ay = std::abs(dy);
      const bool shaft = (ax == 0 && ay <= 9) || (ay == 0 && ax <= 9);
      // Heads from the tip (10 out) back to four wide (6 out).
      const bool head =
          (ay >= 6 && ay <= 10 && ax <= 10 - ay) || (ax >= 6 && ax <= 10 && ay <= 10 - ax);
      if (shaft || head) p.At(x, y) = kPaper;
    }
  p.Outline(kInk);
  return p;
}

// A red ring crossed by a bar: nothing can be dropped here.
Painting NoDropCursor() {
  Painting p(32, 32);
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 25; ++x) {
      const int dx = x - 12, dy = y - 12, r2 = dx * dx + dy * dy;
      const bool ring = r2 >= 8 * 8 && r2 <= 11 * 11;
      const bool bar = std::abs(dx + dy) <= 1 && r2 <= 10 * 10;
      if (ring || bar) p.At(x, y) = 0xFFD02020;
    }
  p.Outline(kPaper);
  return p;
}

// The arrow with a small box holding a plus: the items will be dropped here.
Painting DropCursor() {
  Painting p(32, 32);
  DrawArrow(p);
  p.Fill(12, 16, 23, 27, kInk);
  p.Fill(13, 17, 22, 26, kPaper);
  p.Fill(17, 18, 18, 25, kInk);
  p.Fill(14, 21, 21, 22, kInk);
  return p;
}

win32::PixelTemplate Template(const Painting& p) {
  return win32::PixelTemplate{p.width, p.height, p.pixels};
}

}  // namespace

const HandlePicture& HandlePictureOf(HandleKind kind) {
  return AllHandles().views[static_cast<int>(kind)];
}

void RegisterHandlesAndCursors(HMODULE module) {
  const Handles& handles = AllHandles();
  for (int i = 0; i < 8; ++i)
    win32::RegisterIconResource(module, MAKEINTRESOURCEA(kIconHandleTopLeft + i),
                                Template(handles.pictures[i]));
  win32::RegisterCursorResource(module, MAKEINTRESOURCEA(kCursorOverSelected),
                                Template(MoveCursor()));
  win32::RegisterCursorResource(module, MAKEINTRESOURCEA(kCursorNoTarget),
                                Template(NoDropCursor()));
  win32::RegisterCursorResource(module, MAKEINTRESOURCEA(kCursorTarget), Template(DropCursor()));
}

}  // namespace quellor::win
