#include "SettingsDialogs.h"

#include "BridgeProcess.h"
#include "BridgeSettings.h"
#include "BridgeTexts.h"
#include "board/Engine.h"
#include "settings/ControlSender.h"
#include "settingsdialogs/DialogExtras.h"
#include "settingsdialogs/InputSettingsDialog.h"
#include "settingsdialogs/OutputSettingsDialog.h"

namespace quellor::rtvbridge {
namespace {

constexpr DWORD kCheckStyle = BS_CHECKBOX | WS_VISIBLE | WS_TABSTOP;

win32::DialogItemTemplate Item(const char* className, const char* text, WORD id, DWORD style,
                               short x, short y, short cx, short cy) {
  win32::DialogItemTemplate item;
  item.className = className;
  item.text = text;
  item.id = id;
  item.style = style;
  item.x = x;
  item.y = y;
  item.cx = cx;
  item.cy = cy;
  return item;
}

bool IsChecked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void Toggle(HWND dialog, int id) {
  CheckDlgButton(dialog, id, IsChecked(dialog, id) ? BST_UNCHECKED : BST_CHECKED);
}

// "Show On Screen Preview": the box shows the key that decides whether the
// next recording context / sink starts its preview program, and a click
// writes it at once (the closing context or sink rewrites it with what the
// preview was doing then).
void ShowPreviewKey(HWND dialog, int id, const char* key) {
  CheckDlgButton(dialog, id, ReadSetting(key, 1) != 0 ? BST_CHECKED : BST_UNCHECKED);
}
void TogglePreviewKey(HWND dialog, int id, const char* key) {
  Toggle(dialog, id);
  WriteSetting(key, IsChecked(dialog, id) ? 1 : 0);
}

// Input dialog: the "Recording" group below the gain controls. The box shows
// the drop-counting flag; the flag takes the box's state only when the
// dialog closes, so a recording in progress sees one change, not each click.
class RecordingExtras : public settingsdialogs::DialogExtras {
 public:
  void AdjustTemplate(win32::DialogTemplate& dialog) override {
    const short top = dialog.cy;  // below everything, Close included
    dialog.cy = static_cast<short>(dialog.cy + 76);
    dialog.items.push_back(
        Item("BUTTON", "Recording", 0, BS_GROUPBOX | WS_VISIBLE, 7, top, 260, 42));
    dialog.items.push_back(Item("BUTTON", "Stop recording if frames are dropped", kStopOnDropCheck,
                                kCheckStyle, 15, static_cast<short>(top + 12), 240, 10));
    dialog.items.push_back(Item("STATIC",
                                "(Warning : Recording stops if the incorrect video format is used "
                                "on input, i.e. PAL instead of NTSC.)",
                                0, SS_LEFT | WS_VISIBLE, 15, static_cast<short>(top + 24), 245,
                                16));
    dialog.items.push_back(Item("BUTTON", "Preview", 0, BS_GROUPBOX | WS_VISIBLE, 7,
                                static_cast<short>(top + 46), 260, 24));
    dialog.items.push_back(Item("BUTTON", "Show On Screen Preview", kInputPreviewCheck, kCheckStyle,
                                15, static_cast<short>(top + 57), 200, 10));
  }
  void Opened(HWND dialog) override {
    CheckDlgButton(dialog, kStopOnDropCheck,
                   Process().countDroppedFrames.load() ? BST_CHECKED : BST_UNCHECKED);
    ShowPreviewKey(dialog, kInputPreviewCheck, kInputPreviewKey);
  }
  bool Command(HWND dialog, WORD id, WORD code) override {
    (void)code;
    if (id == kInputPreviewCheck) {
      TogglePreviewKey(dialog, id, kInputPreviewKey);
      return true;
    }
    if (id != kStopOnDropCheck) return false;
    Toggle(dialog, id);
    return true;
  }
  void Closing(HWND dialog) override {
    Process().countDroppedFrames = IsChecked(dialog, kStopOnDropCheck);
  }
};

// Output dialog: 1005 under "Playback" becomes the force-no-drop box. Each
// change sets the dialog-bound value (its dependants are told) and is
// written to the settings file at once.
class SinkExtras : public settingsdialogs::DialogExtras {
 public:
  explicit SinkExtras(BridgeSettingsState& state) : state_(state) {}
  void AdjustTemplate(win32::DialogTemplate& dialog) override {
    for (win32::DialogItemTemplate& item : dialog.items)
      if (item.id == kForceNoDropCheck) item.text = "Force no frames to be dropped on playback";
    // "Preview" between the playback box and the output format group.
    for (win32::DialogItemTemplate& item : dialog.items)
      if (item.y >= 80) item.y = static_cast<short>(item.y + 28);
    dialog.cy = static_cast<short>(dialog.cy + 28);
    dialog.items.push_back(Item("STATIC", "Preview", 0, SS_LEFT | WS_VISIBLE, 7, 84, 60, 8));
    dialog.items.push_back(Item("BUTTON", "Show On Screen Preview", kOutputPreviewCheck,
                                kCheckStyle, 15, 95, 200, 10));
  }
  void Opened(HWND dialog) override {
    CheckDlgButton(dialog, kForceNoDropCheck,
                   state_.forceNoFrameDrop.Get() != 0 ? BST_CHECKED : BST_UNCHECKED);
    ShowPreviewKey(dialog, kOutputPreviewCheck, kOutputPreviewKey);
  }
  bool Command(HWND dialog, WORD id, WORD code) override {
    (void)code;
    if (id == kOutputPreviewCheck) {
      TogglePreviewKey(dialog, id, kOutputPreviewKey);
      return true;
    }
    if (id != kForceNoDropCheck) return false;
    Toggle(dialog, id);
    const int value = IsChecked(dialog, id) ? 1 : 0;
    state_.forceNoFrameDrop.Set(value);
    WriteSetting("ForceNoFrameDrop", value);
    return true;
  }

