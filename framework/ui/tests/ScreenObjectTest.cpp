// Screen objects and the resource registry.
#include <qlxrapi/ScreenObject.h>
#include <qlxrapi/BitmapItem.h>
#include <qlxrapi/DefaultResources.h>
#include <qlxrapi/WindowBitmap.h>
#include <win32/testing/DebugOutput.h>

#include <string>

#include "WindowTesting.h"

namespace {

class Counted : public ScreenObjectNull {
 public:
  explicit Counted(int* deleted, char* name = nullptr)
      : ScreenObjectNull(name), m_deleted(deleted) {}
  ~Counted() override { ++*m_deleted; }

 private:
  int* m_deleted;
};

TEST(ResourceRegistry, NamesIgnoreCaseAndTheNewestReplacesTheOld) {
  int deleted = 0;
  auto* first = new Counted(&deleted, const_cast<char*>("Skin_Button"));
  ScreenObject* entry = GetResource(const_cast<char*>("SKIN_BUTTON"));
  ASSERT_NE(nullptr, entry);
  EXPECT_STREQ("Skin_Button", GetResourceName(entry));
  first->ScreenObject_SetPreferedXSize(17);
  EXPECT_EQ(17, entry->ScreenObject_GetPreferedXSize());  // the entry sizes as its object
  new Counted(&deleted, const_cast<char*>("skin_button"));
  EXPECT_EQ(1, deleted);  // the old object went with its entry
  EXPECT_EQ(nullptr, GetResourceName(nullptr));
  EXPECT_FALSE(DeleteResource(const_cast<char*>("SKIN_button")));
  EXPECT_EQ(2, deleted);
  EXPECT_TRUE(DeleteResource(const_cast<char*>("skin_button")));
  EXPECT_EQ(nullptr, GetResource(const_cast<char*>("skin_button")));
}

TEST(ResourceRegistry, EntryRepeatsTheObjectsNoticesAndObjectDeletedElsewhereLeaves) {
  uitest::Log log;
  uitest::NoticeRecorder notices(log);
  int deleted = 0;
  auto* object = new Counted(&deleted, const_cast<char*>("Watched"));
  ScreenObject* entry = GetResource(const_cast<char*>("Watched"));
  entry->AddDependant(&notices, 3);
  object->ScreenObject_SetPreferedYSize(4);
  EXPECT_EQ((uitest::Log{"notice Changed"}), log);
  delete object;  // by a holder of a plain pointer
  EXPECT_EQ(1, deleted);
  EXPECT_EQ(nullptr, GetResource(const_cast<char*>("Watched")));
}

TEST(ResourceRegistry, AnEntryDeletedFromInsideItsOwnChangedNoticeGoesCleanly) {
  // The listener deletes the entry it is hearing from: the notice walks of
  // the entry and of its object must both stop without touching them again.
  uitest::Log log;
  uitest::NoticeRecorder first(log), last(log);
  int deleted = 0;
  auto* object = new Counted(&deleted, const_cast<char*>("Doomed"));
  ScreenObject* entry = GetResource(const_cast<char*>("Doomed"));
  first.onNotice = [&](const char* name, std::uint64_t*) {
    if (std::string(name) == "Changed") {
      EXPECT_FALSE(DeleteResource(const_cast<char*>("Doomed")));
    }
  };
  entry->AddDependant(&first, 1);
  entry->AddDependant(&last, 2);
  object->ScreenObject_SetPreferedYSize(4);
  EXPECT_EQ(1, deleted);
  EXPECT_EQ(nullptr, GetResource(const_cast<char*>("Doomed")));
  // Both hear the entry going; the deleted entry's Changed walk ends there.
  EXPECT_EQ((uitest::Log{"notice Changed", "notice DynamicTalker::Delete",
                         "notice DynamicTalker::Delete"}),
            log);
}

TEST(ResourceRegistry, EveryRegistrationIsTracedWithItsNameAndPlainClassName) {
  quellor::win32::testing::ScopedDebugOutputCapture capture;
  new ScreenObjectNull(const_cast<char*>("TracedNothing"));
  new BitmapItem(0ul, const_cast<char*>("TracedPicture"));
  auto* solid = new ScreenObjectSolid;
  EXPECT_EQ(solid, BuildResource(const_cast<char*>("TracedSolid"), solid));
  const std::string text = capture.Text();
  EXPECT_NE(std::string::npos,
            text.find("Resource Created : TracedNothing Type : ScreenObjectNull\n"));
  EXPECT_NE(std::string::npos, text.find("Resource Created : TracedPicture Type : BitmapItem\n"));
  EXPECT_NE(std::string::npos,
            text.find("Resource Created : TracedSolid Type : ScreenObjectSolid\n"));
  // Registering nothing under a name only deletes what was there.
  EXPECT_EQ(nullptr, BuildResource(const_cast<char*>("tracedsolid"), nullptr));
  EXPECT_EQ(nullptr, GetResource(const_cast<char*>("TracedSolid")));
  EXPECT_EQ(text, capture.Text());
  EXPECT_FALSE(DeleteResource(const_cast<char*>("TracedNothing")));
  EXPECT_FALSE(DeleteResource(GetResource(const_cast<char*>("TracedPicture"))));
  EXPECT_TRUE(DeleteResource(static_cast<ScreenObject*>(nullptr)));
}

TEST(ScreenObjects, ContainerRepeatsOnlyItsCurrentChildAndDeletesTheOldOne) {
  uitest::Log log;
  uitest::NoticeRecorder notices(log);
  int deleted = 0;
  auto* first = new Counted(&deleted);
  ScreenObject_Container container(first);
  container.AddDependant(&notices, 1);
  EXPECT_EQ(-1, container.ScreenObject_GetPreferedXSize());
  first->ScreenObject_SetPreferedXSize(5);
  EXPECT_EQ((uitest::Log{"notice Changed"}), log);
  EXPECT_EQ(5, container.ScreenObject_GetPreferedXSize());
  auto* second = new Counted(&deleted);
  container.ChangeChildItem(second);
  EXPECT_EQ(1, deleted);
  log.clear();
  second->ScreenObject_SetPreferedYSize(8);
  EXPECT_EQ((uitest::Log{"notice Changed"}), log);
  EXPECT_EQ(8, container.ScreenObject_GetPreferedYSize());
  container.ChangeChildItem(nullptr);
  EXPECT_EQ(2, deleted);
  EXPECT_EQ(-1, container.ScreenObject_GetPreferedYSize());
  container.DeleteDependant(&notices);
}

TEST(ScreenObjects, SolidColourChangesQuietly) {
  uitest::Log log;
  uitest::NoticeRecorder notices(log);
  ScreenObjectSolid solid;
  solid.AddDependant(&notices, 1);
  unsigned r = 9, g = 9, b = 9;
  solid.ScreenObjectSolid_GetColor(r, g, b);
  EXPECT_EQ(0u, r + g + b);  // black at first
  solid.ScreenObjectSolid_SetColor(10, 20, 30);
  solid.ScreenObjectSolid_GetColor(r, g, b);
  EXPECT_EQ(10u, r);
  EXPECT_EQ(20u, g);
  EXPECT_EQ(30u, b);
  EXPECT_TRUE(log.empty());
  solid.DeleteDependant(&notices);
}

TEST(ScreenObjects, CompositeDrawsEveryChildAndPrefersTheLargest) {
  ScreenObject_Composite empty;
  RECT r{0, 0, 4, 4};
  EXPECT_EQ(-1, empty.ScreenObject_GetPreferedXSize());
  EXPECT_TRUE(empty.ScreenObject_DrawItem(&r, nullptr));
  int deleted = 0;
  ScreenObject_Composite stack;
  auto* small = new Counted(&deleted);
  auto* large = new Counted(&deleted);
  small->ScreenObject_SetPreferedXSize(3);
  large->ScreenObject_SetPreferedXSize(9);
  stack.ScreenObject_Composite_AddChild(small, true);
  stack.ScreenObject_Composite_AddChild(0ul, large, false);
  EXPECT_EQ(large, stack.ScreenObject_Composite_GetChild(0));
  EXPECT_EQ(9, stack.ScreenObject_GetPreferedXSize());
  stack.ScreenObject_Composite_DeleteChild(large);
  EXPECT_EQ(0, deleted);  // not owned
  delete large;
  stack.ScreenObject_Composite_DeleteChild(0ul);
  EXPECT_EQ(2, deleted);
}

TEST(ScreenObjects, SolidFillsInclusiveOfTheEdges) {
  WindowBitmap surface(4, 4);
  surface.Clear(WindowPixel{0, 0, 0, 0});
  ScreenObjectSolid solid;
  solid.ScreenObjectSolid_SetColor(10, 20, 30);
  RECT r{1, 1, 2, 2};
  EXPECT_TRUE(solid.ScreenObject_DrawItem(&r, surface.GetHDC()));
  GdiFlush();
  EXPECT_EQ(30, surface.GetPixel(2, 2)->blue);
  EXPECT_EQ(10, surface.GetPixel(1, 1)->red);
  EXPECT_EQ(0, surface.GetPixel(3, 3)->blue);
}

}  // namespace

