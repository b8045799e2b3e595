#include "AnswerHook.h"

#include <mutex>

namespace quellor {
namespace {

std::mutex& HookMutex() {
  static std::mutex mutex;
  return mutex;
}

desktop::AnswerHook& Hook() {
  static desktop::AnswerHook hook;
  return hook;
}

}  // namespace

desktop::AnswerHook desktop::SetAnswerHook(AnswerHook hook) {
  std::lock_guard<std::mutex> lock(HookMutex());
  std::swap(Hook(), hook);
  return hook;
}

std::optional<desktop::Answer> win32::AskAnswerHook(const desktop::Question& question) {
  desktop::AnswerHook hook;
  {
    std::lock_guard<std::mutex> lock(HookMutex());
    hook = Hook();
  }
  // Called without the lock: a hook may itself show a message box.
  if (!hook) return std::nullopt;
  return hook(question);
}

}  // namespace quellor
