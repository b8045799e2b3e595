#include "settingsdialogs/InputSettingsDialog.h"

#include "settingsdialogs/DialogExtras.h"

namespace quellor::settingsdialogs {
namespace {

// Set while an input settings dialog that sent the live-input command is
// open; main thread only, like the dialogs.
bool liveInputShown = false;

// Between switching the input type and the input taking it.
constexpr DWORD kInputSwitchPause = 100;

}  // namespace

bool InputSettingsDialog::LiveInputShown() {
  return liveInputShown;
}

INT_PTR InputSettingsDialog::Run(HWND owner) {
  return Show(owner, kInputSettingsResource, InputSettingsTemplate());
}

// Every value the dialog shows or sends: all per-input values of all four
// inputs, and `Input`.
void InputSettingsDialog::Watch(bool add) {
  settings::BoardSettings& s = *context_.settings;
  for (int i = 0; i < settings::kInputTypeCount; ++i) {
    WatchValue(s.hue[i], add);
    WatchValue(s.saturation[i], add);
    WatchValue(s.contrast[i], add);
    WatchValue(s.brightness[i], add);
    WatchValue(s.uOffset[i], add);
    WatchValue(s.vOffset[i], add);
    WatchValue(s.uGain[i], add);
    WatchValue(s.vGain[i], add);
    WatchValue(s.agc[i], add);
    WatchValue(s.hypk[i], add);
  }
  WatchValue(s.input, add);
}

void InputSettingsDialog::Command(WORD id, WORD code) {
  if (id >= kInputRadioFirst && id < kInputRadioFirst + settings::kInputTypeCount &&
      code == BN_CLICKED) {
    ChooseInput(id - kInputRadioFirst);
  }
}

int InputSettingsDialog::SelectedInput() const {
  // A stored input number outside the four types shows Composite.
  const int input = context_.settings->input.Get();
  return input >= 0 && input < settings::kInputTypeCount ? input : settings::kInputComposite;
}

settings::DoubleSetting* InputSettingsDialog::PictureValue(int which, int input) const {
  settings::BoardSettings& s = *context_.settings;
  settings::DoubleSetting* rows[kPictureValueCount] = {
      &s.contrast[input], &s.brightness[input], &s.saturation[input], &s.hue[input],
      &s.uGain[input],    &s.vGain[input],      &s.uOffset[input],    &s.vOffset[input]};
  return rows[which];
}

void InputSettingsDialog::Opened() {
  HWND dialog = dialog_;
  const int input = SelectedInput();
  for (int i = 0; i < kPictureValueCount; ++i) {
    sliders_[i] =
        widgets::ValueSlider::Create(dialog, kInputValueIds[i].slider, PictureValue(i, input),
                                     kValueMinimum, kValueMaximum, kSliderTicks, kSliderFlags);
    edits_[i] = widgets::NumericEdit::Create(dialog, kInputValueIds[i].edit, PictureValue(i, input),
                                             kValueMinimum, kValueMaximum);
  }
  Watch(true);
  if (!liveInputShown && context_.showLiveInput) {
    context_.showLiveInput();
    liveInputShown = true;
    setLiveInput_ = true;
  }
}

void InputSettingsDialog::Refresh() {
  const settings::BoardSettings& s = *context_.settings;
  const int input = SelectedInput();
  settings::SendInputType(input, s.pedestal.Get(), context_.send);
  for (int i = 0; i < kPictureValueCount; ++i) {
    if (sliders_[i]) sliders_[i]->Bind(PictureValue(i, input));
    if (edits_[i]) {
      edits_[i]->Bind(PictureValue(i, input));
      edits_[i]->Redraw();
    }
  }
  settings::SendInputValues(s, input, context_.send);
  CheckRadioButton(dialog_, kInputRadioFirst, kInputRadioFirst + settings::kInputTypeCount - 1,
                   kInputRadioFirst + input);
}

// The board takes the new input type first; the dialog follows once the
// decoder has settled, through `Input`'s notification.
void InputSettingsDialog::ChooseInput(int input) {
  settings::SendInputType(input, context_.settings->pedestal.Get(), context_.send);
  PauseFor(context_, kInputSwitchPause);
  context_.settings->input.Set(input);
}

void InputSettingsDialog::Closed() {
  // The controls go with the dialog; unbind them now so no value reaches
  // them in between.
  for (int i = 0; i < kPictureValueCount; ++i) {
    if (sliders_[i]) sliders_[i]->Bind(nullptr);
    if (edits_[i]) edits_[i]->Bind(nullptr);
  }
  if (setLiveInput_) {
    liveInputShown = false;
    setLiveInput_ = false;
  }
}

}  // namespace quellor::settingsdialogs
