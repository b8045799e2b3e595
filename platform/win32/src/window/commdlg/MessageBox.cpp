// MessageBoxA through the answer hook.
#include <cstdio>
#include <vector>

#include "AnswerHook.h"
#include "win32/messagebox.h"

namespace {

std::vector<int> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
      return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
      return {IDYES, IDNO};
    case MB_RETRYCANCEL:
      return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE:
      return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default:
      return {IDOK};
  }
}

// MB_DEFBUTTONn picks the n-th button; one past the last falls back to the
// first, as Windows does.
int DefaultButton(UINT type, const std::vector<int>& buttons) {
  size_t index = (type & MB_DEFMASK) >> 8;
  return index < buttons.size() ? buttons[index] : buttons.front();
}

}  // namespace

extern "C" int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  quellor::desktop::Question question;
  question.kind = quellor::desktop::Question::Kind::MessageBox;
  question.owner = hWnd;
  question.caption = lpCaption ? lpCaption : "Error";  // the Windows default caption
  question.text = lpText ? lpText : "";
  question.style = uType;
  std::vector<int> buttons = ButtonsOf(uType);
  if (auto answer = quellor::win32::AskAnswerHook(question)) {
    // Only a button the box has can close it; anything else counts as the
    // default choice.
    for (int b : buttons) {
      if (b == answer->button) return b;
    }
  } else {
    std::fprintf(stderr, "%s: %s\n", question.caption.c_str(), question.text.c_str());
    std::fflush(stderr);
  }
  return DefaultButton(uType, buttons);
}
