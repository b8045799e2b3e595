// Runs quellpanel headless from a script on a private board.
#pragma once

#include <string>
#include <vector>

#include "quellor/testing/ChildProcess.h"
#include "quellor/testing/ScratchFolder.h"

namespace quellor::quellpanel::testing {

using quellor::testing::ChildOptions;
using quellor::testing::ProgramPath;
using quellor::testing::RunChild;
using quellor::testing::ScratchFolder;

inline constexpr char kGraph[] =
    "grad=VideoGradient(flat=16:128:128) out=VideoQuellorOutput(input=grad, standard=ntsc)";

struct PanelRun {
  int status = -1;
  std::string out;
};

// The script is written into folder; the board lives there too.
PanelRun RunPanel(const ScratchFolder& folder, const std::string& script,
                  const std::string& graph = kGraph);

// The numbers printed after each "prefix".
std::vector<double> Numbers(const std::string& text, const std::string& prefix);

}  // namespace quellor::quellpanel::testing
