// Enhanced metafiles: the calls made on a metafile context are replayed into
// any rectangle, scaled. Playback is checked against the same calls drawn
// directly at the scaled size, so text and lines must re-render rather than
// stretch, and against a few exact pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "windows.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A white 32-bit memory picture.
class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO bmi{};
    bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* p = nullptr;
    bitmap_ = CreateDIBSection(dc_, &bmi, DIB_RGB_COLORS, &p, nullptr, 0);
    bits_ = static_cast<uint32_t*>(p);
    old_ = SelectObject(dc_, bitmap_);
    Clear();
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  void Clear() { PatBlt(dc_, 0, 0, w_, h_, WHITENESS); }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  std::vector<uint32_t> Pixels() const {
    GdiFlush();
    std::vector<uint32_t> v(bits_, bits_ + size_t(w_) * size_t(h_));
    for (uint32_t& p : v) p &= 0xFFFFFFu;
    return v;
  }
  // The smallest rectangle holding every pixel that is not white.
  RECT Inked(RECT within) const {
    RECT b{within.right, within.bottom, within.left, within.top};
    for (LONG y = within.top; y < within.bottom; ++y)
      for (LONG x = within.left; x < within.right; ++x) {
        if (At(int(x), int(y)) == kWhite) continue;
        b = RECT{std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1),
                 std::max(b.bottom, y + 1)};
      }
    return b;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

// 0.01 mm for a length in pixels of the screen.
LONG HundredthsOfMm(int pixels) {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return LONG((pixels * 2540 + dpi / 2) / dpi);
}

HFONT Font(int height) {
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Sans");
}

// The drawing of the tests, in a 100 x 50 picture, with everything sized by
// `scale` and moved by `at`: drawn at scale 1 into a metafile, and directly at
// other scales as the reference for playback.
void DrawScene(HDC dc, int scale, POINT at, HDC blitSource) {
  auto X = [&](int x) { return at.x + x * scale; };
  auto Y = [&](int y) { return at.y + y * scale; };
  HPEN thin = CreatePen(PS_SOLID, 0, kRed);
  HBRUSH fill = CreateSolidBrush(kBlue);
  HGDIOBJ oldPen = SelectObject(dc, thin);
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  Rectangle(dc, X(10), Y(10), X(30), Y(20));
  HPEN thick = CreatePen(PS_SOLID, 2 * scale, kGreen);
  SelectObject(dc, thick);
  MoveToEx(dc, X(40), Y(5), nullptr);
  LineTo(dc, X(40), Y(45));
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(thin);
  DeleteObject(thick);
  DeleteObject(fill);
  HFONT font = Font(-12 * scale);
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  TextOutA(dc, X(50), Y(10), "Hi", 2);
  SelectObject(dc, oldFont);
  DeleteObject(font);
  if (blitSource) {
    BitBlt(dc, X(70), Y(30), 4, 4, blitSource, 0, 0, SRCCOPY);
  }
}

// A 4 x 4 source: red left half, blue right half.
class BlitSource : public Canvas {
 public:
  BlitSource() : Canvas(4, 4) {
    HBRUSH red = CreateSolidBrush(kRed), blue = CreateSolidBrush(kBlue);
    RECT left{0, 0, 2, 4}, right{2, 0, 4, 4};
    FillRect(dc(), &left, red);
    FillRect(dc(), &right, blue);
    DeleteObject(red);
    DeleteObject(blue);
  }
};

HENHMETAFILE RecordScene() {
  RECT frame{0, 0, HundredthsOfMm(100), HundredthsOfMm(50)};
  HDC rec = CreateEnhMetaFileA(nullptr, nullptr, &frame, "scene");
  EXPECT_NE(rec, nullptr);
  {
    BlitSource source;
    DrawScene(rec, 1, POINT{0, 0}, source.dc());
  }  // the source is gone before the metafile is played
  return CloseEnhMetaFile(rec);
}

