// The default looks made at load, module bitmaps placed by their alignment,
// the selection shading and pictures read from skin files.
#include <qlxrapi/DefaultResources.h>
#include <qlxrapi/FindFiles.h>
#include <qlxrapi/Placement.h>
#include <qlxrapi/ScreenObject_BitmapFile.h>
#include <qlxrapi/ScreenObject_Resource.h>
#include <qlxrapi/ScreenObject_Selected.h>
#include <qlxrapi/codecs/ImageCodecs.h>
#include <win32/quellor_host.h>
#include <win32/resources.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "WindowTesting.h"

namespace {

using namespace quellor::win;

char* Name(const char* text) {
  return const_cast<char*>(text);
}

WindowPixel Px(int b, int g, int r, int a = 255) {
  return WindowPixel{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), std::uint8_t(a)};
}

::testing::AssertionResult SameColour(const WindowPixel& expected, const WindowPixel& actual) {
  if (expected.blue == actual.blue && expected.green == actual.green && expected.red == actual.red)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "expected bgr " << int(expected.blue) << "," << int(expected.green) << ","
         << int(expected.red) << " got " << int(actual.blue) << "," << int(actual.green) << ","
         << int(actual.red);
}

// This test program's own module, for bitmaps of its own.
HMODULE TestModule() {
  return quellor::win32::ModuleFromAddress(reinterpret_cast<const void*>(&TestModule));
}

