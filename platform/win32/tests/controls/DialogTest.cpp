// Dialogs made from templates, with every standard control, driven with the
// mouse and keys: radio groups, typing, lists, the drop-down list, Enter and
// Escape in a modal loop with its owner disabled.
#include "ControlsTestSupport.h"
#include "win32/quellor_host.h"

using namespace quellor::testing;
namespace desktop = quellor::desktop;
using Item = quellor::win32::DialogItemTemplate;

namespace {

HMODULE TestModule() {
  return quellor::win32::ModuleFromAddress(reinterpret_cast<const void*>(&TestModule));
}

enum : WORD {
  kComposite = 1007,
  kYC,
  kComponent,
  kSdi,
  kName = 1017,
  kFiles = 1011,
  kDrive = 1014,
  kPedestal = 1004,
  kFilter0 = 1018,
  kFilter1,
  kSlider = 1001,
  kLabel = 1030,
};

const WORD kDialog = 104;

void RegisterEveryControlDialog() {
  quellor::win32::DialogTemplate tpl;
  tpl.title = "Input Settings";
  tpl.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  tpl.x = 10;
  tpl.y = 10;
  tpl.cx = 260;
  tpl.cy = 150;
  tpl.fontName = "Arial";
  tpl.pointSize = 8;
  tpl.items = {
      Item{"BUTTON", "Input Source", 0xFFFF, BS_GROUPBOX | WS_VISIBLE, 0, 5, 5, 110, 70},
      Item{"BUTTON", "Composite", kComposite,
           BS_AUTORADIOBUTTON | WS_VISIBLE | WS_GROUP | WS_TABSTOP, 0, 12, 17, 90, 10},
      Item{"BUTTON", "Y/C", kYC, BS_AUTORADIOBUTTON | WS_VISIBLE, 0, 12, 30, 90, 10},
      Item{"BUTTON", "Component", kComponent, BS_AUTORADIOBUTTON | WS_VISIBLE, 0, 12, 43, 90, 10},
      Item{"BUTTON", "SDI", kSdi, BS_AUTORADIOBUTTON | WS_VISIBLE, 0, 12, 56, 90, 10},
      Item{"STATIC", "&Name:", kLabel, SS_LEFT | WS_VISIBLE | WS_GROUP, 0, 125, 8, 30, 10},
      Item{"EDIT", "", kName, ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 0, 160, 6, 90,
           13},
      Item{"COMBOBOX", "", kDrive, CBS_DROPDOWNLIST | WS_VISIBLE | WS_TABSTOP, 0, 125, 25, 125, 13},
      Item{"LISTBOX", "", kFiles, LBS_NOTIFY | WS_VISIBLE | WS_TABSTOP, 0, 125, 44, 125, 50},
      Item{"BUTTON", "Remove NTSC Pedestal", kPedestal,
           BS_AUTOCHECKBOX | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 0, 5, 80, 110, 10},
      Item{"BUTTON", "0", kFilter0, BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_VISIBLE | WS_TABSTOP, 0, 5,
           95, 20, 14},
      Item{"BUTTON", "1", kFilter1, BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_VISIBLE | WS_TABSTOP, 0, 28,
           95, 20, 14},
      Item{TRACKBAR_CLASSA, "", kSlider, WS_VISIBLE | WS_TABSTOP, 0, 5, 113, 110, 18},
      Item{"BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 0, 145, 130, 50, 14},
      Item{"BUTTON", "Close", IDCANCEL, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 0, 200, 130, 50,
           14},
  };
  quellor::win32::RegisterDialogResource(TestModule(), MAKEINTRESOURCEA(kDialog), tpl);
}

struct Seen {
  std::vector<std::pair<int, int>> commands;  // (id, code)
  int initParam = 0;
};
Seen gSeen;

INT_PTR CALLBACK RecordingDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      gSeen.initParam = int(lParam);
      SendDlgItemMessageA(dlg, kFiles, LB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>("C:\\RecordNo0.rtv"));
      SendDlgItemMessageA(dlg, kFiles, LB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>("C:\\RecordNo1.rtv"));
      SendDlgItemMessageA(dlg, kDrive, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("C: System"));
      SendDlgItemMessageA(dlg, kDrive, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("D: Video"));
      SendDlgItemMessageA(dlg, kDrive, CB_SETCURSEL, 0, 0);
      SendDlgItemMessageA(dlg, kSlider, TBM_SETRANGE, TRUE, MAKELPARAM(WORD(-127), 127));
      CheckRadioButton(dlg, kComposite, kSdi, kComposite);
      return TRUE;
    case WM_COMMAND:
      gSeen.commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dlg, LOWORD(wParam));
      return TRUE;
  }
  return FALSE;
}

// Runs messages through the dialog manager, as a modeless dialog's owner does.
void Pump(HWND dlg) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageA(dlg, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

class DialogTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    RegisterEveryControlDialog();
    gSeen = Seen{};
  }
  HWND Open() {
    HWND dlg = CreateDialogParamA(TestModule(), MAKEINTRESOURCEA(kDialog), nullptr,
                                  RecordingDialogProc, 77);
    EXPECT_NE(dlg, nullptr);
    ShowWindow(dlg, SW_SHOW);
    desktop::RunUntilIdle();
    gSeen.commands.clear();
    return dlg;
  }
  static int Count(int id, int code) {
    int n = 0;
    for (auto& c : gSeen.commands) n += c.first == id && c.second == code;
    return n;
  }
};

