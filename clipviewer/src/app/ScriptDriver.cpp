#include "app/ScriptDriver.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <vector>

#include "app/ClipViewer.h"
#include "app/ScriptClipboard.h"
#include "app/DialogScriptSteps.h"
#include "app/ViewerTexts.h"
#include "win32/clipboard.h"
#include "win32/automation/Answers.h"
#include "win32/automation/Desktop.h"
#include "win32/automation/Modal.h"
#include "win32/automation/Shell.h"

namespace quellor::clipviewer {
namespace {

constexpr UINT_PTR kScriptTimer = 0x5C1;
constexpr UINT kTickMs = 10;

struct Step {
  std::string verb;
  std::string argument;
};

struct ScriptState {
  std::vector<Step> steps;
  size_t next = 0;
  DWORD waitUntil = 0;
  bool busy = false;
  bool menuHookSet = false;  // the idle hook of a "menu" step is still installed
  DWORD switcherClient = 0;  // the board's field clock, for the dialog steps
};

ScriptState& Script() {
  static ScriptState state;
  return state;
}

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// Numeric arguments are whole numbers from 0 to 2147483647 written in digits
// only: a negative wait would otherwise wrap into a wait of some 49 days.
bool IsNumber(const std::string& text) {
  if (text.empty() || text.size() > 10) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return std::strtoll(text.c_str(), nullptr, 10) <= 2147483647LL;
}

bool Parse(const std::string& script, std::vector<Step>* steps) {
  std::stringstream in(script);
  for (std::string part; std::getline(in, part, ';');) {
    part = Trimmed(part);
    if (part.empty()) continue;
    size_t space = part.find(' ');
    Step step{part.substr(0, space), space == std::string::npos ? "" : Trimmed(part.substr(space))};
    const bool numeric = step.verb == "wait" || step.verb == "command" || step.verb == "menu";
    // The steps that copy a file or play one need its name.
    const bool named = step.verb == "clipboard-bitmap" || step.verb == "play";
    const bool known = numeric || named || step.verb == "tray" || step.verb == "clipboard" ||
                       step.verb == "clipboard-text" || step.verb == "clipboard-metafile" ||
                       step.verb == "exit";
    if (!known && IsDialogStep(step.verb, step.argument)) {
      steps->push_back(step);
      continue;
    }
    if (!known || (numeric && !IsNumber(step.argument)) || (named && step.argument.empty()) ||
        (step.verb == "tray" && step.argument != "right" && step.argument != "double")) {
      std::fprintf(stderr, "clipviewer: script step not understood: \"%s\"\n", part.c_str());
      return false;
    }
    steps->push_back(step);
  }
  return true;
}

void PutTextOnClipboard(HWND window, const std::string& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (memory == nullptr) return;
  std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  if (OpenClipboard(window)) {
    EmptyClipboard();
    if (SetClipboardData(CF_TEXT, memory) == nullptr) GlobalFree(memory);
    CloseClipboard();
  } else {
    GlobalFree(memory);
  }
}

// Chooses the item at `position` as soon as the tray menu's loop goes idle.
// A click on a separator leaves the menu open, so a menu that is still there
// at its next idle is dismissed; without that the script would wait for it
// for ever. The hook lets go as soon as another modal loop (a dialog the
// chosen command opened) goes idle.
void ChooseMenuItemWhenOpen(int position) {
  Script().menuHookSet = true;
  // Shared: the window system may call a copy of the hook.
  auto clickedMenu = std::make_shared<HWND>(nullptr);
  desktop::SetModalIdleHook([position, clickedMenu](HWND modal) {
    if (*clickedMenu != nullptr || modal != desktop::OpenPopupMenu()) {
      desktop::SetModalIdleHook({});
      Script().menuHookSet = false;
      if (modal == *clickedMenu) desktop::TypeKey(VK_ESCAPE);
      return;
    }
    RECT item = {};
    if (desktop::PopupMenuItemRect(position, &item)) {
      *clickedMenu = modal;
      desktop::Click(desktop::Button::Left, (item.left + item.right) / 2,
                     (item.top + item.bottom) / 2);
    } else {
      desktop::SetModalIdleHook({});
      Script().menuHookSet = false;
      desktop::TypeKey(VK_ESCAPE);
    }
  });
}

// The filter a user picks in the Play dialog for a file of this name.
int FilterIndexFor(const std::string& path) {
  std::string extension;
  const size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && path.find_first_of("/\\", dot) == std::string::npos)
    extension = path.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".rtv") return 1;
  if (extension == ".jpg" || extension == ".jpeg") return 2;
  return 3;
}

