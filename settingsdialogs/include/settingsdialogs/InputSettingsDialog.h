// The input settings dialog (resource 104, "Input Settings"): the input
// source radios and eight slider + numeric edit pairs bound to the selected
// input's picture values. Every change reaches the engine at once: a slider
// or edit sets its value, the value's change notification refreshes the
// dialog, and the refresh sends the input type and values. Nothing is written
// to the settings file here (the store writes at exit).
#pragma once

#include <array>

#include "settingsdialogs/DialogContext.h"
#include "settingsdialogs/SettingsDialog.h"
#include "widgets/ValueControls.h"

namespace quellor::settingsdialogs {

inline constexpr WORD kInputSettingsResource = 104;
inline constexpr int kInputRadioFirst = 1007;  // 1007..1010: Composite, Y/C, Component, SDI

// One picture value: its slider and edit identifiers.
struct ValueControlIds {
  int slider;
  int edit;
};
// In the order Contrast, Brightness, Saturation, Hue, U Gain, V Gain,
// U Offset, V Offset.
inline constexpr int kPictureValueCount = 8;
inline constexpr std::array<ValueControlIds, kPictureValueCount> kInputValueIds = {{{1001, 1017},
                                                                                    {1002, 1022},
                                                                                    {1003, 1023},
                                                                                    {1006, 1024},
                                                                                    {1012, 1025},
                                                                                    {1013, 1026},
                                                                                    {1011, 1027},
                                                                                    {1015, 1028}}};

// The dialog's template, before the extras adjust it.
win32::DialogTemplate InputSettingsTemplate();

class InputSettingsDialog : private SettingsDialog {
 public:
  explicit InputSettingsDialog(DialogContext context) : SettingsDialog(std::move(context)) {}

  // Shows the dialog modally over `owner`; returns when it has closed.
  INT_PTR Run(HWND owner);

  // The process-wide live-input flag (set while a dialog that sent 2068 is
  // open).
  static bool LiveInputShown();

 private:
  void Watch(bool add) override;
  void Opened() override;
  void Refresh() override;
  void Command(WORD id, WORD code) override;
  void Closed() override;
  void ChooseInput(int input);
  int SelectedInput() const;
  settings::DoubleSetting* PictureValue(int which, int input) const;

  bool setLiveInput_ = false;
  std::array<widgets::ValueSlider*, kPictureValueCount> sliders_{};
  std::array<widgets::NumericEdit*, kPictureValueCount> edits_{};
};

}  // namespace quellor::settingsdialogs
