// Keeps a window object alive while code calls into it (see WindowDispatch).
#pragma once

#include "WindowDispatch.h"

namespace quellor::win {

class WindowHold {
 public:
  explicit WindowHold(BaseWindowClass* object);
  ~WindowHold();
  WindowHold(const WindowHold&) = delete;
  WindowHold& operator=(const WindowHold&) = delete;

 private:
  BaseWindowClass* m_object;
};

}  // namespace quellor::win
