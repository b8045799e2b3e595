// Fonts and text: metrics, extents and the placement rules of TextOutA and
// DrawTextA (checked on positions, not on antialiased pixels).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "Canvas.h"

using quellor::testing::Canvas;

namespace {

// Bounding box of pixels that differ from the background.
RECT Ink(const Canvas& c, int w, int h, uint32_t background) {
  RECT r{w, h, -1, -1};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (c.At(x, y) == background) continue;
      r.left = std::min<LONG>(r.left, x);
      r.top = std::min<LONG>(r.top, y);
      r.right = std::max<LONG>(r.right, x + 1);
      r.bottom = std::max<LONG>(r.bottom, y + 1);
    }
  }
  return r;
}

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    font_ = CreateFontA(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                        ANTIALIASED_QUALITY, 0, "Verdena");
    old_ = SelectObject(canvas_.dc(), font_);
    canvas_.Fill(0x00FFFFFF);
    SetBkMode(canvas_.dc(), TRANSPARENT);
  }
  void TearDown() override {
    SelectObject(canvas_.dc(), old_);
    DeleteObject(font_);
  }
  Canvas canvas_{200, 100};
  HFONT font_;
  HGDIOBJ old_;
};

TEST_F(TextTest, HeightFollowsTheWin32SignConvention) {
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(canvas_.dc(), &tm));
  // Negative height: the character height; the cell adds internal leading.
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 20);
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
  HFONT cell = CreateFontA(20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  SelectObject(canvas_.dc(), cell);
  ASSERT_TRUE(GetTextMetricsA(canvas_.dc(), &tm));
  EXPECT_EQ(tm.tmHeight, 20);  // positive: the cell height
  EXPECT_EQ(tm.tmWeight, FW_BOLD);
  SelectObject(canvas_.dc(), font_);
  DeleteObject(cell);
}

TEST_F(TextTest, ExtentsAddUpAndGrowWithText) {
  SIZE a, ab, abab;
  GetTextExtentPoint32A(canvas_.dc(), "Ab", 1, &a);
  GetTextExtentPoint32A(canvas_.dc(), "Ab", 2, &ab);
  GetTextExtentPoint32A(canvas_.dc(), "AbAb", 4, &abab);
  EXPECT_GT(a.cx, 0);
  EXPECT_GT(ab.cx, a.cx);
  EXPECT_EQ(abab.cx, 2 * ab.cx);
  TEXTMETRICA tm;
  GetTextMetricsA(canvas_.dc(), &tm);
  EXPECT_EQ(ab.cy, tm.tmHeight);
  SIZE empty;
  EXPECT_TRUE(GetTextExtentPoint32A(canvas_.dc(), "", 0, &empty));
  EXPECT_EQ(empty.cx, 0);
  EXPECT_FALSE(GetTextExtentPoint32A(canvas_.dc(), nullptr, 3, &empty));
}

TEST_F(TextTest, TextOutPlacesTheCellAtTheReferencePoint) {
  SetTextColor(canvas_.dc(), RGB(0, 0, 0));
  SIZE size;
  GetTextExtentPoint32A(canvas_.dc(), "HH", 2, &size);
  TEXTMETRICA tm;
  GetTextMetricsA(canvas_.dc(), &tm);
  TextOutA(canvas_.dc(), 20, 10, "HH", 2);
  RECT ink = Ink(canvas_, 200, 100, 0xFFFFFF);
  EXPECT_GE(ink.left, 20);
  EXPECT_LE(ink.right, 20 + size.cx);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.bottom, 10 + tm.tmAscent + 1);  // capitals stand on the baseline
  EXPECT_GE(ink.bottom, 10 + tm.tmAscent - 1);
  // Right alignment puts the end of the text at x.
  canvas_.Fill(0xFFFFFF);
  SetTextAlign(canvas_.dc(), TA_RIGHT | TA_BASELINE);
  TextOutA(canvas_.dc(), 150, 50, "HH", 2);
  ink = Ink(canvas_, 200, 100, 0xFFFFFF);
  EXPECT_LE(ink.right, 150);
  EXPECT_GE(ink.right, 150 - 4);
  EXPECT_LE(ink.bottom, 51);
  SetTextAlign(canvas_.dc(), TA_LEFT | TA_TOP);
  // OPAQUE mode fills the whole cell with the background colour.
  canvas_.Fill(0xFFFFFF);
  SetBkMode(canvas_.dc(), OPAQUE);
  SetBkColor(canvas_.dc(), RGB(0, 0, 255));
  TextOutA(canvas_.dc(), 0, 0, "HH", 2);
  EXPECT_EQ(canvas_.At(0, 0), 0x0000FFu);
  EXPECT_EQ(canvas_.At(size.cx - 1, tm.tmHeight - 1), 0x0000FFu);
  EXPECT_EQ(canvas_.At(size.cx, 0), 0xFFFFFFu);
}

