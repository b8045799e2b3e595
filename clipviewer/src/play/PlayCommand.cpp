#include "play/PlayCommand.h"

#include "app/ClipViewer.h"
#include "play/PictureFile.h"
#include "programs/ClipPlayer.h"
#include "win32/commdlg.h"

namespace quellor::clipviewer {

void PlayCommand::Run(ClipViewer& viewer) {
  const HWND window = viewer.MainWindow();
  // The dialog needs a visible owner: the hidden window shows as one pixel,
  // on top, where it is, while the dialog is open.
  RECT place = {};
  GetWindowRect(window, &place);
  SetWindowPos(window, HWND_TOPMOST, place.left, place.top, 1, 1, SWP_SHOWWINDOW);
  int filterIndex = 1;
  const bool chosen = ChooseFile(window, filterIndex);
  ShowWindow(window, SW_HIDE);
  if (chosen) PlayChosenFile(viewer, lastPath_, filterIndex);
}

bool PlayCommand::ChooseFile(HWND owner, int& filterIndex) {
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kPlayFilters;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = lastPath_;
  dialog.nMaxFile = sizeof lastPath_;
  dialog.lpstrTitle = kPlayDialogTitle;
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&dialog)) return false;
  filterIndex = static_cast<int>(dialog.nFilterIndex);
  return true;
}

void PlayCommand::PlayChosenFile(ClipViewer& viewer, const std::string& path, int filterIndex) {
  if (filterIndex == 1) {
    StartClipPlayer(PlayClipCommandLine(path));
    return;
  }
  // A file that does not load changes nothing: the output keeps its frame.
  if (!LoadPictureFile(path, viewer.Picture())) return;
  viewer.State().clipboardChangeCount = 0;
  if (viewer.State().clipboardEnabled) viewer.RunDisplayRoutine();
}

}  // namespace quellor::clipviewer