TEST_F(DialogTest, ControlsAreLaidOutInDialogUnitsOfTheDialogFont) {
  HWND dlg = Open();
  EXPECT_EQ(gSeen.initParam, 77);
  RECT units{12, 17, 102, 27};
  ASSERT_TRUE(MapDialogRect(dlg, &units));
  HWND composite = GetDlgItem(dlg, kComposite);
  RECT r;
  GetWindowRect(composite, &r);
  POINT origin{0, 0};
  ClientToScreen(dlg, &origin);
  EXPECT_EQ(r.left - origin.x, units.left);
  EXPECT_EQ(r.top - origin.y, units.top);
  EXPECT_EQ(r.right - r.left, units.right - units.left);
  EXPECT_EQ(GetDlgCtrlID(composite), kComposite);
  EXPECT_EQ(SendMessageA(composite, WM_GETFONT, 0, 0), SendMessageA(dlg, WM_GETFONT, 0, 0));
  char title[32];
  GetWindowTextA(dlg, title, sizeof title);
  EXPECT_STREQ(title, "Input Settings");
  // Focus went to the first tab stop, as WM_INITDIALOG returned TRUE.
  EXPECT_EQ(GetFocus(), composite);
}

TEST_F(DialogTest, ClickingARadioButtonChecksItAndClearsTheRestOfItsGroup) {
  HWND dlg = Open();
  EXPECT_EQ(IsDlgButtonChecked(dlg, kComposite), UINT(BST_CHECKED));
  POINT sdi = CentreOf(GetDlgItem(dlg, kSdi));
  desktop::Click(desktop::Button::Left, sdi.x, sdi.y);
  desktop::RunUntilIdle();
  EXPECT_EQ(IsDlgButtonChecked(dlg, kSdi), UINT(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dlg, kComposite), UINT(BST_UNCHECKED));
  EXPECT_EQ(Count(kSdi, BN_CLICKED), 1);
  // The check box after the group is not touched by the radio group.
  CheckDlgButton(dlg, kPedestal, BST_CHECKED);
  POINT yc = CentreOf(GetDlgItem(dlg, kYC));
  desktop::AdvanceClock(1000);
  desktop::Click(desktop::Button::Left, yc.x, yc.y);
  desktop::RunUntilIdle();
  EXPECT_EQ(IsDlgButtonChecked(dlg, kYC), UINT(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dlg, kSdi), UINT(BST_UNCHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dlg, kPedestal), UINT(BST_CHECKED));
  // A quick second click on a radio button is a double click.
  desktop::Click(desktop::Button::Left, yc.x, yc.y);
  desktop::RunUntilIdle();
  EXPECT_EQ(Count(kYC, BN_DBLCLK), 1);
  // Arrow keys move within the group and check as they go.
  desktop::TypeKey(VK_DOWN);
  Pump(dlg);
  EXPECT_EQ(GetFocus(), GetDlgItem(dlg, kComponent));
  EXPECT_EQ(IsDlgButtonChecked(dlg, kComponent), UINT(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dlg, kYC), UINT(BST_UNCHECKED));
}

TEST_F(DialogTest, TypingIntoTheEditReportsEachChangeAndKeepsTheText) {
  HWND dlg = Open();
  HWND edit = GetDlgItem(dlg, kName);
  POINT p = CentreOf(edit);
  desktop::Click(desktop::Button::Left, p.x, p.y);
  Pump(dlg);
  EXPECT_EQ(GetFocus(), edit);
  gSeen.commands.clear();
  for (int key : {'R', 'E', 'C'}) desktop::TypeKey(key);
  Pump(dlg);
  EXPECT_EQ(Count(kName, EN_CHANGE), 3);
  char text[16];
  GetDlgItemTextA(dlg, kName, text, sizeof text);
  EXPECT_STREQ(text, "rec");
  // Shift+Left selects the last character; typing replaces it.
  desktop::PressKey(VK_SHIFT);
  desktop::TypeKey(VK_LEFT);
  desktop::ReleaseKey(VK_SHIFT);
  desktop::TypeKey('0');
  desktop::TypeKey(VK_BACK);
  desktop::TypeKey('7');
  Pump(dlg);
  GetDlgItemTextA(dlg, kName, text, sizeof text);
  EXPECT_STREQ(text, "re7");
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 3u);
  EXPECT_EQ(end, 3u);
  // Text set by the program is a change too (single-line edits).
  gSeen.commands.clear();
  SetDlgItemTextA(dlg, kName, "42");
  EXPECT_EQ(Count(kName, EN_CHANGE), 1);
  BOOL ok = FALSE;
  EXPECT_EQ(GetDlgItemInt(dlg, kName, &ok, TRUE), 42u);
  EXPECT_TRUE(ok);
  // Tab moves on to the drop-down list.
  desktop::TypeKey(VK_TAB);
  Pump(dlg);
  EXPECT_EQ(GetFocus(), GetDlgItem(dlg, kDrive));
}

