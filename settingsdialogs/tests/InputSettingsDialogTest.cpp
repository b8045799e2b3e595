// The input settings dialog as a user drives it: what reaches the engine on
// opening, on switching the input and on every slider or edit change; what
// never reaches it (out of range, not a number); and a carrier's extras.
#include <string>

#include "DialogTestSupport.h"
#include "board/BoardControl.h"
#include "board/Engine.h"
#include "settings/ControlSender.h"
#include "settings/IniSettings.h"
#include "settingsdialogs/DialogExtras.h"
#include "settingsdialogs/InputSettingsDialog.h"
#include "widgets/ValueControls.h"

namespace quellor::settingsdialogs::testing {
namespace {

using settings::ControlSide;

constexpr int kContrastEdit = 1017;
constexpr int kHueEdit = 1024;
constexpr int kVOffsetEdit = 1028;

class InputSettingsDialogTest : public DialogTest {};

TEST_F(InputSettingsDialogTest, OpeningShowsLiveInputOnceAndSendsTheSelectedInput) {
  std::string contrast, vOffset;
  bool composite = false;
  Steps({[&](HWND d) {
    contrast = EditText(d, kContrastEdit);
    vOffset = EditText(d, kVOffsetEdit);
    composite = Checked(d, kInputRadioFirst);
    EXPECT_TRUE(InputSettingsDialog::LiveInputShown());
  }});
  InputSettingsDialog(Context()).Run(nullptr);
  EXPECT_EQ(liveInputCommands, 1);
  EXPECT_FALSE(InputSettingsDialog::LiveInputShown());  // cleared at close
  EXPECT_EQ(contrast, "44");
  EXPECT_EQ(vOffset, "12");
  EXPECT_TRUE(composite);
  // The composite input type, the pedestal, then the composite values.
  ASSERT_GE(sent.size(), 17u);
  EXPECT_EQ(sent[0], (Sent{ControlSide::Input, "control.format", 0}));
  EXPECT_EQ(SentValues("control.contrast"), std::vector<int>{44});
  EXPECT_EQ(SentValues("control.hypk"), std::vector<int>{0});
  EXPECT_EQ(sent.back(), (Sent{ControlSide::Input, "control.hypk", 0}));
}

TEST_F(InputSettingsDialogTest, SwitchingToSdiRebindsEveryControlAndSendsTheSdiValues) {
  std::string contrastAfter, hueAfter;
  bool sdiChecked = false, compositeChecked = true;
  size_t sentBefore = 0;
  Steps({[&](HWND d) {
           sentBefore = sent.size();
           Click(d, kInputRadioFirst + 3);
         },
         [&](HWND d) {
           contrastAfter = EditText(d, kContrastEdit);
           hueAfter = EditText(d, kHueEdit);
           sdiChecked = Checked(d, kInputRadioFirst + 3);
           compositeChecked = Checked(d, kInputRadioFirst);
           // A slider change now lands on the SDI value, not Composite's.
           SetEditText(d, kContrastEdit, "-20");
         }});
  InputSettingsDialog(Context()).Run(nullptr);
  EXPECT_EQ(settings.input.Get(), 3);
  EXPECT_EQ(contrastAfter, "0");
  EXPECT_EQ(hueAfter, "0");
  EXPECT_TRUE(sdiChecked);
  EXPECT_FALSE(compositeChecked);
  EXPECT_EQ(settings.contrast[3].Get(), -20.0);
  EXPECT_EQ(settings.contrast[0].Get(), 44.0);
  // SDI's type goes out at once (format 1, no comb settings), then the
  // 100 ms pause, then the refresh with SDI's values.
  ASSERT_GT(sent.size(), sentBefore);
  EXPECT_EQ(sent[sentBefore], (Sent{ControlSide::Input, "control.format", 1}));
  EXPECT_EQ(sent[sentBefore + 1].name, "control.pedestal");
  EXPECT_EQ(pauses, std::vector<DWORD>{100});
  EXPECT_EQ(SentValues("control.lumacomb"), std::vector<int>{10});  // only Composite's, at opening
  EXPECT_EQ(SentValues("control.contrast"), (std::vector<int>{44, 0, -20}));
}

TEST_F(InputSettingsDialogTest, OutOfRangeAndNonNumbersReachNeitherTheEngineNorTheFile) {
  Steps({[&](HWND d) { SetEditText(d, kContrastEdit, "128"); },
         [&](HWND d) { SetEditText(d, kContrastEdit, "-200"); },
         [&](HWND d) { SetEditText(d, kContrastEdit, "abc"); },
         [&](HWND d) { SetEditText(d, kContrastEdit, "12x"); },
         [&](HWND d) { SetEditText(d, kContrastEdit, "nan"); },
         [&](HWND d) { SetEditText(d, kContrastEdit, "inf"); },
         [&](HWND d) { SetEditText(d, kHueEdit, "-127"); }});
  InputSettingsDialog(Context()).Run(nullptr);
  EXPECT_EQ(settings.contrast[0].Get(), 44.0);
  EXPECT_EQ(SentValues("control.contrast"), (std::vector<int>{44, 44}));
  EXPECT_EQ(SentValues("control.hue"), (std::vector<int>{0, -127}));
  settings::WriteBoardSettings(settings);
  const std::string file = SettingsText();
  EXPECT_NE(file.find("Contrast_Composite=44"), std::string::npos);
  EXPECT_NE(file.find("Hue_Composite=-127"), std::string::npos);
}

TEST_F(InputSettingsDialogTest, TheSliderSendsWhatItShowsAndClosingStopsListening) {
  Steps({[&](HWND d) {
    auto* slider = GetDlgItem(d, kInputValueIds[1].slider);  // Brightness
    HWND trackbar = GetWindow(slider, GW_CHILD);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, 127);
    SendMessageA(slider, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 127),
                 reinterpret_cast<LPARAM>(trackbar));
  }});
  InputSettingsDialog(Context()).Run(nullptr);
  EXPECT_EQ(settings.brightness[0].Get(), 127.0);
  EXPECT_EQ(SentValues("control.brightness").back(), 127);
  // The dialog is gone: a later change is nobody's business.
  const size_t before = sent.size();
  settings.brightness[0].Set(3);
  settings.input.Set(2);
  EXPECT_EQ(sent.size(), before);
  EXPECT_TRUE(settings.brightness[0].Dependants().empty());
  EXPECT_TRUE(settings.input.Dependants().empty());
}

