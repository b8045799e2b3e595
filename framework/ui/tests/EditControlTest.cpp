// The edit control typed into through the desktop's keys: bound values,
// bound text items, the keys a value edit refuses.
#include <qlxrapi/TextItem.h>
#include <qlxrapi/UtilLib_Edit.h>

#include <chrono>
#include <future>
#include <thread>

#include "ControlTesting.h"

using namespace uitest;

namespace {

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

class Edits : public ControlPanel {
 protected:
  UtilLib_Edit* MakeEdit() {
    auto* edit = Make<UtilLib_Edit>("UtilLib_Edit", 10, 10, 80, 20);
    if (edit != nullptr) {
      SetFocus(edit->GetEditWindow());
      Run();
    }
    return edit;
  }
  static void Type(int key) {
    quellor::desktop::TypeKey(key);
    Run();
  }
  // A key the subset's keyboard has no character for ('-', '.'), as a
  // keyboard with one would send it.
  static void TypeChar(UtilLib_Edit* edit, int virtualKey, char character) {
    HWND window = edit->GetEditWindow();
    SendMessageA(window, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 0);
    SendMessageA(window, WM_CHAR, static_cast<WPARAM>(character), 0);
    SendMessageA(window, WM_KEYUP, static_cast<WPARAM>(virtualKey), 0);
  }
  // Selects all the text so that the next key replaces it.
  static void SelectAll(UtilLib_Edit* edit) {
    SendMessageA(edit->GetEditWindow(), EM_SETSEL, 0, -1);
  }
};

TEST_F(Edits, TheEditWindowAnswersForItsControl) {
  UtilLib_Edit* edit = MakeEdit();
  ASSERT_NE(nullptr, edit);
  ASSERT_NE(nullptr, edit->GetEditWindow());
  EXPECT_EQ(edit, Orvane_GetWindowObject(edit->GetEditWindow()));
  EXPECT_TRUE(edit->Button_IsPressed());
  SetFocus(panel->GetWindowHandle());
  EXPECT_FALSE(edit->Button_IsPressed());
  edit->SetWindowSize(120, 24);
  RECT inner{};
  GetClientRect(edit->GetEditWindow(), &inner);
  EXPECT_EQ(120, inner.right);
  EXPECT_EQ(24, inner.bottom);
}

TEST_F(Edits, PageKeysStepTheValueAndTheTextFollows) {
  UtilLib_Edit* edit = MakeEdit();
  Dynamic<float> value, step;
  value.Set(2.0f);
  step.Set(1.5f);
  edit->Slider_SetSliderWidth(&step);
  edit->Slider_SetVariable(&value);
  EXPECT_EQ("2.0", TextOf(edit->GetEditWindow()));
  ControlNotices valueNotices;
  value.AddDependant(&valueNotices, 0);
  Type(VK_PRIOR);
  EXPECT_FLOAT_EQ(3.5f, value.Get());
  EXPECT_EQ((Notices{"UtilLib_Edit::Changed"}), valueNotices.Take());
  EXPECT_EQ("3.5", TextOf(edit->GetEditWindow()));
  Type(VK_NEXT);
  Type(VK_NEXT);
  EXPECT_FLOAT_EQ(0.5f, value.Get());
  EXPECT_EQ("0.5", TextOf(edit->GetEditWindow()));
  edit->Slider_SetVariable(nullptr);
  edit->Slider_SetSliderWidth(nullptr);
}

TEST_F(Edits, ArrowStepsFinerThanTheDisplayAddUp) {
  UtilLib_Edit* edit = MakeEdit();
  Dynamic<float> value, step;
  step.Set(0.1f);
  edit->Slider_SetSliderWidth(&step);
  edit->Slider_SetVariable(&value);
  for (int i = 0; i < 12; ++i) Type(VK_UP);
  EXPECT_NEAR(0.12f, value.Get(), 1e-5);
  EXPECT_EQ("0.1", TextOf(edit->GetEditWindow()));
  Type(VK_DOWN);
  EXPECT_NEAR(0.11f, value.Get(), 1e-5);
  edit->Slider_SetVariable(nullptr);
  edit->Slider_SetSliderWidth(nullptr);
}

TEST_F(Edits, AValueEditTakesDigitsAndThePointButNoLetterOrSign) {
  UtilLib_Edit* edit = MakeEdit();
  Dynamic<float> value;
  value.Set(1.0f);
  edit->Slider_SetVariable(&value);
  SelectAll(edit);
  Type('A');
  TypeChar(edit, 0xBD, '-');
  EXPECT_EQ("1.0", TextOf(edit->GetEditWindow()));
  EXPECT_FLOAT_EQ(1.0f, value.Get());
  SelectAll(edit);
  Type('4');
  TypeChar(edit, 0xBE, '.');
  Type('2');
  EXPECT_EQ("4.2", TextOf(edit->GetEditWindow()));
  EXPECT_FLOAT_EQ(4.2f, value.Get());
  Type(VK_BACK);
  EXPECT_FLOAT_EQ(4.0f, value.Get());
  value.Set(7.25f);  // the application's change shows
  EXPECT_EQ("7.2", TextOf(edit->GetEditWindow()));
  edit->Slider_SetVariable(nullptr);
}

TEST_F(Edits, StepsStayWithinABoundRange) {
  UtilLib_Edit* edit = MakeEdit();
  Dynamic<float> value, step, low, high;
  step.Set(5.0f);
  high.Set(8.0f);
  edit->Slider_SetSliderWidth(&step);
  edit->Slider_SetMinVariable(&low);
  edit->Slider_SetMaxVariable(&high);
  edit->Slider_SetVariable(&value);
  Type(VK_PRIOR);
  Type(VK_PRIOR);
  EXPECT_FLOAT_EQ(8.0f, value.Get());
  Type(VK_NEXT);
  Type(VK_NEXT);
  EXPECT_FLOAT_EQ(0.0f, value.Get());
  edit->Slider_SetVariable(nullptr);
  edit->Slider_SetMinVariable(nullptr);
  edit->Slider_SetMaxVariable(nullptr);
  edit->Slider_SetSliderWidth(nullptr);
}

TEST_F(Edits, ATextEditSetsItsItemAndShowsItsChanges) {
  UtilLib_Edit* edit = MakeEdit();
  TextItem* item =
      Keep(new TextItem(const_cast<char*>("clip"), const_cast<char*>("Verdena"), -1.0f, false,
                        false, false, false, 0, 0, 0, 112, 0, 0, false, 255, 255, 255));
  edit->Controls_Edit_SetItem(item);
  EXPECT_EQ("clip", TextOf(edit->GetEditWindow()));
  SendMessageA(edit->GetEditWindow(), EM_SETSEL, 4, 4);
  Type('S');
  EXPECT_STREQ("clips", item->GetText());
  item->SetText(const_cast<char*>("take"));
  EXPECT_EQ("take", TextOf(edit->GetEditWindow()));
  edit->Controls_Edit_SetItem(nullptr);
}

TEST_F(Edits, AValueSetOnAnotherThreadDoesNotWaitForTheWindowThread) {
  UtilLib_Edit* edit = MakeEdit();
  Dynamic<float> value;
  value.Set(1.0f);
  edit->Slider_SetVariable(&value);
  ASSERT_EQ("1.0", TextOf(edit->GetEditWindow()));
  // The window's thread waits for the setting thread here without taking
  // messages, as a window thread that stops a worker does.
  std::packaged_task<void()> set([&value] { value.Set(7.5f); });
  std::future<void> done = set.get_future();
  std::thread setter(std::move(set));
  const bool returned = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  if (!returned) Run();  // answers the setter's wait, so that the test ends
  setter.join();
  EXPECT_TRUE(returned) << "the setting thread waited for the window's thread";
  Run();
  EXPECT_EQ("7.5", TextOf(edit->GetEditWindow())) << "shown once the window's thread runs";
  edit->Slider_SetVariable(nullptr);
}

TEST_F(Edits, ItemsAndValuesThatGoAreLetGo) {
  UtilLib_Edit* edit = MakeEdit();
  {
    Dynamic<float> value;
    edit->Slider_SetVariable(&value);
    auto* item = new TextItem(const_cast<char*>("x"), const_cast<char*>("Verdena"), -1.0f, false,
                              false, false, false, 0, 0, 0, 112, 0, 0, false, 255, 255, 255);
    BuildResource(const_cast<char*>("test.edit.text"), item);
    edit->Controls_Edit_SetResource(const_cast<char*>("test.edit.text"));
    EXPECT_EQ(item, edit->Controls_Edit_GetItem());
    EXPECT_STREQ("test.edit.text", edit->Controls_Edit_GetResourceName());
    DeleteResource(const_cast<char*>("test.edit.text"));
  }
  EXPECT_EQ(nullptr, edit->Slider_GetVariable());
  EXPECT_EQ(nullptr, edit->Controls_Edit_GetItem());
  EXPECT_EQ(nullptr, edit->Controls_Edit_GetResourceName());
  Type('1');
  Type(VK_PRIOR);
}

// An edit whose system control cannot be made.
class NoEditControl : public UtilLib_Edit {
 public:
  void Open() { InitialiseWindow(); }

 protected:
  HWND CreateEditControl() override { return nullptr; }
};

TEST_F(Edits, AnEditControlThatCannotBeMadeIsReported) {
  auto* edit = new NoEditControl;
  HWND window = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, panel->GetWindowHandle(),
                                nullptr, nullptr, nullptr);
  edit->SetupControl(window);
  try {
    edit->Open();
    ADD_FAILURE() << "no error";
  } catch (const char* text) {
    EXPECT_STREQ("UtilLib_Edit::UtilLib_Edit Could not open Edit Control.", text);
  }
  ::DestroyWindow(window);
}

}  // namespace
