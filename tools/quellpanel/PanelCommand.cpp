// The panel itself, in a library of its own that quellpanel loads after the
// framework (it links Video.quell, whose classes the framework's loader
// registers as it loads).
#include <board/testing/BoardClock.h>
#include <qlxrapi/MessageQueue.h>
#include <quellor/Export.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "PanelGraph.h"
#include "PanelScript.h"
#include "PanelWindow.h"
#include "videoproc/WaveformMonitor.h"

namespace quellor::quellpanel {
namespace {

constexpr int kSuccess = 0, kGraphFailed = 1, kUsage = 2;

const char kUsageText[] =
    "usage: quellpanel [--script FILE] NAME=Class(key=value, ...) ...\n"
    "  builds a graph of Video.quell's nodes (as quellhost graph does), plays it\n"
    "  out of the board and shows a panel of framework controls bound to the\n"
    "  nodes' values; with --script the board's clock is driven by hand and the\n"
    "  script drives the panel (see tools/quellpanel/README.md)\n";

// The scope draws over a picture found in the skins beside the program; a
// scope without it still works, but has no scale to read the traces by.
bool ScopeLacksGraticule(WaveformMonitor* scope) {
  if (scope == nullptr) return false;
  std::vector<std::uint8_t> graticule(std::size_t{360} * 256);
  scope->CopyWorkingGraticule(graticule.data());
  return std::all_of(graticule.begin(), graticule.end(), [](std::uint8_t v) { return v == 0; });
}

int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  std::vector<std::string> words = arguments;
  std::string script;
  if (words.size() >= 2 && words[0] == "--script") {
    script = words[1];
    words.erase(words.begin(), words.begin() + 2);
  }
  if (words.empty() || words[0].starts_with("-")) {
    err << kUsageText;
    return kUsage;
  }
  PanelGraph graph;
  std::string error;
  if (!graph.Build(words, error)) {
    err << "quellpanel: " << error << '\n';
    return error.find("no registered class") != std::string::npos ? kGraphFailed : kUsage;
  }
  if (!script.empty()) board::testing::UseManualClock(board::testing::CurrentField());
  MouseEnterContext enter;  // hovering selects menu entries
  int result = kSuccess;
  {
    PanelWindow panel(graph);
    const bool opened = panel.Open(error) && graph.Start(error);
    if (opened && ScopeLacksGraticule(panel.Scope()))
      err << "quellpanel: the scope's graticule pictures were not found (Skins/QuellorScope beside "
             "the program): it draws without its scale\n";
    if (!opened) {
      err << "quellpanel: " << error << '\n';
      result = kUsage;
    } else if (!script.empty()) {
      if (!RunPanelScript(script, panel, graph, out, error)) {
        err << "quellpanel: " << error << '\n';
        result = kUsage;
      }
    } else {
      ExecuteMessageQueue();  // until the panel is closed
    }
  }
  if (!script.empty()) board::testing::UseRealtimeClock();
  return result;
}

}  // namespace
}  // namespace quellor::quellpanel

QUELLOR_EXPORT_C int QuellpanelRun(const std::vector<std::string>* words, std::ostream* out,
                                   std::ostream* err) {
  return quellor::quellpanel::Run(*words, *out, *err);
}
