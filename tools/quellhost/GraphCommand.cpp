#include "GraphCommand.h"

#include <board/BoardControl.h>
#include <board/testing/BoardClock.h>
#include <quellor/Export.h>
#include <windows.h>

#include <csignal>
#include <cstdlib>
#include <memory>

#include "GraphDescription.h"
#include "GraphValues.h"
#include "Commands.h"
#include "videoproc/DataStream_Processor.h"
#include "videoproc/VideoQuellorOutput.h"

namespace quellor::quellhost {

const char kGraphValueHelp[] =
    "  graph [--seconds S | --fields N] NAME=Class(key=value, ...) ...\n"
    "      build a graph of Video.quell's nodes and play it out of the board;\n"
    "      connections: input= (luma=, chroma= on LumaEffect) naming another node\n"
    "      RTVFileInput: files=a.rtv,b.rtv\n"
    "      ChromaKey: mode=chroma|add|subtract|tint|maxy|miny|linearlight|lineardark|dark|light\n"
    "                 key=Y:U:V bg=Y:U:V keyrgb=R:G:B bgrgb=R:G:B tolerance= softness= maximum=\n"
    "      VideoGradient: tl= tr= bl= br= flat= (Y:U:V)\n"
    "      VideoQuellorOutput: loop=0|1 speed=1.0 time=SECONDS standard=ntsc|pal\n";

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
  g_interrupted = 1;
}

struct BuiltNode {
  std::string name;
  PluginClass* object = nullptr;
  DataStream_Processor* node = nullptr;
};

// Destroys the outputs first (their threads pull the rest), then the others.
struct BuiltGraph {
  std::vector<BuiltNode> nodes;
  ~BuiltGraph() {
    for (bool outputs : {true, false}) {
      for (BuiltNode& n : nodes) {
        if ((dynamic_cast<VideoQuellorOutput*>(n.node) != nullptr) != outputs) continue;
        delete n.object;
        n.object = nullptr;
        n.node = nullptr;
      }
    }
  }
  BuiltNode* Find(const std::string& name) {
    for (BuiltNode& n : nodes) {
      if (n.name == name) return &n;
    }
    return nullptr;
  }
};

struct PlayOptions {
  double seconds = 5.0;
  long fields = -1;  // >= 0: the manual clock
};

bool ParseOptions(std::vector<std::string>& words, PlayOptions& options, std::string& error) {
  while (!words.empty() && words.front().starts_with("--")) {
    if (words.size() < 2) return error = words.front() + " needs a number", false;
    char* end = nullptr;
    const double number = std::strtod(words[1].c_str(), &end);
    if (end == nullptr || *end != '\0' || !(number >= 0)) {
      return error = words.front() + " needs a number from 0", false;
    }
    if (words.front() == "--seconds") {
      options.seconds = number;
    } else if (words.front() == "--fields") {
      options.fields = static_cast<long>(number);
    } else {
      return error = "unknown option " + words.front(), false;
    }
    words.erase(words.begin(), words.begin() + 2);
  }
  return true;
}

bool Build(const FrameworkLibrary& framework, const GraphDescription& description,
           BuiltGraph& graph, std::string& error) {
  for (const GraphNodeDescription& d : description.nodes) {
    BuiltNode built{d.name};
    try {
      built.object = framework.New(d.className);
    } catch (const char* text) {
      return error = d.name + ": " + (text ? text : "Unknown Internal Error"), false;
    } catch (...) {
      return error = d.name + ": Unknown Internal Error", false;
    }
    if (built.object == nullptr) {
      return error = d.name + ": no registered class answers \"" + d.className + "\"", false;
    }
    built.node = dynamic_cast<DataStream_Processor*>(built.object);
    graph.nodes.push_back(built);
    if (built.node == nullptr) {
      return error = d.name + ": " + d.className + " is not a processing node", false;
    }
  }
  return true;
}

// Connections and values; the outputs' speeds are collected for the end.
bool Configure(const GraphDescription& description, BuiltGraph& graph,
               std::vector<std::pair<VideoQuellorOutput*, std::string>>& speeds,
               std::string& error) {
  for (const GraphNodeDescription& d : description.nodes) {
    DataStream_Processor* node = graph.Find(d.name)->node;
    auto* output = dynamic_cast<VideoQuellorOutput*>(node);
    bool speedGiven = false;
    for (const auto& [key, value] : d.values) {
      const int index = ConnectionIndex(node, key);
      if (index >= 0) {
        BuiltNode* source = graph.Find(value);
        if (source == nullptr) return error = d.name + ": no node named \"" + value + "\"", false;
        if (!node->SetConnection_In(source->node, static_cast<unsigned long>(index))) {
          return error = d.name + ": connecting " + key + " to " + value +
                         " was refused (a cycle, or no such input)",
                 false;
        }
        continue;
      }
      if (output != nullptr && key == "speed") {
        speeds.emplace_back(output, value);
        speedGiven = true;
        continue;
      }
      std::string problem;
      if (!SetNodeValue(node, key, value, problem)) return error = d.name + ": " + problem, false;
    }
    if (output != nullptr && !speedGiven) speeds.emplace_back(output, "1");
  }
  return true;
}