 private:
  BridgeSettingsState& state_;
};

settingsdialogs::DialogContext Context(BridgeProcess& process, WORD resource,
                                       settingsdialogs::DialogExtras* extras) {
  settingsdialogs::DialogContext context;
  context.settings = &process.settings->board;
  context.send = settings::EngineControlSender(process.switcherClient);
  context.pause = [](DWORD ms) { EnginePause(ms); };
  context.module = process.module;
  context.resource = resource;
  context.extras = extras;
  return context;
}

// The dialogs' error convention: a message text under the dialog's caption,
// anything else as "Unknown Internal Error".
template <class Work>
void RunShowingErrors(const char* caption, Work&& work) noexcept {
  try {
    work();
  } catch (const char* text) {
    MessageBoxA(nullptr, text != nullptr ? text : kUnknownInternalError, caption,
                MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxA(nullptr, kUnknownInternalError, caption, MB_OK | MB_ICONERROR);
  }
}

}  // namespace

void ShowInputSettingsDialog(HWND owner, const char* caption) {
  (void)caption;
  RunShowingErrors(kRecordCallbackCaption, [&] {
    BridgeProcess& process = Process();
    if (!process.settings) throw kInputSettingsNotAvailable;
    RecordingExtras extras;
    settingsdialogs::DialogContext context = Context(process, kInputSettingsResource, &extras);
    // While a recording context is open the board's output stays as it is.
    if (!process.recordingOpen.load()) {
      const DWORD client = process.switcherClient;
      context.showLiveInput = [client] {
        const BYTE noParameters[16] = {};
        RTME_SwitcherCommand(client, kRtmeCommandShowLiveInput, noParameters);
      };
    }
    settingsdialogs::InputSettingsDialog(std::move(context)).Run(owner);
  });
}

void ShowOutputSettingsDialog(HWND owner, const char* caption) {
  (void)caption;
  RunShowingErrors(kSinkCallbackCaption, [&] {
    BridgeProcess& process = Process();
    if (!process.settings) throw kOutputSettingsNotAvailable;
    SinkExtras extras(*process.settings);
    settingsdialogs::OutputSettingsDialog(Context(process, kOutputSettingsResource, &extras))
        .Run(owner);
    settings::WriteOutputSettings(process.settings->board);
  });
}

}  // namespace quellor::rtvbridge