// A w x h bitmap resource whose pixel (x, y) has blue x, green y, red 200.
void RegisterGradient(unsigned short id, int w, int h) {
  quellor::win32::PixelTemplate picture{w, h, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      picture.pixels.push_back(0xFF000000u | (200u << 16) | (unsigned(y) << 8) | unsigned(x));
  quellor::win32::RegisterBitmapResource(TestModule(), MAKEINTRESOURCEA(id), picture);
}

WindowPixel Gradient(int x, int y) {
  return Px(x, y, 200);
}

// The entry registered under name, seen through to the object it owns.
ScreenObject* Registered(const char* name) {
  auto* entry = dynamic_cast<ScreenObject_Container*>(GetResource(Name(name)));
  return entry ? entry->GetChildItem() : nullptr;
}

TEST(DefaultResources, ButtonsAreRegisteredCentredAndSized) {
  const std::pair<ScreenObject_Resource*, const char*> buttons[] = {
      {DefaultButton_Up, "DEFAULTRESOURCE_BUTTON_UP"},
      {DefaultButton_Dn, "DEFAULTRESOURCE_BUTTON_DOWN"},
      {DefaultButton_Ro, "DEFAULTRESOURCE_BUTTON_UP_ROLLOVER"},
      {DefaultButton_RoDn, "DEFAULTRESOURCE_BUTTON_DOWN_ROLLOVER"}};
  for (auto [button, name] : buttons) {
    ASSERT_NE(nullptr, button) << name;
    EXPECT_EQ(button, Registered(name)) << name;
    EXPECT_EQ(192u, button->GetAlignment());
    EXPECT_TRUE(button->IsCached());
    EXPECT_EQ(135, button->ScreenObject_GetPreferedXSize());
    EXPECT_EQ(24, button->ScreenObject_GetPreferedYSize());
  }
  // The four looks differ from one another.
  EXPECT_FALSE(SameColour(*DefaultButton_Up->GetCachedItem()->GetBitmap()->GetPixel(60, 12),
                          *DefaultButton_Dn->GetCachedItem()->GetBitmap()->GetPixel(60, 12)));
  EXPECT_NE(nullptr, GetResource(Name("default_donothing")));
  EXPECT_EQ(nullptr, GetResource(Name("DEFAULTRESOURCE_CANVASBG")));  // the skin's to give
}

TEST(DefaultResources, MenusTileSidewaysAndSlidersHaveTheirShapes) {
  for (ScreenObject_Resource* menu :
       {DefaultMenu_Up, DefaultMenu_Dn, DefaultMenu_Ro, DefaultMenu_RoDn}) {
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(384u, menu->GetAlignment());
    EXPECT_EQ(-1, menu->ScreenObject_GetPreferedXSize());
    EXPECT_EQ(22, menu->ScreenObject_GetPreferedYSize());
    EXPECT_EQ(53, menu->GetBitmapWidth());
    EXPECT_EQ(nullptr, GetResourceName(menu));
  }
  for (unsigned short id : {108, 109, 110, 111}) {
    ASSERT_NE(nullptr, DefaultSliderPicture(id));
    EXPECT_EQ(63, DefaultSliderPicture(id)->ScreenObject_GetPreferedXSize());
    EXPECT_EQ(24, DefaultSliderPicture(id)->ScreenObject_GetPreferedYSize());
  }
  for (unsigned short id : {112, 113, 114, 115}) {
    ASSERT_NE(nullptr, DefaultSliderPicture(id));
    EXPECT_EQ(24, DefaultSliderPicture(id)->ScreenObject_GetPreferedXSize());
    EXPECT_EQ(63, DefaultSliderPicture(id)->ScreenObject_GetPreferedYSize());
  }
  EXPECT_EQ(258u, DefaultSliderPicture(116)->GetAlignment());
  EXPECT_EQ(-1, DefaultSliderPicture(116)->ScreenObject_GetPreferedXSize());
  EXPECT_EQ(-1, DefaultSliderPicture(116)->ScreenObject_GetPreferedYSize());
  EXPECT_EQ(513u, DefaultSliderPicture(117)->GetAlignment());
  EXPECT_EQ(-1, DefaultSliderPicture(117)->ScreenObject_GetPreferedXSize());
  EXPECT_EQ(16, DefaultSliderPicture(117)->GetBitmapHeight());
  EXPECT_EQ(nullptr, DefaultSliderPicture(107));
  ASSERT_NE(nullptr, DefaultCanvasBackground());
  EXPECT_EQ(3u, DefaultCanvasBackground()->GetAlignement());
  EXPECT_EQ(217u, DefaultCanvasBackground()->GetBitmap()->GetWidth());
  EXPECT_EQ(184u, DefaultCanvasBackground()->GetBitmap()->GetHeight());
}

TEST(DefaultResources, FramePiecesAreCutFromTheWindowPictureAtTheirPlaces) {
  WindowBitmap* window = DefaultCanvasBackground()->GetBitmap();
  struct Piece {
    const char* name;
    unsigned x, y, w, h;
    unsigned long flags;
  };
  const Piece pieces[] = {{"DEFAULTRESOURCE_WINDOWCENTRE", 10, 25, 197, 154, 3},
                          {"DEFAULTRESOURCE_WINDOWTOP", 10, 0, 197, 10, 129},
                          {"DEFAULTRESOURCE_WINDOWTOPLEFT", 0, 0, 10, 10, 192},
                          {"DEFAULTRESOURCE_WINDOWTOPRIGHT", 207, 0, 10, 10, 192},
                          {"DEFAULTRESOURCE_WINDOWBOTTOM", 10, 179, 197, 5, 129},
                          {"DEFAULTRESOURCE_WINDOWBOTTOMLEFT", 0, 179, 10, 5, 192},
                          {"DEFAULTRESOURCE_WINDOWBOTTOMRIGHT", 207, 179, 10, 5, 192},
                          {"DEFAULTRESOURCE_WINDOWLEFT", 0, 10, 10, 169, 66},
                          {"DEFAULTRESOURCE_WINDOWRIGHT", 207, 10, 10, 169, 66},
                          {"DEFAULTRESOURCE_WINDOWTITLE", 10, 10, 197, 15, 129}};
  for (const Piece& piece : pieces) {
    auto* item = dynamic_cast<BitmapItem*>(Registered(piece.name));
    ASSERT_NE(nullptr, item) << piece.name;
    EXPECT_EQ(piece.flags, item->GetAlignement()) << piece.name;
    WindowBitmap* cut = item->GetBitmap();
    ASSERT_EQ(piece.w, cut->GetWidth()) << piece.name;
    ASSERT_EQ(piece.h, cut->GetHeight()) << piece.name;
    for (unsigned y = 0; y < piece.h; y += piece.h - 1)
      for (unsigned x = 0; x < piece.w; x += piece.w - 1) {
        const WindowPixel& p = *cut->GetPixel(x, y);
        EXPECT_TRUE(SameColour(*window->GetPixel(piece.x + x, piece.y + y), p)) << piece.name;
        EXPECT_EQ(255, p.alpha) << piece.name;  // module bitmaps are opaque
      }
  }
  // The title bar stands out from the rim above it and the face below it.
  EXPECT_FALSE(SameColour(*window->GetPixel(100, 5), *window->GetPixel(100, 15)));
  EXPECT_FALSE(SameColour(*window->GetPixel(100, 15), *window->GetPixel(100, 100)));
}

TEST(DefaultResources, HandleIconsAndCursorsLoadFromTheLibrary) {
  for (unsigned short id = kIconHandleTopLeft; id <= kIconHandleBottomRight; ++id) {
    HICON icon = LoadIconA(FrameworkModule(), MAKEINTRESOURCEA(id));
    EXPECT_NE(nullptr, icon) << id;
    DestroyIcon(icon);
  }
  for (unsigned short id : {kCursorOverSelected, kCursorNoTarget, kCursorTarget})
    EXPECT_NE(nullptr, LoadCursorA(FrameworkModule(), MAKEINTRESOURCEA(id))) << id;
}

TEST(DefaultResources, ASkinReplacingAButtonLeavesNoDanglingPointer) {
  ScreenObject_Resource* before = DefaultButton_Up;
  ASSERT_NE(nullptr, before);
  ScreenObject* entry = GetResource(Name("DEFAULTRESOURCE_BUTTON_UP"));
  new ScreenObjectNull(Name("defaultresource_button_up"));
  EXPECT_EQ(nullptr, DefaultButton_Up);  // the library's own look is gone
  EXPECT_NE(entry, nullptr);
  // Put a button look back for the tests after this one.
  DefaultButton_Up = new ScreenObject_Resource(FrameworkModule(), kBitmapButtonUp, 192,
                                               Name("DEFAULTRESOURCE_BUTTON_UP"));
  EXPECT_EQ(DefaultButton_Up, Registered("DEFAULTRESOURCE_BUTTON_UP"));
}

class ResourceDrawing : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterGradient(901, 3, 2);
    quellor::win32::RegisterBitmapResource(
        TestModule(), MAKEINTRESOURCEA(902),
        {2, 2, {0xFF0A141E, 0xFF0A141E, 0xFF0A141E, 0xFF0A141E}});
  }
  void SetUp() override { surface.Clear(Px(7, 7, 7, 0)); }

  // Pixel (x, y) of the surface is a copy of the gradient at (x - ax, y - ay)
  // for one of the anchors, or the background.
  void ExpectCopiesAt(const std::vector<std::pair<int, int>>& anchors, int w, int h) {
    GdiFlush();
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) {
        WindowPixel expected = Px(7, 7, 7);
        for (auto [ax, ay] : anchors)
          if (x >= ax && x < ax + w && y >= ay && y < ay + h) expected = Gradient(x - ax, y - ay);
        EXPECT_TRUE(SameColour(expected, *surface.GetPixel(x, y))) << x << "," << y;
      }
  }

  WindowBitmap surface{8, 6};
};

