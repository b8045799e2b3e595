// Errors are raised as constant texts and caught only at the entry point,
// which shows them and ends the program.
#pragma once

namespace quellor::clipviewer {

struct ViewerError {
  const char* text;
};

[[noreturn]] inline void Raise(const char* text) {
  throw ViewerError{text};
}

}  // namespace quellor::clipviewer