TEST_F(TextTest, DrawTextAlignmentFlags) {
  SIZE size;
  GetTextExtentPoint32A(canvas_.dc(), "HI", 2, &size);
  TEXTMETRICA tm;
  GetTextMetricsA(canvas_.dc(), &tm);
  RECT box{10, 10, 190, 90};
  struct Case {
    UINT flags;
    int left, top;
  } cases[] = {
      {DT_LEFT | DT_TOP | DT_SINGLELINE, 10, 10},
      {DT_RIGHT | DT_SINGLELINE, 190 - size.cx, 10},
      {DT_CENTER | DT_VCENTER | DT_SINGLELINE, 10 + (180 - size.cx) / 2,
       10 + (80 - tm.tmHeight) / 2},
      {DT_BOTTOM | DT_SINGLELINE, 10, 90 - tm.tmHeight},
      {DT_VCENTER, 10, 10},  // without DT_SINGLELINE vertical centring does nothing
  };
  for (const Case& c : cases) {
    canvas_.Fill(0xFFFFFF);
    SetBkMode(canvas_.dc(), OPAQUE);
    SetBkColor(canvas_.dc(), RGB(255, 0, 0));  // the cell shows where the line went
    RECT r = box;
    int height = DrawTextA(canvas_.dc(), "HI", -1, &r, c.flags);
    RECT ink = Ink(canvas_, 200, 100, 0xFFFFFF);
    EXPECT_EQ(ink.left, c.left) << c.flags;
    EXPECT_EQ(ink.top, c.top) << c.flags;
    EXPECT_EQ(ink.right - ink.left, size.cx) << c.flags;
    EXPECT_GT(height, 0);
  }
}

