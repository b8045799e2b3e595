#include "recorder/FileCommands.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "programs/ClipPlayer.h"
#include "recorder/FileList.h"
#include "recorder/RecorderTexts.h"
#include "win32/commdlg.h"

namespace quellor::clipviewer::recorder {
namespace {

constexpr char kFilters[] = "RTV File Sequence (*.rtv)\0*.rtv\0All Files (*.*)\0*.*\0";

// Insert Item keeps its path for the process: the next open starts there.
char insertPath[MAX_PATH] = "";

void ShowError(HWND dialog, const char* text, const char* title) {
  MessageBoxA(dialog, text, title, MB_OK | MB_ICONERROR);
}

}  // namespace

void FillFileList(HWND dialog) {
  HWND list = GetDlgItem(dialog, kIdFileList);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& path : FileList::Process().Entries())
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
}

std::string SelectedFile(HWND dialog) {
  HWND list = GetDlgItem(dialog, kIdFileList);
  const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return {};
  const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, WPARAM(index), 0);
  if (length <= 0) return {};
  std::vector<char> text(size_t(length) + 1, '\0');
  SendMessageA(list, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

std::string WithClipExtension(const std::string& path) {
  std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : path;
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return tail == ".rtv" ? path : path + ".rtv";
}

void InsertItem(HWND dialog) {
  OPENFILENAMEA open = {};
  open.lStructSize = sizeof open;
  open.hwndOwner = dialog;
  open.lpstrFilter = kFilters;
  open.nFilterIndex = 1;
  open.lpstrFile = insertPath;
  open.nMaxFile = sizeof insertPath;
  open.lpstrTitle = kInsertTitle;
  open.Flags = OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&open) || insertPath[0] == '\0') return;
  FileList::Process().PutFirst(insertPath);
  FillFileList(dialog);
}

void DeleteItem(HWND dialog) {
  const std::string selected = SelectedFile(dialog);
  if (selected.empty()) return;
  FileList::Process().RemoveAll(selected);
  FillFileList(dialog);
}

void MoveSelectedFile(HWND dialog) {
  StartClipPlayer(kReleaseClipCommandLine);
  const std::string from = SelectedFile(dialog);
  if (from.empty()) return;
  char chosen[MAX_PATH] = "";
  from.copy(chosen, sizeof chosen - 1);
  OPENFILENAMEA save = {};
  save.lStructSize = sizeof save;
  save.hwndOwner = dialog;
  save.lpstrFilter = kFilters;
  save.nFilterIndex = 1;
  save.lpstrFile = chosen;
  save.nMaxFile = sizeof chosen;
  save.lpstrTitle = kMoveTitle;
  save.Flags = OFN_HIDEREADONLY;
  if (!GetSaveFileNameA(&save) || chosen[0] == '\0') return;
  const std::string to = WithClipExtension(chosen);
  // Without MOVEFILE_REPLACE_EXISTING an existing file at the new place is
  // never overwritten: the move fails and both files stay.
  if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED)) {
    ShowError(dialog, kUnableToMove, kErrorMovingTitle);
    return;
  }
  FileList::Process().ReplaceAll(from, to);
  FillFileList(dialog);
}

void DeleteSelectedFile(HWND dialog) {
  StartClipPlayer(kReleaseClipCommandLine);
  const std::string path = SelectedFile(dialog);
  if (path.empty()) return;
  if (MessageBoxA(dialog, kDeleteQuestion, kDeleteTitle, MB_YESNO | MB_ICONERROR) != IDYES) return;
  if (!DeleteFileA(path.c_str())) {
    ShowError(dialog, kUnableToDelete, kErrorDeletingTitle);
    return;
  }
  FileList::Process().RemoveAll(path);
  FillFileList(dialog);
}

void PlaySelectedFile(HWND dialog) {
  const std::string path = SelectedFile(dialog);
  if (!path.empty()) StartClipPlayer(PlayClipCommandLine(path));
}

}  // namespace quellor::clipviewer::recorder