#include <qlxrapi/BitmapItem.h>

namespace {

TEST(BitmapItems, AModuleBitmapThatCannotBeLoadedThrowsAndRegistersNothing) {
  for (HINSTANCE module : {static_cast<HINSTANCE>(nullptr), quellor::win::FrameworkModule()}) {
    const char* thrown = nullptr;
    try {
      new BitmapItem(module, 999, const_cast<char*>("NeverMade"));
    } catch (const char* text) {
      thrown = text;
    }
    EXPECT_STREQ("Could no create the bitmap from a resource !", thrown);
    EXPECT_EQ(nullptr, GetResource(const_cast<char*>("NeverMade")));
  }
  BitmapItem button(quellor::win::FrameworkModule(), quellor::win::kBitmapButtonUp, nullptr);
  EXPECT_EQ(192u, button.GetAlignement());
  EXPECT_EQ(135, button.ScreenObject_GetPreferedXSize());
  EXPECT_EQ(24, button.ScreenObject_GetPreferedYSize());
}

TEST(BitmapItems, CutOutsCopyTheirAreaAndPreferTheirSizeUnlessStretchedOrTiled) {
  BitmapItem source;
  ASSERT_TRUE(source.GetBitmap()->Resize(4, 3));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      *source.GetBitmap()->GetPixel(x, y) = WindowPixel{std::uint8_t(x), std::uint8_t(y), 0, 255};
  BitmapItem cut(&source, 2, 1, 3, 2, nullptr);
  EXPECT_EQ(3, cut.ScreenObject_GetPreferedXSize());
  EXPECT_EQ(2, cut.ScreenObject_GetPreferedYSize());
  EXPECT_EQ(2, cut.GetBitmap()->GetPixel(0, 0)->blue);
  EXPECT_EQ(1, cut.GetBitmap()->GetPixel(0, 0)->green);
  EXPECT_EQ(0, cut.GetBitmap()->GetPixel(2, 0)->alpha);  // past the source
  cut.SetAlignment(256 | 2);
  EXPECT_EQ(-1, cut.ScreenObject_GetPreferedXSize());
  EXPECT_EQ(-1, cut.ScreenObject_GetPreferedYSize());
  BitmapItem empty;
  EXPECT_EQ(-1, empty.ScreenObject_GetPreferedXSize());
  RECT r{0, 0, 5, 5};
  WindowBitmap surface(5, 5);
  EXPECT_TRUE(empty.ScreenObject_DrawItem(&r, surface.GetHDC()));  // nothing to draw
  EXPECT_THROW(BitmapItem(nullptr, 101, nullptr), const char*);
}

}  // namespace