TEST_F(ResourceDrawing, UncachedCopiesArePlacedByTheAlignmentFlags) {
  ScreenObject_Resource centred(TestModule(), 901, 192, nullptr, false);
  EXPECT_EQ(3, centred.ScreenObject_GetPreferedXSize());
  EXPECT_EQ(2, centred.ScreenObject_GetPreferedYSize());
  RECT all{0, 0, 8, 6};
  ASSERT_TRUE(centred.ScreenObject_DrawItem(&all, surface.GetHDC()));
  // (0 + 8) / 2 - 3 / 2 = 3 and (0 + 6) / 2 - 2 / 2 = 2.
  ExpectCopiesAt({{3, 2}}, 3, 2);

  SetUp();
  centred.SetAlignment(kAlignRight | kCentreHorizontal | kAlignBottom | kTileVertical);
  ASSERT_TRUE(centred.ScreenObject_DrawItem(&all, surface.GetHDC()));
  // Right wins over centre; the column steps up from the bottom anchor.
  ExpectCopiesAt({{5, 4}, {5, 2}, {5, 0}}, 3, 2);
  EXPECT_EQ(-1, centred.ScreenObject_GetPreferedYSize());

  SetUp();
  centred.SetAlignment(kCentreHorizontal | kCentreVertical | kTileHorizontal | kTileVertical);
  RECT clip{1, 1, 7, 5};
  ASSERT_TRUE(centred.ScreenObject_DrawItem(&all, surface.GetHDC(), &clip));
  GdiFlush();
  // A grid through the anchor (3, 2); only the clip is drawn.
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 1 && x < 7 && y >= 1 && y < 5;
      const WindowPixel expected = inside ? Gradient((x + 3) % 3, y % 2) : Px(7, 7, 7);
      EXPECT_TRUE(SameColour(expected, *surface.GetPixel(x, y))) << x << "," << y;
    }
}

