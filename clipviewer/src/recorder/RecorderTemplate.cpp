// Resource 106, "QL Record", in dialog units of Arial 8.
#include "recorder/RecorderTemplate.h"

#include "recorder/RecorderTexts.h"

namespace quellor::clipviewer::recorder {
namespace {

using Item = win32::DialogItemTemplate;

constexpr DWORD kButton = BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP;

Item Control(const char* className, const char* text, int id, DWORD style, short x, short y,
             short cx, short cy) {
  return Item{className, text, static_cast<WORD>(id), DWORD(style | WS_VISIBLE), 0, x, y, cx, cy};
}

}  // namespace

win32::DialogTemplate RecorderTemplate() {
  win32::DialogTemplate dialog;
  dialog.title = kRecorderTitle;
  dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE;
  dialog.x = 30;
  dialog.y = 30;
  dialog.cx = 214;
  dialog.cy = 214;
  dialog.fontName = "Arial";
  dialog.pointSize = 8;
  dialog.items = {
      Control("BUTTON", "Disk Recorder", 0xFFFF, BS_GROUPBOX, 7, 5, 200, 58),
      Control("STATIC", "Drive", 0xFFFF, SS_LEFT, 15, 19, 25, 8),
      Control("COMBOBOX", "", kIdDrive, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 45, 17, 152,
              100),
      Control("BUTTON", "Record", kIdRecord, kButton, 15, 40, 56, 14),
      Control("BUTTON", "Stop", kIdStop, kButton, 78, 40, 56, 14),
      Control("BUTTON", "Settings ...", kIdSettings, kButton, 141, 40, 56, 14),
      Control("BUTTON", "Files", 0xFFFF, BS_GROUPBOX, 7, 68, 200, 120),
      Control("LISTBOX", "", kIdFileList, LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 15, 80,
              184, 78),
      Control("BUTTON", "Insert Item", kIdInsertItem, kButton, 15, 165, 44, 14),
      Control("BUTTON", "Delete Item", kIdDeleteItem, kButton, 62, 165, 44, 14),
      Control("BUTTON", "Move File", kIdMoveFile, kButton, 109, 165, 44, 14),
      Control("BUTTON", "Delete File", kIdDeleteFile, kButton, 156, 165, 44, 14),
      Control("BUTTON", "Close", kIdClose, BS_DEFPUSHBUTTON | WS_TABSTOP, 157, 194, 50, 14)};
  return dialog;
}

}  // namespace quellor::clipviewer::recorder
