// The output settings dialog (resource 105, "Output Settings"): output
// source, output format, pedestal, SC phase and the output filter. Changes
// are sent to the engine at once; the opener writes the output keys to the
// settings file after the dialog has closed (WriteOutputSettings).
#pragma once

#include "settingsdialogs/DialogContext.h"
#include "settingsdialogs/SettingsDialog.h"
#include "widgets/ValueControls.h"

namespace quellor::settingsdialogs {

inline constexpr WORD kOutputSettingsResource = 105;

namespace output_ids {
inline constexpr int kComponent = 1012;
inline constexpr int kYC = 1013;
inline constexpr int kPreviewOfOutput = 1005;  // no action
inline constexpr int kNtsc = 1007;
inline constexpr int kPal = 1008;
inline constexpr int kRemovePedestal = 1004;
inline constexpr int kScPhaseSlider = 1016;
inline constexpr int kScPhaseEdit = 1017;
inline constexpr int kFilterFirst = 1018;  // 1018..1021: filter 0..3
}  // namespace output_ids

win32::DialogTemplate OutputSettingsTemplate();

class OutputSettingsDialog : private SettingsDialog {
 public:
  explicit OutputSettingsDialog(DialogContext context) : SettingsDialog(std::move(context)) {}

  // Shows the dialog modally over `owner`; returns when it has closed.
  INT_PTR Run(HWND owner);

 private:
  void Watch(bool add) override;
  void Opened() override;
  void Refresh() override;
  void Command(WORD id, WORD code) override;
  void ChooseOutput(int output);
};

}  // namespace quellor::settingsdialogs
