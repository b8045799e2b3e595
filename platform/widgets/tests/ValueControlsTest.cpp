// The toolkit's slider and numeric edit, bound to one value inside a dialog:
// dragging the slider sets the value and the edit follows; typing a number
// sets the value and the slider follows; rebinding shows the new value.
#include <gtest/gtest.h>

#include "widgets/ValueControls.h"
#include "win32/quellor_host.h"
#include "win32/automation/Desktop.h"

using namespace quellor::widgets;
namespace desktop = quellor::desktop;

namespace {

HMODULE Module() {
  return quellor::win32::ModuleFromAddress(reinterpret_cast<const void*>(&Module));
}

INT_PTR CALLBACK PlainDialog(HWND, UINT msg, WPARAM, LPARAM) {
  return msg == WM_INITDIALOG;
}

class ValueControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop::UseManualClock(true);
    using Item = quellor::win32::DialogItemTemplate;
    quellor::win32::DialogTemplate tpl;
    tpl.title = "Output Settings";
    tpl.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
    tpl.x = 20;
    tpl.y = 20;
    tpl.cx = 200;
    tpl.cy = 60;
    tpl.fontName = "Arial";
    tpl.items = {
        Item{"STATIC", "", 1016, SS_BLACKFRAME | WS_VISIBLE | WS_TABSTOP, 0, 5, 5, 127, 16},
        Item{"STATIC", "", 1017, SS_BLACKFRAME | WS_VISIBLE | WS_TABSTOP, 0, 140, 7, 40, 12}};
    quellor::win32::RegisterDialogResource(Module(), MAKEINTRESOURCEA(105), tpl);
    dialog_ = CreateDialogParamA(Module(), MAKEINTRESOURCEA(105), nullptr, PlainDialog, 0);
    ASSERT_NE(dialog_, nullptr);
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    desktop::AdvanceClock(1000);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  std::string EditText(NumericEdit* edit) {
    char text[32] = "";
    GetWindowTextA(edit->Edit(), text, sizeof text);
    return text;
  }
  HWND dialog_ = nullptr;
  // Values outlive the dialog whose controls are bound to them.
  DoubleSetting phase{0.0}, contrast{44.0}, composite{44.0}, sdi{0.0};
};

TEST_F(ValueControlsTest, DraggingTheSliderSetsTheValueAndTheEditFollows) {
  ValueSlider* slider = ValueSlider::Create(dialog_, 1016, &phase, -127, 127, 32, 0);
  NumericEdit* edit = NumericEdit::Create(dialog_, 1017, &phase, -127, 127);
  ASSERT_NE(slider, nullptr);
  ASSERT_NE(edit, nullptr);
  // They took the placeholders' identifiers and rectangles.
  EXPECT_EQ(GetDlgItem(dialog_, 1016), slider->Handle());
  EXPECT_EQ(GetDlgItem(dialog_, 1017), edit->Handle());
  EXPECT_EQ(EditText(edit), "0");
  desktop::RunUntilIdle();
  RECT r;
  GetWindowRect(slider->Trackbar(), &r);
  int cy = (r.top + r.bottom) / 2;
  desktop::PressButton(desktop::Button::Left, (r.left + r.right) / 2, cy);
  desktop::MoveMouse(r.right - 1, cy);  // all the way right
  desktop::ReleaseButton(desktop::Button::Left, r.right - 1, cy);
  desktop::RunUntilIdle();
  EXPECT_EQ(phase.Get(), 127.0);
  EXPECT_EQ(EditText(edit), "127");
  desktop::PressButton(desktop::Button::Left, r.left, cy);  // all the way left
  desktop::ReleaseButton(desktop::Button::Left, r.left, cy);
  desktop::RunUntilIdle();
  EXPECT_EQ(phase.Get(), -127.0);
  EXPECT_EQ(SendMessageA(slider->Trackbar(), TBM_GETPOS, 0, 0), -127);
  EXPECT_EQ(EditText(edit), "-127");
}

TEST_F(ValueControlsTest, TypingANumberInRangeSetsTheValueAndTheSliderFollows) {
  ValueSlider* slider = ValueSlider::Create(dialog_, 1016, &contrast, -127, 127);
  NumericEdit* edit = NumericEdit::Create(dialog_, 1017, &contrast, -127, 127);
  EXPECT_EQ(SendMessageA(slider->Trackbar(), TBM_GETPOS, 0, 0), 44);
  desktop::RunUntilIdle();
  RECT r;
  GetWindowRect(edit->Edit(), &r);
  desktop::Click(desktop::Button::Left, r.right - 3, (r.top + r.bottom) / 2);
  desktop::RunUntilIdle();
  desktop::TypeKey(VK_BACK);
  desktop::TypeKey(VK_BACK);
  desktop::RunUntilIdle();
  EXPECT_EQ(EditText(edit), "");
  EXPECT_EQ(contrast.Get(), 4.0);  // "4" was a number in range; "" is not
  desktop::TypeKey('9');
  desktop::RunUntilIdle();
  EXPECT_EQ(contrast.Get(), 9.0);
  EXPECT_EQ(SendMessageA(slider->Trackbar(), TBM_GETPOS, 0, 0), 9);
  desktop::TypeKey('9');
  desktop::TypeKey('9');  // 999 is out of range: the value keeps 99
  desktop::RunUntilIdle();
  EXPECT_EQ(contrast.Get(), 99.0);
  EXPECT_EQ(EditText(edit), "999");
  SetFocus(slider->Trackbar());  // leaving the field shows the value again
  EXPECT_EQ(EditText(edit), "99");
  // A change from elsewhere reaches both.
  contrast.Set(-3.5);
  EXPECT_EQ(EditText(edit), "-3.5");
  EXPECT_EQ(SendMessageA(slider->Trackbar(), TBM_GETPOS, 0, 0), -4);
}

TEST_F(ValueControlsTest, RebindingShowsTheOtherValueAndLeavesTheFirstAlone) {
  ValueSlider* slider = ValueSlider::Create(dialog_, 1016, &composite, -127, 127);
  NumericEdit* edit = NumericEdit::Create(dialog_, 1017, &composite, -127, 127);
  slider->Bind(&sdi);
  edit->Bind(&sdi);
  EXPECT_EQ(EditText(edit), "0");
  EXPECT_EQ(SendMessageA(slider->Trackbar(), TBM_GETPOS, 0, 0), 0);
  EXPECT_TRUE(composite.Dependants().empty());
  EXPECT_EQ(sdi.Dependants().size(), 2u);
  composite.Set(10);
  EXPECT_EQ(EditText(edit), "0");
  // Destroying the dialog unregisters them.
  DestroyWindow(dialog_);
  dialog_ = nullptr;
  EXPECT_TRUE(sdi.Dependants().empty());
  EXPECT_EQ(ValueSlider::Create(nullptr, 1, &sdi, 0, 1), nullptr);
}

}  // namespace
