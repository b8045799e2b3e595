#include "app/DialogScriptSteps.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>

#include "board/Engine.h"
#include "recorder/FileList.h"
#include "recorder/RecorderTexts.h"
#include "win32/automation/Answers.h"

namespace quellor::clipviewer {
namespace {

DWORD waitForField = 0;
bool waiting = false;

// Whole numbers, optionally negative, that fit an int.
bool IsInteger(const std::string& text, long minimum, long maximum) {
  if (text.empty() || text.size() > 11) return false;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  return *end == '\0' && value >= minimum && value <= maximum;
}

HWND OpenDialog() {
  for (const char* title : {"Input Settings", "Output Settings", recorder::kRecorderTitle}) {
    HWND dialog = FindWindowA(nullptr, title);
    if (dialog != nullptr && IsWindowVisible(dialog)) return dialog;
  }
  return nullptr;
}

void ClickButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button != nullptr) SendMessageA(button, BM_CLICK, 0, 0);
}

// Answers the next question of the kind given, then lets the window system
// ask as before.
void AnswerNext(desktop::Question::Kind kind, const std::string& file, int button) {
  auto previous = std::make_shared<desktop::AnswerHook>();
  *previous = desktop::SetAnswerHook(
      [kind, file, button, previous](const desktop::Question& q) -> std::optional<desktop::Answer> {
        if (q.kind != kind) return *previous ? (*previous)(q) : std::nullopt;
        // Putting the previous hook back destroys this one: copies only.
        desktop::Answer answer{button, file, 0};
        desktop::AnswerHook restore = *previous;
        desktop::SetAnswerHook(std::move(restore));
        return answer;
      });
}

void SelectEntry(HWND dialog, int id, UINT selectMessage, WORD notification, int index) {
  HWND control = GetDlgItem(dialog, id);
  SendMessageA(control, selectMessage, WPARAM(index), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(control));
}

}  // namespace

bool IsDialogStep(const std::string& verb, const std::string& argument) {
  std::istringstream words(argument);
  std::string first, second;
  words >> first >> second;
  if (verb == "record" || verb == "stop" || verb == "list" || verb == "delete" || verb == "close")
    return argument.empty();
  if (verb == "drive" || verb == "select") return IsInteger(argument, 0, 1000);
  if (verb == "fields") return IsInteger(argument, 0, 2147483647L);
  if (verb == "click") return IsInteger(argument, 0, 65535);
  if (verb == "move") return !argument.empty();
  if (verb == "slider") return IsInteger(first, 0, 65535) && IsInteger(second, -127, 127);
  if (verb == "edit") return IsInteger(first, 0, 65535) && !second.empty();
  return false;
}

void RunDialogStep(const std::string& verb, const std::string& argument, DWORD switcherClient) {
  std::istringstream words(argument);
  std::string first, rest;
  words >> first;
  std::getline(words >> std::ws, rest);
  HWND dialog = OpenDialog();
  if (verb == "fields") {
    waitForField = RTME_GetFieldTimeStamp(switcherClient, 0, 0) + DWORD(std::atol(first.c_str()));
    waiting = true;
    return;
  }
  if (verb == "list") {
    for (const std::string& path : recorder::FileList::Process().Entries())
      std::fprintf(stderr, "clipviewer: script: file %s\n", path.c_str());
    return;
  }
  if (dialog == nullptr) {
    std::fprintf(stderr, "clipviewer: script: no dialog is open for \"%s\"\n", verb.c_str());
    return;
  }
  if (verb == "record") {
    ClickButton(dialog, recorder::kIdRecord);
  } else if (verb == "stop") {
    ClickButton(dialog, recorder::kIdStop);
  } else if (verb == "drive") {
    SelectEntry(dialog, recorder::kIdDrive, CB_SETCURSEL, CBN_SELCHANGE, std::atoi(first.c_str()));
  } else if (verb == "select") {
    SelectEntry(dialog, recorder::kIdFileList, LB_SETCURSEL, LBN_SELCHANGE,
                std::atoi(first.c_str()));
  } else if (verb == "move") {
    AnswerNext(desktop::Question::Kind::SaveFile, argument, IDOK);
    ClickButton(dialog, recorder::kIdMoveFile);
  } else if (verb == "delete") {
    AnswerNext(desktop::Question::Kind::MessageBox, {}, IDYES);
    ClickButton(dialog, recorder::kIdDeleteFile);
  } else if (verb == "click") {
    ClickButton(dialog, std::atoi(first.c_str()));
  } else if (verb == "slider") {
    HWND host = GetDlgItem(dialog, std::atoi(first.c_str()));
    HWND trackbar = GetWindow(host, GW_CHILD);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, std::atol(rest.c_str()));
    SendMessageA(host, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 0),
                 reinterpret_cast<LPARAM>(trackbar));
  } else if (verb == "edit") {
    HWND edit = GetWindow(GetDlgItem(dialog, std::atoi(first.c_str())), GW_CHILD);
    SetWindowTextA(edit, rest.c_str());
  } else if (verb == "close") {
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  }
}

bool DialogStepWaiting(DWORD switcherClient) {
  if (!waiting) return false;
  // Field stamps count up and wrap: compare by difference.
  if (static_cast<LONG>(RTME_GetFieldTimeStamp(switcherClient, 0, 0) - waitForField) < 0)
    return true;
  waiting = false;
  return false;
}

}  // namespace quellor::clipviewer