TEST_F(DialogTest, ListBoxSelectsOnClickAndReportsADoubleClick) {
  HWND dlg = Open();
  HWND list = GetDlgItem(dlg, kFiles);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
  RECT r;
  GetWindowRect(list, &r);
  int rowY = r.top + 2 + 20;  // inside the second row at any font size in use
  desktop::Click(desktop::Button::Left, r.left + 10, r.top + 4);
  desktop::RunUntilIdle();
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(Count(kFiles, LBN_SELCHANGE), 1);
  desktop::AdvanceClock(1000);
  desktop::Click(desktop::Button::Left, r.left + 10, rowY);
  desktop::Click(desktop::Button::Left, r.left + 10, rowY);
  desktop::RunUntilIdle();
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Count(kFiles, LBN_DBLCLK), 1);
  char text[64];
  EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 1, 0), 16);
  SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "C:\\RecordNo1.rtv");
  EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 5, reinterpret_cast<LPARAM>(text)), LB_ERR);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(DialogTest, DropDownListIsChosenFromWithTheMouse) {
  HWND dlg = Open();
  HWND combo = GetDlgItem(dlg, kDrive);
  POINT p = CentreOf(combo);
  desktop::Click(desktop::Button::Left, p.x, p.y);
  desktop::RunUntilIdle();
  ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  RECT r;
  GetWindowRect(combo, &r);
  // The second entry of the list below the field.
  int rowHeight = (r.bottom - r.top) - 4;
  desktop::Click(desktop::Button::Left, p.x, r.bottom + 2 + rowHeight + rowHeight / 2);
  desktop::RunUntilIdle();
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Count(kDrive, CBN_SELCHANGE), 1);
  char text[32];
  SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "D: Video");
  // Setting the selection from the program sends nothing.
  gSeen.commands.clear();
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  EXPECT_TRUE(gSeen.commands.empty());
}

TEST_F(DialogTest, ModalDialogEndsWithEnterAndWithEscapeAndDisablesItsOwner) {
  HWND owner = CreateHost("owner", 600, 600, 100, 100);
  bool ownerWasDisabled = false;
  int idle = 0;
  desktop::SetModalIdleHook([&](HWND dialog) {
    ++idle;
    ownerWasDisabled = !IsWindowEnabled(owner);
    EXPECT_TRUE(IsWindowVisible(dialog));
    desktop::TypeKey(VK_RETURN);
  });
  INT_PTR r =
      DialogBoxParamA(TestModule(), MAKEINTRESOURCEA(kDialog), owner, RecordingDialogProc, 0);
  EXPECT_EQ(r, IDOK);
  EXPECT_TRUE(ownerWasDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_GE(idle, 1);
  EXPECT_FALSE(ReceivedBy(owner, WM_ENTERIDLE).empty());
  EXPECT_EQ(ReceivedBy(owner, WM_ENTERIDLE)[0].wParam, WPARAM(MSGF_DIALOGBOX));
  desktop::SetModalIdleHook([](HWND) { desktop::TypeKey(VK_ESCAPE); });
  EXPECT_EQ(DialogBoxParamA(TestModule(), MAKEINTRESOURCEA(kDialog), owner, RecordingDialogProc, 0),
            IDCANCEL);
  // Clicking the owner while the dialog runs does nothing; Close ends it.
  desktop::SetModalIdleHook([&](HWND dialog) {
    POINT o = CentreOf(owner);
    desktop::Click(desktop::Button::Left, o.x, o.y);
    POINT c = CentreOf(GetDlgItem(dialog, IDCANCEL));
    desktop::Click(desktop::Button::Left, c.x, c.y);
  });
  ClearReceived();
  EXPECT_EQ(DialogBoxParamA(TestModule(), MAKEINTRESOURCEA(kDialog), owner, RecordingDialogProc, 0),
            IDCANCEL);
  EXPECT_TRUE(ReceivedBy(owner, WM_LBUTTONDOWN).empty());
  EXPECT_EQ(DialogBoxParamA(TestModule(), MAKEINTRESOURCEA(999), owner, RecordingDialogProc, 0),
            -1);
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(DialogTest, ScreenshotOfEveryControl) {
  HWND dlg = Open();
  SetDlgItemTextA(dlg, kName, "Clip 7");
  SendDlgItemMessageA(dlg, kFiles, LB_SETCURSEL, 1, 0);
  CheckDlgButton(dlg, kPedestal, BST_CHECKED);
  CheckDlgButton(dlg, kFilter1, BST_CHECKED);
  CheckRadioButton(dlg, kComposite, kSdi, kComponent);
  SendDlgItemMessageA(dlg, kSlider, TBM_SETPOS, TRUE, 64);
  desktop::RunUntilIdle();
  std::string path = ScratchPath("dialog_every_control.png");
  desktop::Picture shot = desktop::CaptureWindow(dlg);
  ASSERT_TRUE(desktop::WritePng(shot, path));
  EXPECT_GT(shot.width, 300);
}

}  // namespace