TEST_F(InputSettingsDialogTest, AStoredInputOutsideTheFourTypesShowsComposite) {
  settings.input.Set(7);
  bool composite = false;
  Steps({[&](HWND d) { composite = Checked(d, kInputRadioFirst); }});
  InputSettingsDialog(Context()).Run(nullptr);
  EXPECT_TRUE(composite);
  EXPECT_EQ(SentValues("control.contrast"), std::vector<int>{44});
}

TEST_F(InputSettingsDialogTest, ACarrierWithoutLiveInputSendsNoSwitcherCommand) {
  DialogContext context = Context();
  context.showLiveInput = nullptr;
  InputSettingsDialog(std::move(context)).Run(nullptr);
  EXPECT_EQ(liveInputCommands, 0);
}

// Extras: an added check box, its command, and the open/close calls.
class RecordingBox : public DialogExtras {
 public:
  void AdjustTemplate(win32::DialogTemplate& dialog) override {
    dialog.cy += 30;
    dialog.items.push_back(
        win32::DialogItemTemplate{"BUTTON", "Stop recording if frames are dropped", 1004,
                                  BS_AUTOCHECKBOX | WS_VISIBLE | WS_TABSTOP, 0, 15, 240, 200, 10});
  }
  void Opened(HWND dialog) override { CheckDlgButton(dialog, 1004, BST_CHECKED); }
  bool Command(HWND, WORD id, WORD) override {
    if (id != 1004) return false;
    ++clicks;
    return true;
  }
  void Closing(HWND dialog) override { checkedAtClose = IsDlgButtonChecked(dialog, 1004); }
  int clicks = 0;
  UINT checkedAtClose = 99;
};

TEST_F(InputSettingsDialogTest, ExtrasAddControlsAndSeeTheirCommandsFirst) {
  RecordingBox extras;
  DialogContext context = Context();
  context.extras = &extras;
  context.resource = 101;
  Steps({[&](HWND d) { Click(d, 1004); }});
  InputSettingsDialog(std::move(context)).Run(nullptr);
  EXPECT_EQ(extras.clicks, 1);
  EXPECT_EQ(extras.checkedAtClose, UINT(BST_UNCHECKED));
}

// The engine's own sender: another process reading the board's controls
// sees the change at once.
TEST_F(InputSettingsDialogTest, ChangesReachTheBoardsControls) {
  DWORD client = RTME_OpenSwitcherClient("settingsdialogs.test");
  ASSERT_NE(client, 0u);
  DialogContext context = Context();
  context.send = settings::EngineControlSender(client);
  Steps({[&](HWND d) { SetEditText(d, kContrastEdit, "-55"); }});
  InputSettingsDialog(std::move(context)).Run(nullptr);
  int contrast = 0;
  for (const board::ControlEntry& c : board::ListControls())
    if (c.side == "input" && c.name == "control.contrast") contrast = c.value;
  EXPECT_EQ(contrast, -55);
  RTME_CloseSwitcherClient(client);
}

}  // namespace
}  // namespace quellor::settingsdialogs::testing
