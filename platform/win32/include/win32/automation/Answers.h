// Automation interface of the Win32 subset (supported and stable): the
// answer hook. Message boxes and file dialogs have no screen to appear on, so
// each is put as a question to one replaceable hook, which a test, a scripted
// run or a presenter sets. A hook that returns nothing leaves the question
// unanswered: a message box then prints "caption: text" to standard error and
// returns its default button, a file dialog reports cancel.
//
// Stable: the Question and Answer fields and their meaning, SetAnswerHook.
// New fields may be added at the end of either record.
#pragma once

#include <quellor/Export.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win32/windef.h"

namespace quellor::desktop {

struct Question {
  enum class Kind { MessageBox, OpenFile, SaveFile };
  Kind kind = Kind::MessageBox;
  HWND owner = nullptr;
  std::string caption;  // message box caption or file dialog title
  std::string text;     // message box text
  UINT style = 0;       // MB_ flags of a message box, OFN_ flags of a file dialog
  // File dialogs: (description, pattern) pairs, the 1-based filter index in
  // force, the initial file and folder.
  std::vector<std::pair<std::string, std::string>> filters;
  int filterIndex = 0;
  std::string file;
  std::string initialDir;
};

struct Answer {
  int button = 0;       // message box: IDOK, IDYES, ...
  std::string file;     // file dialogs: the chosen path (empty = cancel)
  int filterIndex = 0;  // file dialogs: the filter in force at the end (0 = unchanged)
};

using AnswerHook = std::function<std::optional<Answer>(const Question&)>;

// Installs `hook` (an empty function removes it) and returns the previous one.
QUELLOR_EXPORT AnswerHook SetAnswerHook(AnswerHook hook);

}  // namespace quellor::desktop