#include <qlxrapi/TextItem.h>

namespace {

TEST(TextItems, SameTextAnnouncesOnceAndFillWidthKeepsTheHeight) {
  uitest::Log log;
  uitest::NoticeRecorder notices(log);
  TextItem text;
  text.AddDependant(&notices, 1);
  EXPECT_TRUE(text.SetText(const_cast<char*>("Play")));
  EXPECT_TRUE(text.SetText(const_cast<char*>("Play")));
  EXPECT_EQ(1u, log.size());
  EXPECT_EQ(-1, text.ScreenObject_GetPreferedXSize());  // 112 has bit 64
  EXPECT_GT(text.ScreenObject_GetPreferedYSize(), 0);
  text.SetAlignment(1 | 4);
  EXPECT_GT(text.ScreenObject_GetPreferedXSize(), 0);
  text.DeleteDependant(&notices);
}

TEST(TextItems, DrawsTextInItsColourInsideTheRectangle) {
  WindowBitmap surface(60, 20);
  surface.Clear(WindowPixel{0, 0, 0, 0});
  TextItem text(const_cast<char*>("MMMM"), const_cast<char*>("Verdena"), 14.0f, true, false, false,
                false, 255, 255, 255, 1 | 4);
  RECT r{0, 0, 60, 20};
  EXPECT_TRUE(text.ScreenObject_DrawItem(&r, surface.GetHDC()));
  GdiFlush();
  int lit = 0, outside = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      const bool on = surface.GetPixel(x, y)->red > 128;
      lit += on;
      outside += on && x >= text.ScreenObject_GetPreferedXSize() + 1;
    }
  EXPECT_GT(lit, 20);
  EXPECT_EQ(0, outside);
}