// Answers the next file dialog with `path` (and the filter for it); other
// questions, and later ones, go to the hook that was there before.
void AnswerNextFileDialog(const std::string& path) {
  auto previous = std::make_shared<desktop::AnswerHook>();
  auto answered = std::make_shared<bool>(false);
  *previous = desktop::SetAnswerHook(
      [previous, answered,
       path](const desktop::Question& question) -> std::optional<desktop::Answer> {
        if (question.kind == desktop::Question::Kind::OpenFile && !*answered) {
          *answered = true;
          return desktop::Answer{IDOK, path, FilterIndexFor(path)};
        }
        if (*previous) return (*previous)(question);
        return std::nullopt;
      });
}

void RunStep(HWND window, const Step& step) {
  std::fprintf(stderr, "clipviewer: script: %s %s\n", step.verb.c_str(), step.argument.c_str());
  ScriptState& state = Script();
  if (step.verb == "wait") {
    state.waitUntil = desktop::Now() + static_cast<DWORD>(std::atol(step.argument.c_str()));
  } else if (step.verb == "command") {
    PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::atol(step.argument.c_str())), 0);
  } else if (step.verb == "tray") {
    desktop::ClickTrayIcon(window, kTrayIconId,
                           step.argument == "right" ? WM_RBUTTONDOWN : WM_LBUTTONDBLCLK);
  } else if (step.verb == "menu") {
    ChooseMenuItemWhenOpen(std::atoi(step.argument.c_str()));
    desktop::ClickTrayIcon(window, kTrayIconId, WM_RBUTTONDOWN);
  } else if (step.verb == "clipboard") {
    PutTextOnClipboard(window, step.argument);
  } else if (step.verb == "clipboard-text") {
    CopyText(window, step.argument);
  } else if (step.verb == "clipboard-bitmap") {
    CopyPngAsBitmap(window, step.argument);
  } else if (step.verb == "clipboard-metafile") {
    CopyDrawingAsMetafile(window, step.argument);
  } else if (step.verb == "play") {
    AnswerNextFileDialog(step.argument);
    PostMessageA(window, WM_COMMAND, kCmdPlay, 0);
  } else if (step.verb == "exit") {
    PostMessageA(window, WM_COMMAND, kCmdExit, 0);
  } else {
    RunDialogStep(step.verb, step.argument, state.switcherClient);
  }
}

void CALLBACK OnScriptTick(HWND window, UINT, UINT_PTR, DWORD) {
  ScriptState& state = Script();
  // Timers also fire inside the menu's own loop; steps wait for it to close.
  if (state.busy || desktop::OpenPopupMenu() != nullptr) return;
  if (static_cast<LONG>(desktop::Now() - state.waitUntil) < 0) return;
  if (DialogStepWaiting(state.switcherClient)) return;
  state.busy = true;
  if (state.menuHookSet) {  // the chosen item closed the menu
    desktop::SetModalIdleHook({});
    state.menuHookSet = false;
  }
  if (state.next < state.steps.size()) {
    RunStep(window, state.steps[state.next++]);
  } else {
    KillTimer(window, kScriptTimer);
    PostMessageA(window, WM_COMMAND, kCmdExit, 0);
  }
  state.busy = false;
}

}  // namespace

bool StartScript(ClipViewer& viewer, const std::string& script) {
  ScriptState& state = Script();
  state = ScriptState{};
  if (!Parse(script, &state.steps)) return false;
  state.waitUntil = desktop::Now();
  state.switcherClient = viewer.SwitcherClient();
  return SetTimer(viewer.MainWindow(), kScriptTimer, kTickMs, OnScriptTick) != 0;
}

}  // namespace quellor::clipviewer
