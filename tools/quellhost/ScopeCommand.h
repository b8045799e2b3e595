// `quellhost scope`: a waveform monitor of the live board in a window of its
// own, shown on the desktop or written to a PNG.
//
//   quellhost scope [--output] --mode N [-o scope.png] [--zoom Z]
//                   [--brightness B] [--seconds S] [--fields F]
//
// --mode: 0 composite, 1 luma, 2 chroma, 3 YUV parade, 4 RGB parade,
// 5 vectorscope. --output watches the board's output instead of its input.
// With -o the board's clock is driven by hand for F fields (default 6) and the
// scope is written as a PNG (Z times its 360 x 256 pixels); without it the
// window stays up for S seconds (default 30) or until it is closed.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "FrameworkLibrary.h"

namespace quellor::quellhost {

struct ScopeOptions {
  bool output = false;
  int mode = -1;
  std::string png;  // empty: show the window
  int zoom = 1;
  unsigned int brightness = 0;  // 0: the monitor's own
  double seconds = 30.0;
  long fields = 6;
};

extern const char kScopeHelp[];

// False with a reason when the words make no sense.
bool ParseScopeOptions(const std::vector<std::string>& words, ScopeOptions& options,
                       std::string& error);

int RunScopeCommand(const FrameworkLibrary& framework, const std::vector<std::string>& words,
                    std::ostream& out, std::ostream& err);

}  // namespace quellor::quellhost
