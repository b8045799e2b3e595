// Puts a question to the installed answer hook (see win32/automation/Answers.h).
#pragma once

#include "win32/automation/Answers.h"

namespace quellor::win32 {

std::optional<desktop::Answer> AskAnswerHook(const desktop::Question& question);

}  // namespace quellor::win32
