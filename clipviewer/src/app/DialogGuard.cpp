#include "app/DialogGuard.h"

namespace quellor::clipviewer {

bool DialogGuard::RunOnce(ViewerDialog dialog, const std::function<void()>& show) {
  bool& open = open_[Index(dialog)];
  if (open || !show) return false;
  open = true;
  struct Closed {
    bool& open;
    ~Closed() { open = false; }
  } closed{open};
  show();
  return true;
}

}  // namespace quellor::clipviewer
