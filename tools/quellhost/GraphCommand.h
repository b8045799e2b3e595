// `quellhost graph`: builds a processing graph of Video.quell's nodes from a
// text description (GraphDescription.h), sets their values by name, plays it
// out of the board and prints the counters.
//
//   quellhost graph [--seconds S | --fields N] DESCRIPTION...
//
// --seconds plays on the board's real clock for S seconds (default 5; Ctrl-C
// ends early); --fields drives the board's clock by hand for N fields, as
// fast as the graph renders.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "FrameworkLibrary.h"

namespace quellor::quellhost {

// The value names each class takes, for the usage text and the README.
extern const char kGraphValueHelp[];

int RunGraphCommand(const FrameworkLibrary& framework, const std::vector<std::string>& words,
                    std::ostream& out, std::ostream& err);

}  // namespace quellor::quellhost
