#include "settings/BoardSettings.h"

#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "settings/IniSettings.h"

namespace quellor::settings {
namespace {

using testing::ControlRecorder;
using testing::RecordedControl;
using testing::SettingsFileLines;
using testing::UseFreshWindowsDirectory;

constexpr auto kIn = ControlSide::Input;
constexpr auto kOut = ControlSide::Output;

// The settings file after the first start, written out key by key: the
// output keys, Input, then the per-input keys in the order they are read.
const std::vector<std::string> kDefaultFileAfterStartup = {
    "[VideoQuellor Configuration]",
    "Output=0",
    "VideoMode=1",
    "Pedestal=1",
    "OutputFilter=2",
    "SCPhase=0",
    "Input=0",
    "HYPK_Composite=0",
    "HYPK_YC=1",
    "HYPK_Component=1",
    "HYPK_SDI=2",
    "Hue_Composite=0",
    "Hue_YC=1",
    "Hue_Component=0",
    "Hue_SDI=0",
    "Saturation_Composite=-4",
    "Saturation_YC=-7",
    "Saturation_Component=90",
    "Saturation_SDI=0",
    "Contrast_Composite=44",
    "Contrast_YC=27",
    "Contrast_Component=28",
    "Contrast_SDI=0",
    "Brightness_Composite=24",
    "Brightness_YC=21",
    "Brightness_Component=23",
    "Brightness_SDI=0",
    "UGain_Composite=-1",
    "UGain_YC=3",
    "UGain_Component=17",
    "UGain_SDI=0",
    "VGain_Composite=3",
    "VGain_YC=3",
    "VGain_Component=52",
    "VGain_SDI=0",
    "AGC_Composite=0",
    "AGC_YC=0",
    "AGC_Component=0",
    "AGC_SDI=0",
    "UOffset_Composite=13",
    "UOffset_YC=14",
    "UOffset_Component=-38",
    "UOffset_SDI=0",
    "VOffset_Composite=12",
    "VOffset_YC=10",
    "VOffset_Component=3",
    "VOffset_SDI=0",
};

TEST(BoardSettings, FirstStartCreatesTheFileWithEveryKeyReadAtItsDefault) {
  const std::string path = UseFreshWindowsDirectory();
  BoardSettings settings;
  ControlRecorder recorder;
  ReadAndSendBoardSettings(settings, recorder.Sender(), [](DWORD) {});
  EXPECT_EQ(SettingsFileLines(path), kDefaultFileAfterStartup);
}

TEST(BoardSettings, StartupSendsEveryControlInTableOrderAroundOnePause) {
  UseFreshWindowsDirectory();
  BoardSettings settings;
  ControlRecorder recorder;
  size_t callsBeforePause = 0;
  std::vector<DWORD> pauses;
  ReadAndSendBoardSettings(settings, recorder.Sender(), [&](DWORD ms) {
    pauses.push_back(ms);
    callsBeforePause = recorder.calls.size();
  });
  const std::vector<RecordedControl> expected = {
      {kOut, "control.format", 5, 1},     {kOut, "control.filter", 5, 2},
      {kOut, "control.pedestal", 5, 1},   {kOut, "control.scphase", 5, 0},
      {kIn, "control.pedestal", 5, 1},    {kIn, "control.format", 5, 0},
      {kIn, "control.lumacomb", 5, 10},   {kIn, "control.chromacomb", 5, 8},
      {kIn, "control.ctrap", 5, 0},       {kIn, "control.tstcgn", 5, 0},
      {kOut, "control.pedestal", 5, 1},   {kIn, "control.pedestal", 5, 1},
      {kIn, "control.contrast", 4, 44},   {kIn, "control.brightness", 4, 24},
      {kIn, "control.saturation", 4, -4}, {kIn, "control.hue", 4, 0},
      {kIn, "control.ugain", 4, -1},      {kIn, "control.vgain", 4, 3},
      {kIn, "control.uoffset", 4, 13},    {kIn, "control.voffset", 4, 12},
      {kIn, "control.agc", 4, 0},         {kIn, "control.hypk", 4, 0}};
  EXPECT_EQ(recorder.calls, expected);
  EXPECT_EQ(pauses, std::vector<DWORD>{100});
  EXPECT_EQ(callsBeforePause, 12u);  // the pause sits between type and values
}

TEST(BoardSettings, StoredValuesDriveTheOutputSends) {
  UseFreshWindowsDirectory();
  WriteIniInt("Output", 1);  // Y/C output: format 0
  WriteIniInt("Pedestal", 7);
  WriteIniInt("SCPhase", -45);
  BoardSettings settings;
  ReadOutputSettings(settings);
  ControlRecorder recorder;
  SendOutputSettings(settings, recorder.Sender());
  ASSERT_EQ(recorder.calls.size(), 5u);
  EXPECT_EQ(recorder.calls[0].value, 0);
  EXPECT_EQ(recorder.calls[2].value, 1);  // any non-zero pedestal is on
  EXPECT_EQ(recorder.calls[3].value, -45);
  EXPECT_EQ(recorder.calls[4].value, 1);
}

TEST(BoardSettings, EachInputTypeSendsItsRow) {
  const std::vector<RecordedControl> yc = {
      {kIn, "control.format", 5, 10},     {kIn, "control.lumacomb", 5, 11},
      {kIn, "control.chromacomb", 5, 12}, {kIn, "control.ctrap", 5, 0},
      {kIn, "control.tstcgn", 5, 0},      {kOut, "control.pedestal", 5, 0},
      {kIn, "control.pedestal", 5, 0}};
  ControlRecorder recorder;
  SendInputType(kInputYC, 0, recorder.Sender());
  EXPECT_EQ(recorder.calls, yc);

  recorder.calls.clear();
  SendInputType(kInputComponent, 1, recorder.Sender());
  ASSERT_EQ(recorder.calls.size(), 7u);
  EXPECT_EQ(recorder.calls[0].value, 15);
  EXPECT_EQ(recorder.calls[4].value, 1);  // test generator on for component
}

TEST(BoardSettings, SdiSendsOnlyFormatAndPedestal) {
  ControlRecorder recorder;
  SendInputType(kInputSDI, 1, recorder.Sender());
  const std::vector<RecordedControl> expected = {{kIn, "control.format", 5, 1},
                                                 {kOut, "control.pedestal", 5, 1},
                                                 {kIn, "control.pedestal", 5, 1}};
  EXPECT_EQ(recorder.calls, expected);
}

TEST(BoardSettings, UnknownInputNumberTouchesNoTableRow) {
  BoardSettings settings;
  ControlRecorder recorder;
  SendInputType(7, 1, recorder.Sender());
  SendInputType(-1, 1, recorder.Sender());
  SendInputValues(settings, 4, recorder.Sender());
  ASSERT_EQ(recorder.calls.size(), 4u);  // the pedestal pair, twice
  for (const auto& call : recorder.calls) EXPECT_EQ(call.name, "control.pedestal");
}

TEST(BoardSettings, DoublesAreTruncatedWhenSentAndStored) {
  const std::string path = UseFreshWindowsDirectory();
  BoardSettings settings;
  settings.saturation[kInputComponent].Set(90.7);
  settings.hue[kInputComponent].Set(-3.9);
  ControlRecorder recorder;
  SendInputValues(settings, kInputComponent, recorder.Sender());
  ASSERT_EQ(recorder.calls.size(), 10u);
  EXPECT_EQ(recorder.calls[2], (RecordedControl{kIn, "control.saturation", 4, 90}));
  EXPECT_EQ(recorder.calls[3], (RecordedControl{kIn, "control.hue", 4, -3}));
  EXPECT_EQ(recorder.calls[9], (RecordedControl{kIn, "control.hypk", 4, 1}));

  WriteBoardSettings(settings);
  EXPECT_EQ(ReadIniInt("Saturation_Component", 0), 90);
  EXPECT_EQ(ReadIniInt("Hue_Component", 0), -3);
}

TEST(BoardSettings, ExitWriteKeepsEveryValueForTheNextStart) {
  UseFreshWindowsDirectory();
  {
    BoardSettings settings;
    settings.input.Set(kInputSDI);
    settings.videoMode.Set(0);
    settings.agc[kInputSDI].Set(5.5);
    settings.hypk[kInputYC].Set(3);
    WriteBoardSettings(settings);
  }
  BoardSettings next;
  ReadOutputSettings(next);
  ReadInputSettings(next);
  EXPECT_EQ(next.input.Get(), kInputSDI);
  EXPECT_EQ(next.videoMode.Get(), 0);
  EXPECT_EQ(next.agc[kInputSDI].Get(), 5.0);
  EXPECT_EQ(next.hypk[kInputYC].Get(), 3);
  EXPECT_EQ(next.vOffset[kInputComposite].Get(), 12.0);
}

}  // namespace
}  // namespace quellor::settings