TEST(MetafileTest, PlayingLargerRedrawsEveryCallAtTheScaledSize) {
  HENHMETAFILE emf = RecordScene();
  ASSERT_NE(emf, nullptr);
  Canvas played(240, 130), direct(240, 130);
  RECT into{20, 10, 220, 110};  // twice the frame
  ASSERT_TRUE(PlayEnhMetaFile(played.dc(), emf, &into));
  // The rectangle: a one-pixel outline at any scale, filled inside.
  EXPECT_EQ(played.At(40, 30), kRed);
  EXPECT_EQ(played.At(79, 49), kRed);
  EXPECT_EQ(played.At(41, 31), kBlue);
  EXPECT_EQ(played.At(78, 48), kBlue);
  EXPECT_EQ(played.At(39, 30), kWhite);
  EXPECT_EQ(played.At(80, 49), kWhite);
  // The line: pen width 2 becomes 4 around x = 20 + 80.
  RECT line = played.Inked(RECT{90, 15, 110, 110});
  EXPECT_EQ(line.right - line.left, 4);
  // From y = 10 + 10 to 10 + 90, the wide pen's ends reaching a little past.
  EXPECT_GE(line.top, 18);
  EXPECT_LE(line.top, 20);
  EXPECT_GE(line.bottom, 101);
  EXPECT_LE(line.bottom, 103);
  // The blit: each source pixel becomes 2 x 2.
  EXPECT_EQ(played.At(160, 70), kRed);
  EXPECT_EQ(played.At(163, 77), kRed);
  EXPECT_EQ(played.At(164, 70), kBlue);
  EXPECT_EQ(played.At(167, 77), kBlue);
  EXPECT_EQ(played.At(168, 70), kWhite);
  EXPECT_EQ(played.At(160, 78), kWhite);
  // The text at twice the font size: its ink is as wide and as high as the
  // same text drawn directly at 24 pixels, not a stretched 12-pixel text.
  HDC measure = CreateCompatibleDC(nullptr);
  HFONT big = Font(-24);
  HGDIOBJ old = SelectObject(measure, big);
  SIZE extent{};
  GetTextExtentPoint32A(measure, "Hi", 2, &extent);
  SelectObject(measure, old);
  DeleteObject(big);
  DeleteDC(measure);
  RECT text = played.Inked(RECT{120, 25, 160, 70});
  EXPECT_GE(text.left, 120);
  EXPECT_LE(text.right, 120 + extent.cx + 1);
  EXPECT_GT(text.bottom - text.top, 12);
  // Every pixel matches the scene drawn directly at that size, except the
  // blit, which the direct drawing cannot stretch.
  DrawScene(direct.dc(), 2, POINT{20, 10}, nullptr);
  BlitSource source;
  StretchBlt(direct.dc(), 160, 70, 8, 8, source.dc(), 0, 0, 4, 4, SRCCOPY);
  EXPECT_EQ(played.Pixels(), direct.Pixels());
  EXPECT_TRUE(DeleteEnhMetaFile(emf));
}

TEST(MetafileTest, PlayingSmallerShrinksPositionsPensAndFonts) {
  // A half-size scene needs even coordinates; record one at scale 2.
  RECT frame{0, 0, HundredthsOfMm(200), HundredthsOfMm(100)};
  HDC rec = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  DrawScene(rec, 2, POINT{0, 0}, nullptr);
  HENHMETAFILE emf = CloseEnhMetaFile(rec);
  ASSERT_NE(emf, nullptr);
  Canvas played(120, 70), direct(120, 70);
  RECT into{10, 10, 110, 60};
  ASSERT_TRUE(PlayEnhMetaFile(played.dc(), emf, &into));
  EXPECT_EQ(played.At(20, 20), kRed);
  EXPECT_EQ(played.At(39, 29), kRed);
  EXPECT_EQ(played.At(30, 25), kBlue);
  EXPECT_EQ(played.At(40, 25), kWhite);
  RECT line = played.Inked(RECT{45, 12, 55, 58});
  EXPECT_EQ(line.right - line.left, 2);
  DrawScene(direct.dc(), 1, POINT{10, 10}, nullptr);
  EXPECT_EQ(played.Pixels(), direct.Pixels());
  EXPECT_TRUE(DeleteEnhMetaFile(emf));
}

TEST(MetafileTest, PlaysTheSameEveryTimeAndFromACopy) {
  HENHMETAFILE emf = RecordScene();
  ASSERT_NE(emf, nullptr);
  Canvas a(150, 80), b(150, 80);
  RECT into{5, 5, 145, 75};
  ASSERT_TRUE(PlayEnhMetaFile(a.dc(), emf, &into));
  auto first = a.Pixels();
  a.Clear();
  ASSERT_TRUE(PlayEnhMetaFile(a.dc(), emf, &into));
  EXPECT_EQ(a.Pixels(), first);
  HENHMETAFILE copy = CopyEnhMetaFileA(emf, nullptr);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, emf);
  EXPECT_TRUE(DeleteEnhMetaFile(emf));
  ASSERT_TRUE(PlayEnhMetaFile(b.dc(), copy, &into));
  EXPECT_EQ(b.Pixels(), first);
  EXPECT_TRUE(DeleteEnhMetaFile(copy));
}

