#include "settingsdialogs/OutputSettingsDialog.h"

#include "settingsdialogs/DialogExtras.h"

namespace quellor::settingsdialogs {
namespace {

using namespace output_ids;

constexpr int kFilterCount = 4;
constexpr DWORD kOutputSwitchPause = 100;

void Check(HWND dialog, int id, bool checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

INT_PTR OutputSettingsDialog::Run(HWND owner) {
  return Show(owner, kOutputSettingsResource, OutputSettingsTemplate());
}

void OutputSettingsDialog::Watch(bool add) {
  settings::BoardSettings& s = *context_.settings;
  WatchValue(s.videoMode, add);
  WatchValue(s.output, add);
  WatchValue(s.pedestal, add);
  WatchValue(s.outputFilter, add);
  WatchValue(s.scPhase, add);
}

void OutputSettingsDialog::Opened() {
  Watch(true);
  settings::DoubleSetting* phase = &context_.settings->scPhase;
  widgets::ValueSlider::Create(dialog_, kScPhaseSlider, phase, kValueMinimum, kValueMaximum,
                               kSliderTicks, kSliderFlags);
  widgets::NumericEdit::Create(dialog_, kScPhaseEdit, phase, kValueMinimum, kValueMaximum);
}

void OutputSettingsDialog::Refresh() {
  const settings::BoardSettings& s = *context_.settings;
  const int mode = s.videoMode.Get(), output = s.output.Get(), filter = s.outputFilter.Get();
  Check(dialog_, kNtsc, mode == 1);
  Check(dialog_, kPal, mode == 0);
  Check(dialog_, kComponent, output == 0);
  Check(dialog_, kYC, output == 1);
  Check(dialog_, kRemovePedestal, s.pedestal.Get() == 0);
  settings::SendOutputSettings(s, context_.send);
  for (int n = 0; n < kFilterCount; ++n) Check(dialog_, kFilterFirst + n, filter == n);
}

// The encoder switches first; the dialog follows through `Output`'s
// notification once it has settled.
void OutputSettingsDialog::ChooseOutput(int output) {
  const settings::BoardSettings& s = *context_.settings;
  const int pedestal = s.pedestal.Get() != 0 ? 1 : 0;
  using settings::ControlSide;
  context_.send(ControlSide::Output, "control.format", settings::kControlTypeSetting,
                output == 0 ? 1 : 0);
  context_.send(ControlSide::Output, "control.filter", settings::kControlTypeSetting,
                s.outputFilter.Get());
  context_.send(ControlSide::Output, "control.pedestal", settings::kControlTypeSetting, pedestal);
  context_.send(ControlSide::Input, "control.pedestal", settings::kControlTypeSetting, pedestal);
  PauseFor(context_, kOutputSwitchPause);
  context_.settings->output.Set(output);
}

void OutputSettingsDialog::Command(WORD id, WORD code) {
  if (code != BN_CLICKED) return;
  settings::BoardSettings& s = *context_.settings;
  switch (id) {
    case kComponent:
      ChooseOutput(0);
      break;
    case kYC:
      ChooseOutput(1);
      break;
    // No engine call: the viewer makes its output again after the dialog,
    // other programs read the mode at their next start.
    case kNtsc:
      s.videoMode.Set(1);
      break;
    case kPal:
      s.videoMode.Set(0);
      break;
    case kRemovePedestal:
      s.pedestal.Set(s.pedestal.Get() == 0 ? 1 : 0);
      break;
    default:
      // The buttons do not check themselves: the refresh checks the one in
      // force, so clicking it again changes and sends nothing.
      if (id >= kFilterFirst && id < kFilterFirst + kFilterCount)
        s.outputFilter.Set(id - kFilterFirst);
      break;
  }
}

}  // namespace quellor::settingsdialogs