std::vector<VideoQuellorOutput*> Outputs(BuiltGraph& graph) {
  std::vector<VideoQuellorOutput*> outputs;
  for (BuiltNode& n : graph.nodes) {
    if (auto* output = dynamic_cast<VideoQuellorOutput*>(n.node)) outputs.push_back(output);
  }
  return outputs;
}

std::uint64_t ShownFrames(const std::vector<VideoQuellorOutput*>& outputs) {
  std::uint64_t shown = 0;
  for (VideoQuellorOutput* output : outputs) shown += output->GetCounters().shown;
  return shown;
}

bool AllStopped(const std::vector<VideoQuellorOutput*>& outputs) {
  for (VideoQuellorOutput* output : outputs) {
    if (output->GetFrameIncrement()->Get() != kVideoOutputStopped) return false;
  }
  return true;
}

// Hands the clock a frame at a time, each once the outputs have handed a
// new frame over (at most a second's wait, so a stalled graph still ends).
void PlayFields(const std::vector<VideoQuellorOutput*>& outputs, long fields) {
  board::testing::UseManualClock(board::testing::CurrentField());
  for (long done = 0; done < fields && g_interrupted == 0; done += 2) {
    const std::uint64_t before = ShownFrames(outputs);
    for (int waited = 0; waited < 1000 && ShownFrames(outputs) == before && !AllStopped(outputs);
         ++waited) {
      Sleep(1);
    }
    board::testing::AdvanceFields(fields - done >= 2 ? 2 : 1);
  }
  board::testing::UseRealtimeClock();
}

void PlaySeconds(double seconds) {
  const DWORD start = GetTickCount();
  while (g_interrupted == 0 && (GetTickCount() - start) < seconds * 1000.0) Sleep(10);
}

void PrintCounters(BuiltGraph& graph, std::ostream& out) {
  for (BuiltNode& n : graph.nodes) {
    auto* output = dynamic_cast<VideoQuellorOutput*>(n.node);
    if (output == nullptr) continue;
    const VideoQuellorOutput::Counters c = output->GetCounters();
    out << n.name << ": rendered " << c.rendered << ", shown " << c.shown << ", lost " << c.lost
        << ", dropped " << c.dropped << ", time " << output->GetCurrentTimeFrame()->Get()
        << " s, speed ";
    const double speed = output->GetFrameIncrement()->Get();
    if (speed == kVideoOutputStopped) {
      out << "stopped\n";
    } else {
      out << speed << '\n';
    }
  }
  board::BoardStatus status;
  std::string error;
  if (!board::ReadBoardStatus(status, error)) {
    out << "board: " << error << '\n';
    return;
  }
  out << "board: field " << status.fieldCounter << ", last shown field " << status.lastShownField
      << ", output " << (status.outputLive ? "live input" : "program") << ", overruns "
      << status.overruns << '\n';
}

}  // namespace

int RunGraphCommand(const FrameworkLibrary& framework, const std::vector<std::string>& words,
                    std::ostream& out, std::ostream& err) {
  std::vector<std::string> rest = words;
  PlayOptions options;
  GraphDescription description;
  std::string error;
  if (!ParseOptions(rest, options, error) || !ParseGraphDescription(rest, description, error)) {
    err << "quellhost graph: " << error << '\n' << kGraphValueHelp;
    return kHostUsageError;
  }
  BuiltGraph graph;
  std::vector<std::pair<VideoQuellorOutput*, std::string>> speeds;
  if (!Build(framework, description, graph, error)) {
    err << "quellhost graph: " << error << '\n';
    return kHostNotFound;
  }
  if (!Configure(description, graph, speeds, error)) {
    err << "quellhost graph: " << error << '\n';
    return kHostUsageError;
  }
  const std::vector<VideoQuellorOutput*> outputs = Outputs(graph);
  if (outputs.empty()) {
    err << "quellhost graph: the graph has no VideoQuellorOutput to play it\n";
    return kHostUsageError;
  }
  std::signal(SIGINT, OnInterrupt);
  if (options.fields >= 0) board::testing::UseManualClock(board::testing::CurrentField());
  for (auto& [output, speed] : speeds) {
    if (!SetOutputValue(output, "speed", speed, error)) {
      err << "quellhost graph: " << error << '\n';
      return kHostUsageError;
    }
  }
  if (options.fields >= 0) {
    PlayFields(outputs, options.fields);
  } else {
    PlaySeconds(options.seconds);
  }
  std::signal(SIGINT, SIG_DFL);
  PrintCounters(graph, out);
  return kHostSuccess;
}

}  // namespace quellor::quellhost

// The entry quellhost looks up after it has loaded the framework: the graph
// command lives in a library of its own because it links Video.quell, and a
// program linked with the plug-in would load the framework before main, out
// of earshot of the class announcements quellhost lists.
QUELLOR_EXPORT_C int QuellhostRunGraph(const quellor::quellhost::FrameworkLibrary* framework,
                                       const std::vector<std::string>* words, std::ostream* out,
                                       std::ostream* err) {
  return quellor::quellhost::RunGraphCommand(*framework, *words, *out, *err);
}
