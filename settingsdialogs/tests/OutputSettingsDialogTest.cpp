// The output settings dialog as a user drives it: the check marks follow
// the values, each choice sends what the encoder needs at once, the filter
// buttons act as one group, and the SC phase edit refuses what is out of
// range.
#include "DialogTestSupport.h"
#include "settingsdialogs/DialogExtras.h"
#include "settingsdialogs/OutputSettingsDialog.h"

namespace quellor::settingsdialogs::testing {
namespace {

using namespace output_ids;
using settings::ControlSide;

class OutputSettingsDialogTest : public DialogTest {};

TEST_F(OutputSettingsDialogTest, OpeningSetsTheMarksFromTheValuesAndSendsTheOutput) {
  bool ntsc = false, pal = true, component = false, yc = true, noPedestal = true;
  int filtersChecked = 0;
  bool filter2 = false;
  Steps({[&](HWND d) {
    ntsc = Checked(d, kNtsc);
    pal = Checked(d, kPal);
    component = Checked(d, kComponent);
    yc = Checked(d, kYC);
    noPedestal = Checked(d, kRemovePedestal);
    for (int n = 0; n < 4; ++n) filtersChecked += Checked(d, kFilterFirst + n);
    filter2 = Checked(d, kFilterFirst + 2);
  }});
  OutputSettingsDialog(Context()).Run(nullptr);
  EXPECT_TRUE(ntsc);
  EXPECT_FALSE(pal);
  EXPECT_TRUE(component);
  EXPECT_FALSE(yc);
  EXPECT_FALSE(noPedestal);
  EXPECT_EQ(filtersChecked, 1);
  EXPECT_TRUE(filter2);
  EXPECT_EQ(sent, (std::vector<Sent>{{ControlSide::Output, "control.format", 1},
                                     {ControlSide::Output, "control.filter", 2},
                                     {ControlSide::Output, "control.pedestal", 1},
                                     {ControlSide::Output, "control.scphase", 0},
                                     {ControlSide::Input, "control.pedestal", 1}}));
  EXPECT_EQ(liveInputCommands, 0);
}

TEST_F(OutputSettingsDialogTest, YcSendsTheFormatFirstThenPausesThenTakesTheValue) {
  bool yc = false;
  Steps({[&](HWND d) {
           sent.clear();
           Click(d, kYC);
         },
         [&](HWND d) { yc = Checked(d, kYC) && !Checked(d, kComponent); }});
  OutputSettingsDialog(Context()).Run(nullptr);
  EXPECT_EQ(settings.output.Get(), 1);
  EXPECT_TRUE(yc);
  EXPECT_EQ(pauses, std::vector<DWORD>{100});
  ASSERT_GE(sent.size(), 4u);
  EXPECT_EQ(sent[0], (Sent{ControlSide::Output, "control.format", 0}));
  EXPECT_EQ(sent[1], (Sent{ControlSide::Output, "control.filter", 2}));
  EXPECT_EQ(sent[2], (Sent{ControlSide::Output, "control.pedestal", 1}));
  EXPECT_EQ(sent[3], (Sent{ControlSide::Input, "control.pedestal", 1}));
}

TEST_F(OutputSettingsDialogTest, PalPedestalAndFilterChangeTheirValues) {
  bool pal = false, noPedestal = false, filter0 = false, filter2 = true;
  Steps({[&](HWND d) { Click(d, kPal); }, [&](HWND d) { Click(d, kRemovePedestal); },
         [&](HWND d) { Click(d, kFilterFirst); },
         [&](HWND d) {
           pal = Checked(d, kPal) && !Checked(d, kNtsc);
           noPedestal = Checked(d, kRemovePedestal);
           filter0 = Checked(d, kFilterFirst);
           filter2 = Checked(d, kFilterFirst + 2);
         }});
  OutputSettingsDialog(Context()).Run(nullptr);
  EXPECT_EQ(settings.videoMode.Get(), 0);
  EXPECT_EQ(settings.pedestal.Get(), 0);
  EXPECT_EQ(settings.outputFilter.Get(), 0);
  EXPECT_TRUE(pal);
  EXPECT_TRUE(noPedestal);
  EXPECT_TRUE(filter0);
  EXPECT_FALSE(filter2);
  EXPECT_EQ(SentValues("control.pedestal").back(), 0);
  EXPECT_EQ(SentValues("control.filter").back(), 0);
}

TEST_F(OutputSettingsDialogTest, TheCheckedFilterAndTheCheckedFormatSendNothingNew) {
  size_t before = 0;
  bool stillChecked = false;
  Steps({[&](HWND d) {
           before = sent.size();
           Click(d, kFilterFirst + 2);
           Click(d, kNtsc);
         },
         [&](HWND d) { stillChecked = Checked(d, kFilterFirst + 2); }});
  OutputSettingsDialog(Context()).Run(nullptr);
  EXPECT_EQ(sent.size(), before);
  EXPECT_TRUE(stillChecked);
}

TEST_F(OutputSettingsDialogTest, ScPhaseTakesNumbersInRangeOnly) {
  Steps({[&](HWND d) { SetEditText(d, kScPhaseEdit, "300"); },
         [&](HWND d) { SetEditText(d, kScPhaseEdit, "x1"); },
         [&](HWND d) { SetEditText(d, kScPhaseEdit, "-12.7"); }});
  OutputSettingsDialog(Context()).Run(nullptr);
  EXPECT_EQ(settings.scPhase.Get(), -12.7);
  EXPECT_EQ(SentValues("control.scphase"), (std::vector<int>{0, -12}));
  settings::WriteOutputSettings(settings);
  EXPECT_NE(SettingsText().find("SCPhase=-12"), std::string::npos);
}

// The editor plug-in's output dialog gives 1005 another meaning.
class ForceNoDrop : public DialogExtras {
 public:
  void AdjustTemplate(win32::DialogTemplate& dialog) override {
    for (auto& item : dialog.items)
      if (item.id == kPreviewOfOutput) item.text = "Force no frames to be dropped on playback";
  }
  bool Command(HWND, WORD id, WORD) override { return id == kPreviewOfOutput && ++clicks; }
  int clicks = 0;
};

TEST_F(OutputSettingsDialogTest, ExtrasMayGiveAControlAnotherMeaning) {
  ForceNoDrop extras;
  DialogContext context = Context();
  context.extras = &extras;
  context.resource = 102;
  std::string text;
  Steps({[&](HWND d) {
    char buffer[80] = "";
    GetDlgItemTextA(d, kPreviewOfOutput, buffer, sizeof buffer);
    text = buffer;
    Click(d, kPreviewOfOutput);
  }});
  OutputSettingsDialog(std::move(context)).Run(nullptr);
  EXPECT_EQ(text, "Force no frames to be dropped on playback");
  EXPECT_EQ(extras.clicks, 1);
}

}  // namespace
}  // namespace quellor::settingsdialogs::testing
