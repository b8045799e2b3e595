// "Play ..." (menu command 40008 and the tray icon's double click): the file
// dialog, then clips to the clip player and pictures to the output.
//
// Which one depends on the filter in force when the dialog closed, not on the
// file's extension: the first filter ("RTV File Sequence (*.rtv)") hands the
// file to the clip player with zivavir "<path>"; the others load it as a JPEG
// picture, which the output shows until the clipboard changes again.
#pragma once

#include <string>

#include "windows.h"

namespace quellor::clipviewer {

class ClipViewer;

inline constexpr const char* kPlayDialogTitle = "Select A File To Display";
// Pairs of description and pattern, ending in an empty string.
inline constexpr char kPlayFilters[] =
    "RTV File Sequence (*.rtv)\0*.rtv\0"
    "JPEG Image Source (*.jpg)\0*.jpg\0"
    "All Files (*.*)\0*.*\0";

class PlayCommand {
 public:
  void Run(ClipViewer& viewer);
  // What the dialog opens at: the last choice.
  const char* LastPath() const { return lastPath_; }

  // Hands the chosen file on, as the dialog's filter index says.
  static void PlayChosenFile(ClipViewer& viewer, const std::string& path, int filterIndex);

 private:
  bool ChooseFile(HWND owner, int& filterIndex);

  char lastPath_[260] = {};
};

}  // namespace quellor::clipviewer