TEST_F(ResourceDrawing, StretchedCopiesFillTheirSpan) {
  ScreenObject_Resource flat(TestModule(), 902, kStretchHorizontal | kCentreVertical, nullptr,
                             false);
  RECT band{1, 0, 7, 6};
  ASSERT_TRUE(flat.ScreenObject_DrawItem(&band, surface.GetHDC()));
  GdiFlush();
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 1 && x < 7 && y >= 2 && y < 4;
      EXPECT_TRUE(SameColour(inside ? Px(30, 20, 10) : Px(7, 7, 7), *surface.GetPixel(x, y)))
          << x << "," << y;
    }
  EXPECT_EQ(-1, flat.ScreenObject_GetPreferedXSize());
  EXPECT_EQ(2, flat.ScreenObject_GetPreferedYSize());
}

TEST_F(ResourceDrawing, CachedCopiesBlendLikeTheUncachedOnesAreCopied) {
  ScreenObject_Resource cached(TestModule(), 901, kAlignBottom, nullptr, true);
  surface.Clear(Px(0, 0, 0, 255));
  RECT all{0, 0, 8, 6};
  ASSERT_TRUE(cached.ScreenObject_DrawItem(&all, surface.GetHDC()));
  GdiFlush();
  // Opaque pixels blended over black: (s * 255) >> 8.
  EXPECT_TRUE(SameColour(Px(0, 0, (200 * 255) >> 8), *surface.GetPixel(0, 4)));
  EXPECT_TRUE(SameColour(Px((2 * 255) >> 8, 0, (200 * 255) >> 8), *surface.GetPixel(2, 5)));
  EXPECT_TRUE(SameColour(Px(0, 0, 0), *surface.GetPixel(3, 5)));
  EXPECT_TRUE(SameColour(Px(0, 0, 0), *surface.GetPixel(0, 3)));
}

TEST_F(ResourceDrawing, MissingBitmapPrefersNoSizeAndDrawsNothingSuccessfully) {
  uitest::Log log;
  uitest::NoticeRecorder notices(log);
  for (bool cached : {false, true}) {
    ScreenObject_Resource missing(TestModule(), 999, 192, nullptr, cached);
    missing.AddDependant(&notices, 0);
    EXPECT_EQ(-1, missing.GetBitmapWidth());
    EXPECT_EQ(-1, missing.ScreenObject_GetPreferedXSize());
    EXPECT_EQ(-1, missing.ScreenObject_GetPreferedYSize());
    RECT all{0, 0, 8, 6};
    EXPECT_TRUE(missing.ScreenObject_DrawItem(&all, surface.GetHDC()));
    missing.SetAlignment(3);
    missing.DeleteDependant(&notices);
  }
  ExpectCopiesAt({}, 0, 0);
  EXPECT_EQ((uitest::Log{"notice Changed", "notice Changed"}), log);
  ScreenObject_Resource noModule(nullptr, 901, 192, nullptr, false);
  EXPECT_EQ(-1, noModule.GetBitmapHeight());
}

TEST(Placement, StretchedOneWayTilesTheOtherAndGridsGoColumnByColumn) {
  std::vector<std::vector<long>> copies;
  auto record = [&](long x, long y, long w, long h) {
    copies.push_back({x, y, w, h});
    return true;
  };
  PlaceInRectangle(4, 3, RECT{0, 0, 10, 7}, kStretchHorizontal | kTileVertical, record);
  // Anchor at the top; steps up while a copy reaches past top - h, down
  // while it starts above the bottom.
  EXPECT_EQ((std::vector<std::vector<long>>{{0, 0, 10, 3}, {0, 3, 10, 3}, {0, 6, 10, 3}}), copies);
  copies.clear();
  PlaceInRectangle(4, 3, RECT{0, 0, 10, 7}, kStretchVertical | kAlignRight | kTileHorizontal,
                   record);
  EXPECT_EQ((std::vector<std::vector<long>>{{6, 0, 4, 7}, {2, 0, 4, 7}, {-2, 0, 4, 7}}), copies);
  copies.clear();
  PlaceInRectangle(4, 3, RECT{0, 0, 6, 4}, kCentreHorizontal | kCentreVertical | 768, record);
  // Anchor (1, 1): its column up then down, then the column to the left,
  // then the one to the right.
  EXPECT_EQ(
      (std::vector<std::vector<long>>{
          {1, 1, 4, 3}, {1, -2, 4, 3}, {-3, 1, 4, 3}, {-3, -2, 4, 3}, {5, 1, 4, 3}, {5, -2, 4, 3}}),
      copies);
  copies.clear();
  int calls = 0;
  EXPECT_FALSE(PlaceInRectangle(1, 1, RECT{0, 0, 5, 1}, kTileHorizontal,
                                [&](long, long, long, long) { return ++calls < 2; }));
  EXPECT_EQ(2, calls);  // the first failing copy ends the draw
}

