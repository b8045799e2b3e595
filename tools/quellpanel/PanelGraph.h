// The processing graph behind the panel: Video.quell's nodes made by class
// name from a `quellhost graph` description, connected and given their
// values; destroyed outputs first.
#pragma once

#include <string>
#include <vector>

class PluginClass;
class DataStream_Processor;
class VideoQuellorOutput;

namespace quellor::quellpanel {

struct PanelNode {
  std::string name;
  PluginClass* object = nullptr;
  DataStream_Processor* node = nullptr;
};

class PanelGraph {
 public:
  PanelGraph() = default;
  ~PanelGraph();
  PanelGraph(const PanelGraph&) = delete;
  PanelGraph& operator=(const PanelGraph&) = delete;

  // Builds the graph from the description's words; false with a message.
  // The outputs are left stopped: Start() plays them.
  bool Build(const std::vector<std::string>& words, std::string& error);
  // Sets each output's speed (1 unless the description gave one).
  bool Start(std::string& error);

  std::vector<PanelNode>& Nodes() { return m_nodes; }
  std::vector<VideoQuellorOutput*> Outputs();

 private:
  std::vector<PanelNode> m_nodes;
  std::vector<std::pair<VideoQuellorOutput*, std::string>> m_speeds;
};

}  // namespace quellor::quellpanel
