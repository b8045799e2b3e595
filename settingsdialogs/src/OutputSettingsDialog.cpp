#include "settingsdialogs/OutputSettingsDialog.h"

#include "settingsdialogs/DialogExtras.h"

namespace quellor::settingsdialogs {
namespace {

using namespace output_ids;

constexpr double kPhaseMinimum = -127.0;
constexpr double kPhaseMaximum = 127.0;
constexpr int kSliderTicks = 32;
constexpr int kSliderFlags = 0;
constexpr int kFilterCount = 4;
constexpr DWORD kOutputSwitchPause = 100;

void RegisterAll(settings::BoardSettings& s, HWND dialog, bool add) {
  if (add) {
    s.videoMode.AddDependant(dialog);
    s.output.AddDependant(dialog);
    s.pedestal.AddDependant(dialog);
    s.outputFilter.AddDependant(dialog);
    s.scPhase.AddDependant(dialog);
  } else {
    s.videoMode.RemoveDependant(dialog);
    s.output.RemoveDependant(dialog);
    s.pedestal.RemoveDependant(dialog);
    s.outputFilter.RemoveDependant(dialog);
    s.scPhase.RemoveDependant(dialog);
  }
}

void Check(HWND dialog, int id, bool checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

INT_PTR OutputSettingsDialog::Run(HWND owner) {
  HMODULE module = context_.module ? context_.module : OwnModule();
  WORD resource = context_.resource ? context_.resource : kOutputSettingsResource;
  win32::DialogTemplate dialog = OutputSettingsTemplate();
  if (context_.extras) context_.extras->AdjustTemplate(dialog);
  win32::RegisterDialogResource(module, MAKEINTRESOURCEA(resource), std::move(dialog));
  return DialogBoxParamA(module, MAKEINTRESOURCEA(resource), owner, Procedure,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK OutputSettingsDialog::Procedure(HWND dialog, UINT msg, WPARAM wParam,
                                                 LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<OutputSettingsDialog*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    self->Open(dialog);
    return TRUE;
  }
  auto* self = reinterpret_cast<OutputSettingsDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!self) return FALSE;
  switch (msg) {
    case widgets::kValueChanged:
      if (lParam == 0) return FALSE;  // the dialog manager's DM_SETDEFID
      self->Refresh();
      return TRUE;
    case widgets::kValueChanging:
      return lParam != 0;
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam), code = HIWORD(wParam);
      if (self->context_.extras && self->context_.extras->Command(dialog, id, code)) return TRUE;
      if (id == IDCANCEL)
        self->Close();
      else if (code == BN_CLICKED)
        self->Command(id);
      return TRUE;
    }
    case WM_CLOSE:
      self->Close();
      return TRUE;
    default:
      return FALSE;
  }
}

void OutputSettingsDialog::Open(HWND dialog) {
  dialog_ = dialog;
  RegisterAll(*context_.settings, dialog, true);
  settings::DoubleSetting* phase = &context_.settings->scPhase;
  widgets::ValueSlider::Create(dialog, kScPhaseSlider, phase, kPhaseMinimum, kPhaseMaximum,
                               kSliderTicks, kSliderFlags);
  widgets::NumericEdit::Create(dialog, kScPhaseEdit, phase, kPhaseMinimum, kPhaseMaximum);
  if (context_.extras) context_.extras->Opened(dialog);
  Refresh();
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

void OutputSettingsDialog::Command(WORD id) {
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

void OutputSettingsDialog::Close() {
  if (context_.extras) context_.extras->Closing(dialog_);
  RegisterAll(*context_.settings, dialog_, false);
  EndDialog(dialog_, IDCANCEL);
}

}  // namespace quellor::settingsdialogs