TEST(SelectedLook, ZeroStrengthKeepsThePictureButDrawsEveryHandle) {
  WindowBitmap surface(50, 40);
  surface.Clear(Px(40, 80, 120, 255));
  ScreenObject_Selected selected(255, 0, 0, 0, 0, 0, 0, 0);
  selected.SetResizerStatus(true, true);
  RECT r{5, 3, 45, 33};  // 40 x 30
  ASSERT_TRUE(selected.ScreenObject_DrawItem(&r, surface.GetHDC()));
  GdiFlush();
  const WindowPixel rim = *surface.GetPixel(5, 3);
  auto at = [&](int x, int y) { return *surface.GetPixel(5 + x, 3 + y); };
  EXPECT_FALSE(SameColour(Px(40, 80, 120), rim));
  // Corners are 6 x 6 at (0, 0), (w - 6, 0), (0, h - 6), (w - 6, h - 6);
  // sides 7 x 8 at (0, h / 2 - 4) and (w - 7, h / 2 - 4); top and bottom
  // 8 x 7 at (w / 2 - 4, 0) and (w / 2 - 4, h - 7).
  const int handles[8][4] = {{0, 0, 6, 6},  {34, 0, 6, 6},  {0, 24, 6, 6}, {34, 24, 6, 6},
                             {0, 11, 7, 8}, {33, 11, 7, 8}, {16, 0, 8, 7}, {16, 23, 8, 7}};
  for (const auto& h : handles) {
    EXPECT_TRUE(SameColour(rim, at(h[0], h[1]))) << h[0] << "," << h[1];
    EXPECT_TRUE(SameColour(rim, at(h[0] + h[2] - 1, h[1] + h[3] - 1))) << h[0] << "," << h[1];
    EXPECT_FALSE(SameColour(rim, at(h[0] + 2, h[1] + 2))) << h[0] << "," << h[1];
    EXPECT_FALSE(SameColour(Px(40, 80, 120), at(h[0] + 2, h[1] + 2))) << h[0] << "," << h[1];
    // Just past each handle the picture is untouched.
    EXPECT_TRUE(SameColour(Px(40, 80, 120), at(h[0] + h[2], h[1] + h[3] / 2)))
        << h[0] << "," << h[1];
  }
  EXPECT_TRUE(SameColour(Px(40, 80, 120), at(20, 15)));
  EXPECT_TRUE(SameColour(Px(40, 80, 120), *surface.GetPixel(4, 3)));
  EXPECT_TRUE(SameColour(Px(40, 80, 120), *surface.GetPixel(45, 33)));
}

TEST(SelectedLook, TintBlendsEveryPixelAndHandlesFollowTheResizers) {
  WindowBitmap surface(12, 10);
  surface.Clear(Px(100, 50, 10, 255));
  ScreenObject_Selected selected(255, 0, 40, 128, 9, 9, 9, 9);
  RECT r{1, 1, 11, 9};
  ASSERT_TRUE(selected.ScreenObject_DrawItem(&r, surface.GetHDC()));
  GdiFlush();
  // (t * 128 + c * 128) >> 8 per colour; no handles without resizers.
  const WindowPixel tinted =
      Px((40 * 128 + 100 * 128) >> 8, (50 * 128) >> 8, (255 * 128 + 10 * 128) >> 8);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 1 && x < 11 && y >= 1 && y < 9;
      EXPECT_TRUE(SameColour(inside ? tinted : Px(100, 50, 10), *surface.GetPixel(x, y)))
          << x << "," << y;
    }
  surface.Clear(Px(100, 50, 10, 255));
  ScreenObject_Selected plain(0, 0, 0, 0, 0, 0, 0, 0);
  plain.SetResizerStatus(false, true);
  ASSERT_TRUE(plain.ScreenObject_DrawItem(&r, surface.GetHDC()));
  GdiFlush();
  EXPECT_TRUE(SameColour(Px(100, 50, 10), *surface.GetPixel(1, 1)));       // no corner
  EXPECT_FALSE(SameColour(Px(100, 50, 10), *surface.GetPixel(1 + 1, 1)));  // top handle
  EXPECT_EQ(-1, plain.ScreenObject_GetPreferedXSize());
}