TEST(TextItems, BackgroundFillsToTheEdgesAndTheBorderOutlinesTheTextOnTheRight) {
  WindowBitmap surface(80, 24);
  surface.Clear(WindowPixel{0, 0, 0, 0});
  TextItem text(const_cast<char*>(""));
  text.Set_BackgroundColor(0, 0, 255);
  text.Set_Background(true);
  RECT box{2, 2, 10, 10};
  EXPECT_TRUE(text.ScreenObject_DrawItem(&box, surface.GetHDC()));
  GdiFlush();
  EXPECT_EQ(255, surface.GetPixel(10, 10)->blue);  // the right and bottom edges included
  EXPECT_EQ(255, surface.GetPixel(2, 2)->blue);
  EXPECT_EQ(0, surface.GetPixel(11, 11)->blue);
  EXPECT_EQ(0, surface.GetPixel(1, 1)->blue);

  surface.Clear(WindowPixel{0, 0, 0, 0});
  TextItem outlined(const_cast<char*>("MM"), const_cast<char*>("Verdena"), 16.0f, true, false,
                    false, false, 0, 255, 0, 2 | 4, 0, 0, true, 255, 0, 0);
  RECT line{0, 0, 80, 24};
  EXPECT_TRUE(outlined.ScreenObject_DrawItem(&line, surface.GetHDC()));
  GdiFlush();
  int green = 0, red = 0, leftHalf = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 80; ++x) {
      const WindowPixel& p = *surface.GetPixel(x, y);
      green += p.green > 128 && p.red < 64;
      red += p.red > 128 && p.green < 64;
      leftHalf += x < 40 && (p.red > 64 || p.green > 64);
    }
  EXPECT_GT(green, 10);
  EXPECT_GT(red, 10);      // the outline shows round the text
  EXPECT_EQ(0, leftHalf);  // bit 2: right-aligned
}

}  // namespace
