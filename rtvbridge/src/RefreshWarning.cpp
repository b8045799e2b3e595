#include "RefreshWarning.h"

#include <cmath>
#include <cstdio>
#include <iostream>

#include "BridgeSettings.h"
#include "BridgeTexts.h"
#include "win32/resources.h"
#include "win32/automation/Modal.h"

namespace quellor::rtvbridge {
namespace {

struct SuggestedRates {
  int twice, thrice, fourTimes;
};
// frame rate x 2, x 3, x 4, each rounded by adding 0.5 and truncating.
constexpr SuggestedRates kNtscSuggestions = {60, 90, 120};
constexpr SuggestedRates kPalSuggestions = {50, 75, 100};

// The dialog's text and check box result live with the process, like the
// dialog itself.
std::string g_warningText;
bool g_checkBoxTicked = false;

void RegisterWarningDialog(HMODULE module) {
  win32::DialogTemplate dialog;
  dialog.title = kWarningCaption;
  dialog.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  dialog.cx = 260;
  dialog.cy = 92;
  dialog.items = {
      {"STATIC", "", kWarningTextId, SS_LEFT, 0, 7, 7, 246, 50},
      {"BUTTON", kDoNotShowAgain, kWarningCheckBoxId, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 7, 70, 150,
       12},
      {"BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 203, 68, 50, 14},
  };
  win32::RegisterDialogResource(module, MAKEINTRESOURCEA(kWarningDialogId), std::move(dialog));
}

INT_PTR CALLBACK WarningDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(dialog, kWarningTextId, g_warningText.c_str());
      SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        g_checkBoxTicked = IsDlgButtonChecked(dialog, kWarningCheckBoxId) == BST_CHECKED;
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

// While the dialog runs: whoever acts on modal dialogs does so; with nobody
// there the dialog is reported and closed with OK, so that an unattended
// host never hangs at load.
class UnattendedDialogAnswer {
 public:
  UnattendedDialogAnswer() {
    previous_ = desktop::SetModalIdleHook([this](HWND modal) {
      if (previous_) {
        previous_(modal);
        return;
      }
      if (!reported_) {
        std::cerr << kWarningCaption << ": " << g_warningText << "\n";
        reported_ = true;
      }
      PostMessageA(modal, WM_COMMAND, IDOK, 0);
    });
  }
  ~UnattendedDialogAnswer() { desktop::SetModalIdleHook(previous_); }
  UnattendedDialogAnswer(const UnattendedDialogAnswer&) = delete;
  UnattendedDialogAnswer& operator=(const UnattendedDialogAnswer&) = delete;

 private:
  desktop::ModalIdleHook previous_;
  bool reported_ = false;
};

int ScreenRefreshRate() {
  HDC screen = GetDC(nullptr);
  const int refresh = screen ? GetDeviceCaps(screen, VREFRESH) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return refresh;
}

}  // namespace

std::optional<std::string> RefreshWarningText(int refreshHz, const VideoGeometry& geometry) {
  if (refreshHz <= 1) return std::nullopt;
  const float q = static_cast<float>(refreshHz) / geometry.frameRate;
  if (std::fabs(q - std::floor(q)) <= 0.001f) return std::nullopt;
  const SuggestedRates& rates = geometry.ntsc != 0 ? kNtscSuggestions : kPalSuggestions;
  char text[512];
  std::snprintf(text, sizeof text, kRefreshWarningFormat, refreshHz,
                static_cast<double>(geometry.frameRate), rates.twice, rates.thrice,
                rates.fourTimes);
  return std::string(text);
}

bool ShowWarningDialog(HMODULE module, const std::string& text) {
  RegisterWarningDialog(module);
  g_warningText = text;
  g_checkBoxTicked = false;
  UnattendedDialogAnswer unattended;
  DialogBoxParamA(module, MAKEINTRESOURCEA(kWarningDialogId), nullptr, WarningDialogProc, 0);
  return g_checkBoxTicked;
}

void RunRefreshRateCheck(HMODULE module, const VideoGeometry& geometry) {
  if (ReadSetting("Refresh Rate Warning", 1) == 0) return;
  const std::optional<std::string> text = RefreshWarningText(ScreenRefreshRate(), geometry);
  if (!text) return;
  const bool ticked = ShowWarningDialog(module, *text);
  WriteSetting("Refresh Rate Warning", ticked ? 0 : 1);
}

}  // namespace quellor::rtvbridge
