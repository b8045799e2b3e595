#include "settingsdialogs/InputSettingsDialog.h"

#include <algorithm>

#include "settingsdialogs/DialogExtras.h"

namespace quellor::settingsdialogs {
namespace {

// Set while an input settings dialog that sent the live-input command is
// open; main thread only, like the dialogs.
bool liveInputShown = false;

constexpr double kValueMinimum = -127.0;
constexpr double kValueMaximum = 127.0;
// The toolkit's further slider parameters: tick spacing and style flags.
constexpr int kSliderTicks = 32;
constexpr int kSliderFlags = 0;
// Between switching the input type and the input taking it.
constexpr DWORD kInputSwitchPause = 100;

template <class Setting>
void Register(Setting& value, HWND dialog, bool add) {
  if (add)
    value.AddDependant(dialog);
  else
    value.RemoveDependant(dialog);
}

// Every value the dialog shows or sends: all per-input values of all four
// inputs, and `Input`.
void RegisterAll(settings::BoardSettings& s, HWND dialog, bool add) {
  for (int i = 0; i < settings::kInputTypeCount; ++i) {
    Register(s.hue[i], dialog, add);
    Register(s.saturation[i], dialog, add);
    Register(s.contrast[i], dialog, add);
    Register(s.brightness[i], dialog, add);
    Register(s.uOffset[i], dialog, add);
    Register(s.vOffset[i], dialog, add);
    Register(s.uGain[i], dialog, add);
    Register(s.vGain[i], dialog, add);
    Register(s.agc[i], dialog, add);
    Register(s.hypk[i], dialog, add);
  }
  Register(s.input, dialog, add);
}

}  // namespace

bool InputSettingsDialog::LiveInputShown() {
  return liveInputShown;
}

INT_PTR InputSettingsDialog::Run(HWND owner) {
  HMODULE module = context_.module ? context_.module : OwnModule();
  WORD resource = context_.resource ? context_.resource : kInputSettingsResource;
  win32::DialogTemplate dialog = InputSettingsTemplate();
  if (context_.extras) context_.extras->AdjustTemplate(dialog);
  win32::RegisterDialogResource(module, MAKEINTRESOURCEA(resource), std::move(dialog));
  return DialogBoxParamA(module, MAKEINTRESOURCEA(resource), owner, Procedure,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK InputSettingsDialog::Procedure(HWND dialog, UINT msg, WPARAM wParam,
                                                LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<InputSettingsDialog*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    self->Open(dialog);
    return TRUE;
  }
  auto* self = reinterpret_cast<InputSettingsDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!self) return FALSE;
  switch (msg) {
    case widgets::kValueChanged:
      // A value's notification carries its address; the dialog manager's
      // own message of this number carries none.
      if (lParam == 0) return FALSE;
      self->Refresh();
      return TRUE;
    case widgets::kValueChanging:
      return lParam != 0;
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam), code = HIWORD(wParam);
      if (self->context_.extras && self->context_.extras->Command(dialog, id, code)) return TRUE;
      if (id == IDCANCEL) {
        self->Close();
      } else if (id >= kInputRadioFirst && id < kInputRadioFirst + settings::kInputTypeCount &&
                 code == BN_CLICKED) {
        self->ChooseInput(id - kInputRadioFirst);
      }
      return TRUE;
    }
    case WM_CLOSE:
      self->Close();
      return TRUE;
    default:
      return FALSE;
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

void InputSettingsDialog::Open(HWND dialog) {
  dialog_ = dialog;
  const int input = SelectedInput();
  for (int i = 0; i < kPictureValueCount; ++i) {
    sliders_[i] =
        widgets::ValueSlider::Create(dialog, kInputValueIds[i].slider, PictureValue(i, input),
                                     kValueMinimum, kValueMaximum, kSliderTicks, kSliderFlags);
    edits_[i] = widgets::NumericEdit::Create(dialog, kInputValueIds[i].edit, PictureValue(i, input),
                                             kValueMinimum, kValueMaximum);
  }
  RegisterAll(*context_.settings, dialog, true);
  if (!liveInputShown && context_.showLiveInput) {
    context_.showLiveInput();
    liveInputShown = true;
    setLiveInput_ = true;
  }
  if (context_.extras) context_.extras->Opened(dialog);
  Refresh();
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

void InputSettingsDialog::Close() {
  if (context_.extras) context_.extras->Closing(dialog_);
  RegisterAll(*context_.settings, dialog_, false);
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
  EndDialog(dialog_, IDCANCEL);
}

}  // namespace quellor::settingsdialogs
