// The two dialogs' layouts, in dialog units of Arial 8. Sliders and edits are
// placeholders (black frames) that the toolkit's controls are created over.
#include "settingsdialogs/InputSettingsDialog.h"
#include "settingsdialogs/OutputSettingsDialog.h"

namespace quellor::settingsdialogs {
namespace {

using Item = win32::DialogItemTemplate;

constexpr DWORD kVisible = WS_VISIBLE;
constexpr DWORD kRadio = BS_RADIOBUTTON | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kCheck = BS_CHECKBOX | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kPlaceholder = SS_BLACKFRAME | WS_VISIBLE | WS_TABSTOP;

Item Group(const char* text, short x, short y, short cx, short cy) {
  return Item{"BUTTON", text, 0xFFFF, BS_GROUPBOX | kVisible, 0, x, y, cx, cy};
}
Item Text(const char* text, short x, short y, short cx, short cy) {
  return Item{"STATIC", text, 0xFFFF, SS_LEFT | kVisible, 0, x, y, cx, cy};
}
Item Button(const char* text, int id, DWORD style, short x, short y, short cx, short cy) {
  return Item{"BUTTON", text, static_cast<WORD>(id), style, 0, x, y, cx, cy};
}
Item Placeholder(int id, short x, short y, short cx, short cy) {
  return Item{"STATIC", "", static_cast<WORD>(id), kPlaceholder, 0, x, y, cx, cy};
}

win32::DialogTemplate Dialog(const char* title, short cx, short cy) {
  win32::DialogTemplate dialog;
  dialog.title = title;
  dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE;
  dialog.x = 20;
  dialog.y = 20;
  dialog.cx = cx;
  dialog.cy = cy;
  dialog.fontName = "Arial";
  dialog.pointSize = 8;
  return dialog;
}

// A labelled slider and edit row of a group.
void ValueRow(win32::DialogTemplate& dialog, const char* label, ValueControlIds ids, short y) {
  dialog.items.push_back(Text(label, 15, static_cast<short>(y + 3), 50, 8));
  dialog.items.push_back(Placeholder(ids.slider, 70, y, 140, 14));
  dialog.items.push_back(Placeholder(ids.edit, 216, static_cast<short>(y + 1), 40, 12));
}

}  // namespace

win32::DialogTemplate InputSettingsTemplate() {
  win32::DialogTemplate dialog = Dialog("Input Settings", 274, 236);
  auto& items = dialog.items;
  items.push_back(Group("Input Source", 7, 5, 260, 28));
  const char* inputs[] = {"Composite", "Y/C", "Component", "SDI"};
  for (int i = 0; i < 4; ++i) {
    DWORD style = kRadio | (i == 0 ? WS_GROUP : 0);
    items.push_back(Button(inputs[i], kInputRadioFirst + i, style, static_cast<short>(15 + 62 * i),
                           17, 58, 10));
  }
  const char* labels[] = {"Contrast", "Brightness", "Saturation", "Hue",
                          "U Gain",   "V Gain",     "U Offset",   "V Offset"};
  items.push_back(Group("Color Controls", 7, 38, 260, 84));
  for (int i = 0; i < 4; ++i)
    ValueRow(dialog, labels[i], kInputValueIds[i], static_cast<short>(50 + 17 * i));
  items.push_back(Group("Gain Controls", 7, 126, 260, 84));
  for (int i = 4; i < 8; ++i)
    ValueRow(dialog, labels[i], kInputValueIds[i], static_cast<short>(138 + 17 * (i - 4)));
  items.push_back(
      Button("Close", IDCANCEL, BS_DEFPUSHBUTTON | kVisible | WS_TABSTOP, 217, 216, 50, 14));
  return dialog;
}

win32::DialogTemplate OutputSettingsTemplate() {
  using namespace output_ids;
  win32::DialogTemplate dialog = Dialog("Output Settings", 274, 222);
  auto& items = dialog.items;
  items.push_back(Group("Output Controls", 7, 5, 260, 44));
  items.push_back(Text("Source (Note : Composite and SDI are always enabled.)", 15, 16, 240, 8));
  items.push_back(Button("Component", kComponent, kRadio | WS_GROUP, 15, 30, 70, 10));
  items.push_back(Button("Y/C", kYC, kRadio, 90, 30, 70, 10));
  items.push_back(Text("Playback", 7, 56, 60, 8));
  items.push_back(Button("On Screen Preview Of Output", kPreviewOfOutput, kCheck, 15, 67, 200, 10));
  items.push_back(Group("Output Format", 7, 82, 260, 58));
  items.push_back(Button("NTSC", kNtsc, kRadio | WS_GROUP, 15, 94, 60, 10));
  items.push_back(Button("PAL", kPal, kRadio, 80, 94, 60, 10));
  items.push_back(Button("Remove NTSC Pedestal (Japanese NTSC Support)", kRemovePedestal, kCheck,
                         15, 108, 240, 10));
  items.push_back(
      Text("Note : You must restart Edge Wright for these settings to come into effect.", 15, 122,
           245, 16));
  items.push_back(Group("Output Parameters", 7, 144, 260, 54));
  items.push_back(Text("SC Phase", 15, 159, 50, 8));
  items.push_back(Placeholder(kScPhaseSlider, 70, 156, 140, 14));
  items.push_back(Placeholder(kScPhaseEdit, 216, 157, 40, 12));
  items.push_back(Text("Filter", 15, 178, 50, 8));
  const char* filters[] = {"0", "1", "2", "3"};
  for (int i = 0; i < 4; ++i)
    items.push_back(Button(filters[i], kFilterFirst + i, kCheck | BS_PUSHLIKE,
                           static_cast<short>(70 + 26 * i), 175, 22, 14));
  items.push_back(
      Button("Close", IDCANCEL, BS_DEFPUSHBUTTON | kVisible | WS_TABSTOP, 217, 202, 50, 14));
  return dialog;
}

}  // namespace quellor::settingsdialogs