TEST(MetafileTest, PlayingLeavesTheDestinationStateAlone) {
  HENHMETAFILE emf = RecordScene();
  Canvas canvas(100, 50);
  HPEN pen = CreatePen(PS_SOLID, 3, kGreen);
  HGDIOBJ oldPen = SelectObject(canvas.dc(), pen);
  SetTextColor(canvas.dc(), kRed);
  SetBkMode(canvas.dc(), OPAQUE);
  RECT into{0, 0, 100, 50};
  ASSERT_TRUE(PlayEnhMetaFile(canvas.dc(), emf, &into));
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), pen);
  EXPECT_EQ(GetTextColor(canvas.dc()), kRed);
  EXPECT_EQ(GetBkMode(canvas.dc()), OPAQUE);
  SelectObject(canvas.dc(), oldPen);
  DeleteObject(pen);
  DeleteEnhMetaFile(emf);
}

TEST(MetafileTest, WithoutAFrameThePictureIsWhatWasDrawn) {
  HDC rec = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  HBRUSH red = CreateSolidBrush(kRed);
  RECT box{100, 100, 120, 110};
  FillRect(rec, &box, red);
  DeleteObject(red);  // the record keeps the colour
  // DIB pixels copied at the call: a 2 x 1 top-down green and blue strip.
  uint32_t strip[2] = {0x0000A000u, 0x000000FFu};
  BITMAPINFO bmi{};
  bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  StretchDIBits(rec, 120, 100, 20, 10, 0, 0, 2, 1, strip, &bmi, DIB_RGB_COLORS, SRCCOPY);
  std::memset(strip, 0, sizeof strip);
  HENHMETAFILE emf = CloseEnhMetaFile(rec);
  ASSERT_NE(emf, nullptr);
  Canvas canvas(100, 60);
  RECT into{10, 10, 90, 30};  // frame 100,100-140,110 at twice the size
  ASSERT_TRUE(PlayEnhMetaFile(canvas.dc(), emf, &into));
  EXPECT_EQ(canvas.At(10, 10), kRed);
  EXPECT_EQ(canvas.At(49, 29), kRed);
  EXPECT_EQ(canvas.At(50, 10), kGreen);
  EXPECT_EQ(canvas.At(69, 29), kGreen);
  EXPECT_EQ(canvas.At(70, 10), kBlue);
  EXPECT_EQ(canvas.At(89, 29), kBlue);
  EXPECT_EQ(canvas.At(90, 10), kWhite);
  EXPECT_EQ(canvas.At(10, 30), kWhite);
  EXPECT_EQ(canvas.At(9, 9), kWhite);
  DeleteEnhMetaFile(emf);
}

TEST(MetafileTest, AnEmptyMetafilePlaysNothing) {
  Canvas canvas(40, 40);
  auto blank = canvas.Pixels();
  RECT into{0, 0, 40, 40};
  HDC rec = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  HENHMETAFILE empty = CloseEnhMetaFile(rec);
  ASSERT_NE(empty, nullptr);
  EXPECT_TRUE(PlayEnhMetaFile(canvas.dc(), empty, &into));
  RECT frame{0, 0, HundredthsOfMm(40), HundredthsOfMm(40)};
  rec = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  HENHMETAFILE framed = CloseEnhMetaFile(rec);
  EXPECT_TRUE(PlayEnhMetaFile(canvas.dc(), framed, &into));
  EXPECT_EQ(canvas.Pixels(), blank);
  DeleteEnhMetaFile(empty);
  DeleteEnhMetaFile(framed);
}

TEST(MetafileTest, StaleAndWrongHandlesFailCleanly) {
  HDC rec = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  Rectangle(rec, 0, 0, 10, 10);
  HENHMETAFILE emf = CloseEnhMetaFile(rec);
  ASSERT_NE(emf, nullptr);
  EXPECT_EQ(CloseEnhMetaFile(rec), nullptr);  // closed already
  Canvas canvas(20, 20);
  EXPECT_EQ(CloseEnhMetaFile(canvas.dc()), nullptr);  // not a metafile context
  RECT into{0, 0, 20, 20};
  EXPECT_FALSE(PlayEnhMetaFile(nullptr, emf, &into));
  EXPECT_FALSE(PlayEnhMetaFile(canvas.dc(), emf, nullptr));
  EXPECT_TRUE(DeleteEnhMetaFile(emf));
  SetLastError(0);
  EXPECT_FALSE(DeleteEnhMetaFile(emf));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(PlayEnhMetaFile(canvas.dc(), emf, &into));
  EXPECT_EQ(CopyEnhMetaFileA(emf, nullptr), nullptr);
  EXPECT_FALSE(DeleteEnhMetaFile(nullptr));
}

}  // namespace