TEST_F(TextTest, DrawTextWrapsExpandsTabsAndCalculates) {
  TEXTMETRICA tm;
  GetTextMetricsA(canvas_.dc(), &tm);
  SIZE word;
  GetTextExtentPoint32A(canvas_.dc(), "word", 4, &word);
  SIZE space;
  GetTextExtentPoint32A(canvas_.dc(), " ", 1, &space);
  RECT r{0, 0, word.cx * 2 + space.cx, 0};
  int height = DrawTextA(canvas_.dc(), "word word word", -1, &r, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_EQ(height, 2 * tm.tmHeight);  // two words fit on a line, the third wraps
  EXPECT_EQ(r.bottom, 2 * tm.tmHeight);
  EXPECT_EQ(r.right, word.cx * 2 + space.cx);
  EXPECT_EQ(canvas_.CountOf(0xFFFFFF), 200 * 100);  // nothing drawn
  // Explicit line breaks and single-line measuring.
  r = RECT{0, 0, 0, 0};
  EXPECT_EQ(DrawTextA(canvas_.dc(), "a\r\nb\nc", -1, &r, DT_CALCRECT), 3 * tm.tmHeight);
  r = RECT{0, 0, 0, 0};
  EXPECT_EQ(DrawTextA(canvas_.dc(), "a\r\nb", -1, &r, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
  // A tab moves to the next multiple of eight average character widths.
  r = RECT{0, 0, 0, 0};
  DrawTextA(canvas_.dc(), "\tx", -1, &r, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
  SIZE x;
  GetTextExtentPoint32A(canvas_.dc(), "x", 1, &x);
  EXPECT_EQ(r.right, 8 * tm.tmAveCharWidth + x.cx);
  // '&' marks a prefix unless DT_NOPREFIX.
  RECT p1{0, 0, 0, 0}, p2{0, 0, 0, 0};
  DrawTextA(canvas_.dc(), "&File", -1, &p1, DT_CALCRECT | DT_SINGLELINE);
  DrawTextA(canvas_.dc(), "&File", -1, &p2, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_LT(p1.right, p2.right);
}

TEST_F(TextTest, DrawTextClipsToItsRectangleUnlessNoClip) {
  SetTextColor(canvas_.dc(), RGB(0, 0, 0));
  RECT r{0, 0, 8, 40};
  DrawTextA(canvas_.dc(), "WWWW", -1, &r, DT_SINGLELINE);
  RECT ink = Ink(canvas_, 200, 100, 0xFFFFFF);
  EXPECT_LE(ink.right, 8);
  canvas_.Fill(0xFFFFFF);
  DrawTextA(canvas_.dc(), "WWWW", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  ink = Ink(canvas_, 200, 100, 0xFFFFFF);
  EXPECT_GT(ink.right, 8);
}

TEST_F(TextTest, StockFontsAndUnderline) {
  for (int stock : {DEVICE_DEFAULT_FONT, ANSI_VAR_FONT, DEFAULT_GUI_FONT, SYSTEM_FONT}) {
    HGDIOBJ f = GetStockObject(stock);
    ASSERT_NE(f, nullptr) << stock;
    EXPECT_EQ(GetObjectType(f), DWORD(OBJ_FONT));
    SelectObject(canvas_.dc(), f);
    TEXTMETRICA tm;
    EXPECT_TRUE(GetTextMetricsA(canvas_.dc(), &tm));
    EXPECT_GT(tm.tmHeight, 8);
  }
  LOGFONTA lf{};
  lf.lfHeight = -16;
  lf.lfUnderline = TRUE;
  std::strcpy(lf.lfFaceName, "No Such Face At All");
  HFONT underlined = CreateFontIndirectA(&lf);
  SelectObject(canvas_.dc(), underlined);
  SetTextColor(canvas_.dc(), RGB(0, 0, 0));
  TEXTMETRICA tm;
  GetTextMetricsA(canvas_.dc(), &tm);
  EXPECT_TRUE(tm.tmUnderlined);
  TextOutA(canvas_.dc(), 0, 0, "....", 4);
  // The underline runs the whole width just below the baseline.
  SIZE size;
  GetTextExtentPoint32A(canvas_.dc(), "....", 4, &size);
  int blackBelow = 0;
  for (int y = tm.tmAscent; y < tm.tmHeight; ++y) {
    int run = 0;
    for (int x = 0; x < size.cx; ++x) run += canvas_.At(x, y) == 0;
    blackBelow = std::max(blackBelow, run);
  }
  EXPECT_EQ(blackBelow, size.cx);
  char face[LF_FACESIZE];
  EXPECT_GT(GetTextFaceA(canvas_.dc(), sizeof face, face), 0);
  EXPECT_STREQ(face, "No Such Face At All");
  SelectObject(canvas_.dc(), font_);
  DeleteObject(underlined);
}

TEST_F(TextTest, PrefixedCharacterIsUnderlined) {
  SetTextColor(canvas_.dc(), RGB(0, 0, 0));
  TEXTMETRICA tm;
  GetTextMetricsA(canvas_.dc(), &tm);
  SIZE e, ex;
  GetTextExtentPoint32A(canvas_.dc(), "E", 1, &e);
  GetTextExtentPoint32A(canvas_.dc(), "Ex", 2, &ex);
  // Dark pixels below the baseline (where "Exit" has no descenders).
  auto underlined = [&](int from, int to) {
    int dark = 0;
    for (int y = tm.tmAscent; y < tm.tmHeight; ++y) {
      for (int x = from; x < to; ++x) dark += canvas_.At(x, y) == 0 ? 1 : 0;
    }
    return dark;
  };
  RECT r{0, 0, 200, 100};
  DrawTextA(canvas_.dc(), "E&xit", -1, &r, DT_SINGLELINE);
  EXPECT_EQ(underlined(0, e.cx), 0);
  EXPECT_GE(underlined(e.cx, ex.cx), ex.cx - e.cx);
  canvas_.Fill(0xFFFFFF);
  DrawTextA(canvas_.dc(), "E&xit", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
  EXPECT_EQ(underlined(0, 200), 0);
  canvas_.Fill(0xFFFFFF);
  DrawTextA(canvas_.dc(), "E&&xit", -1, &r, DT_SINGLELINE);
  EXPECT_EQ(underlined(0, 200), 0);
}

}  // namespace