TEST(SelectedLook, ASmallShadingAfterALargeOneTouchesOnlyItsOwnArea) {
  // The shading's scratch picture keeps the larger size of the first draw.
  WindowBitmap large(64, 48), small(9, 7);
  large.Clear(Px(1, 2, 3, 255));
  small.Clear(Px(100, 50, 10, 255));
  ScreenObject_Selected selected(255, 255, 255, 64, 0, 0, 0, 0);
  RECT all{0, 0, 64, 48}, part{2, 1, 7, 5};
  ASSERT_TRUE(selected.ScreenObject_DrawItem(&all, large.GetHDC()));
  ASSERT_TRUE(selected.ScreenObject_DrawItem(&part, small.GetHDC()));
  GdiFlush();
  const WindowPixel tinted =
      Px((255 * 64 + 100 * 192) >> 8, (255 * 64 + 50 * 192) >> 8, (255 * 64 + 10 * 192) >> 8);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) {
      const bool inside = x >= 2 && x < 7 && y >= 1 && y < 5;
      EXPECT_TRUE(SameColour(inside ? tinted : Px(100, 50, 10), *small.GetPixel(x, y)))
          << x << "," << y;
    }
}

class SkinFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("QUELLOR_TEST_TMP");
    folder = std::filesystem::path(tmp ? tmp : "/tmp") / "skin_files";
    std::filesystem::create_directories(folder / "Logo");
    FindFiles_AddPath("Skins", folder.c_str());
  }
  void TearDown() override { FindFiles_DeletePath("Skins", folder.c_str()); }

  // A 2 x 1 Targa: blue-ish left pixel, red right pixel.
  void WriteTarga(const std::filesystem::path& path) {
    using namespace quellor::codecs;
    BitmapRecord record;
    record.width = 2;
    record.height = 1;
    record.bitsPerPixel = 24;
    std::vector<std::uint8_t> data(ImageDataSize(record));
    const std::uint8_t row[6] = {250, 20, 30, 1, 2, 240};
    std::copy(row, row + 6, data.begin());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::uint8_t palette[kPaletteBytes] = {};
    ASSERT_EQ(kCodecOk,
              ImageCodecWrite(path.c_str(), file, kFormatTarga, &record, palette, data.data(), ""));
    std::fclose(file);
  }

  std::filesystem::path folder;
};

TEST_F(SkinFiles, PicturesAreFoundAlongTheSkinsPathUnderTheSystemsNames) {
  WriteTarga(folder / "Logo" / "Mark.tga");
  uitest::Log log;
  uitest::NoticeRecorder notices(log);
  ScreenObject_BitmapFile file(Name("Logo\\Mark.tga"));
  EXPECT_STREQ("Logo\\Mark.tga", file.GetFilename());
  EXPECT_EQ(192u, file.GetAlignement());
  ASSERT_EQ(2, file.ScreenObject_GetPreferedXSize());
  EXPECT_EQ(1, file.ScreenObject_GetPreferedYSize());
  EXPECT_TRUE(SameColour(Px(250, 20, 30), *file.GetBitmap()->GetPixel(0, 0)));
  EXPECT_TRUE(SameColour(Px(1, 2, 240), *file.GetBitmap()->GetPixel(1, 0)));
  file.AddDependant(&notices, 0);
  EXPECT_FALSE(file.ChangeFilename(Name("Logo\\Missing.tga")));
  EXPECT_EQ(-1, file.ScreenObject_GetPreferedXSize());
  EXPECT_EQ((uitest::Log{"notice Changed"}), log);
  EXPECT_TRUE(file.ChangeFilename(Name((folder / "Logo" / "Mark.tga").c_str())));
  EXPECT_TRUE(file.ChangeFilename(const_cast<char*>(file.GetFilename())));  // its own name again
  EXPECT_FALSE(file.ChangeFilename(nullptr));
  EXPECT_EQ(nullptr, file.GetFilename());
  file.DeleteDependant(&notices);
}

}  // namespace
