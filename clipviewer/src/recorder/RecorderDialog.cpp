#include "recorder/RecorderDialog.h"

#include <cstdio>
#include <cstring>

#include "app/ClipViewer.h"
#include "app/ViewerError.h"
#include "app/ViewerTexts.h"
#include "settings/IniSettings.h"
#include "programs/ClipPlayer.h"
#include "recorder/Drives.h"
#include "recorder/FileCommands.h"
#include "recorder/FileList.h"
#include "recorder/RecorderTemplate.h"
#include "recorder/RecorderTexts.h"
#include "win32/quellor_host.h"

namespace quellor::clipviewer::recorder {
namespace {

RecorderDialog* openDialog = nullptr;

constexpr unsigned kNtscFrameLines = 480;
constexpr unsigned kPalFrameLines = 576;

std::string ComboText(HWND combo, LRESULT index) {
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, WPARAM(index), 0);
  if (length <= 0) return {};
  std::string text(size_t(length) + 1, '\0');
  SendMessageA(combo, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::strlen(text.c_str()));
  return text;
}

}  // namespace

RecorderDialog* RecorderDialog::Open() {
  return openDialog;
}

void RecorderDialog::Run() {
  HMODULE module = win32::ModuleFromAddress(reinterpret_cast<const void*>(&RecorderTemplate));
  win32::RegisterDialogResource(module, MAKEINTRESOURCEA(kRecorderResource), RecorderTemplate());
  const BYTE noParameters[16] = {};
  RTME_SwitcherCommand(viewer_.SwitcherClient(), kRtmeCommandShowLiveInput, noParameters);
  RecorderDialog* outer = openDialog;
  openDialog = this;
  DialogBoxParamA(module, MAKEINTRESOURCEA(kRecorderResource), viewer_.MainWindow(), Procedure,
                  reinterpret_cast<LPARAM>(this));
  openDialog = outer;
  // A recording the dialog could not stop itself (it was destroyed from
  // outside) ends here.
  recorder_.reset();
  if (raised_) Raise(*raised_);
}

INT_PTR CALLBACK RecorderDialog::Procedure(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  auto* self = reinterpret_cast<RecorderDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  // Raised errors leave through Run, after the dialog has ended: they must
  // not unwind through the window system.
  try {
    switch (msg) {
      case WM_INITDIALOG:
        self->Initialise(dialog);
        return TRUE;
      case WM_COMMAND:
        self->Command(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
      case kFramesWrittenMessage:
        self->ShowFramesWritten();
        return FALSE;  // the dialog manager's message of this number goes on
      case WM_CLOSE:
        self->Close();
        return TRUE;
      default:
        return FALSE;
    }
  } catch (const ViewerError& error) {
    self->raised_ = error.text;
  } catch (...) {
    self->raised_ = kUnknownError;
  }
  self->recorder_.reset();
  EndDialog(dialog, IDCANCEL);
  return TRUE;
}

void RecorderDialog::Initialise(HWND dialog) {
  dialog_ = dialog;
  FillFileList(dialog);
  EnableRecordControls(true);
  HWND combo = GetDlgItem(dialog, kIdDrive);
  for (const std::string& drive : RecordingDrives())
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive.c_str()));
  SendMessageA(combo, CB_SETCURSEL, WPARAM(settings::ReadIniInt(kDiskSettingKey, 0)), 0);
}

void RecorderDialog::Command(WORD id, WORD code) {
  switch (id) {
    case kIdRecord:
      Record();
      break;
    case kIdStop:
      Stop();
      break;
    case kIdSettings:
      viewer_.ShowDialog(ViewerDialog::InputSettings, viewer_.Hooks().inputSettingsDialog);
      break;
    case kIdClose:
    case IDCANCEL:
      Close();
      break;
    case kIdInsertItem:
      InsertItem(dialog_);
      break;
    case kIdDeleteItem:
      DeleteItem(dialog_);
      break;
    case kIdMoveFile:
      MoveSelectedFile(dialog_);
      break;
    case kIdDeleteFile:
      DeleteSelectedFile(dialog_);
      break;
    case kIdFileList:
      if (code == LBN_DBLCLK) PlaySelectedFile(dialog_);
      break;
    default:
      break;
  }
}

void RecorderDialog::Record() {
  if (recorder_) return;  // the button is disabled; a posted command is not
  StartClipPlayer(kReleaseClipCommandLine);
  const unsigned frameLines =
      settings::ReadIniInt("VideoMode", 1) == 1 ? kNtscFrameLines : kPalFrameLines;
  HWND combo = GetDlgItem(dialog_, kIdDrive);
  const LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  const std::string drive = selected == CB_ERR ? std::string() : ComboText(combo, selected);
  const std::string path = NextRecordingPath(drive);
  if (path.empty()) {
    MessageBoxA(dialog_, kUnableToOpen, kErrorRecordingTitle, MB_OK | MB_ICONERROR);
    return;
  }
  recorder_ =
      std::make_unique<Recorder>(RecorderSetup{dialog_, viewer_.SwitcherClient(), frameLines});
  // A clip that cannot be made (the drive's folder gone, a read-only root)
  // ends this recording only, with the writer's reason.
  std::string error;
  if (!recorder_->Start(path, error)) {
    recorder_.reset();
    MessageBoxA(dialog_, error.c_str(), kErrorRecordingTitle, MB_OK | MB_ICONERROR);
    return;
  }
  EnableRecordControls(false);
  ShowFramesWritten();
}

void RecorderDialog::Stop() {
  if (!recorder_) {
    StartClipPlayer(kReleaseClipCommandLine);
    return;
  }
  recorder_->StopCapture();
  // The frames captured so far reach the clip before the count is read, so
  // that a write failing now is reported too.
  recorder_->Finish();
  const unsigned drops = recorder_->Drops();
  const std::string path = recorder_->Path();
  recorder_.reset();
  if (drops != 0) MessageBoxA(dialog_, kFramesDropped, kRecordingErrorTitle, MB_OK | MB_ICONERROR);
  EnableRecordControls(true);
  FileList::Process().PutFirst(path);
  FillFileList(dialog_);
  ShowFramesWritten();
}

void RecorderDialog::Close() {
  if (recorder_) Stop();
  const LRESULT selected = SendMessageA(GetDlgItem(dialog_, kIdDrive), CB_GETCURSEL, 0, 0);
  settings::WriteIniInt(kDiskSettingKey, static_cast<int>(selected));
  EndDialog(dialog_, IDOK);
}

void RecorderDialog::ShowFramesWritten() {
  if (recorder_) {
    char text[32];
    std::snprintf(text, sizeof text, kFramesFormat, static_cast<int>(recorder_->FramesWritten()));
    SetDlgItemTextA(dialog_, kIdRecord, text);
  } else {
    SetDlgItemTextA(dialog_, kIdRecord, kRecordText);
  }
}

void RecorderDialog::EnableRecordControls(bool enable) {
  EnableWindow(GetDlgItem(dialog_, kIdRecord), enable);
  EnableWindow(GetDlgItem(dialog_, kIdSettings), enable);
}

}  // namespace quellor::clipviewer::recorder
