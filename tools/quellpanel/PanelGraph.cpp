#include "PanelGraph.h"

#include <qlxrapi/ClassList.h>

#include "GraphDescription.h"
#include "GraphValues.h"
#include "videoproc/DataStream_Processor.h"
#include "videoproc/VideoQuellorOutput.h"

namespace quellor::quellpanel {

using quellhost::ConnectionIndex;
using quellhost::GraphDescription;
using quellhost::GraphNodeDescription;

PanelGraph::~PanelGraph() {
  // The outputs' threads pull the others: they go first.
  for (bool outputs : {true, false}) {
    for (PanelNode& n : m_nodes) {
      if ((dynamic_cast<VideoQuellorOutput*>(n.node) != nullptr) != outputs) continue;
      delete n.object;
      n.object = nullptr;
      n.node = nullptr;
    }
  }
}

std::vector<VideoQuellorOutput*> PanelGraph::Outputs() {
  std::vector<VideoQuellorOutput*> outputs;
  for (PanelNode& n : m_nodes)
    if (auto* output = dynamic_cast<VideoQuellorOutput*>(n.node)) outputs.push_back(output);
  return outputs;
}

bool PanelGraph::Build(const std::vector<std::string>& words, std::string& error) {
  GraphDescription description;
  if (!quellhost::ParseGraphDescription(words, description, error)) return false;
  for (const GraphNodeDescription& d : description.nodes) {
    PanelNode built{d.name};
    try {
      built.object = Orvane_NewByName(d.className.c_str());
    } catch (const char* text) {
      return error = d.name + ": " + (text ? text : "Unknown Internal Error"), false;
    } catch (...) {
      return error = d.name + ": Unknown Internal Error", false;
    }
    if (built.object == nullptr)
      return error = d.name + ": no registered class answers \"" + d.className + "\"", false;
    built.node = dynamic_cast<DataStream_Processor*>(built.object);
    m_nodes.push_back(built);
    if (built.node == nullptr)
      return error = d.name + ": " + d.className + " is not a processing node", false;
  }
  for (const GraphNodeDescription& d : description.nodes) {
    DataStream_Processor* node = nullptr;
    for (PanelNode& n : m_nodes)
      if (n.name == d.name) node = n.node;
    auto* output = dynamic_cast<VideoQuellorOutput*>(node);
    bool speedGiven = false;
    for (const auto& [key, value] : d.values) {
      const int index = ConnectionIndex(node, key);
      if (index >= 0) {
        DataStream_Processor* source = nullptr;
        for (PanelNode& n : m_nodes)
          if (n.name == value) source = n.node;
        if (source == nullptr) return error = d.name + ": no node named \"" + value + "\"", false;
        if (!node->SetConnection_In(source, static_cast<unsigned long>(index)))
          return error = d.name + ": connecting " + key + " to " + value + " was refused", false;
        continue;
      }
      if (output != nullptr && key == "speed") {
        m_speeds.emplace_back(output, value);
        speedGiven = true;
        continue;
      }
      std::string problem;
      if (!quellhost::SetNodeValue(node, key, value, problem))
        return error = d.name + ": " + problem, false;
    }
    if (output != nullptr && !speedGiven) m_speeds.emplace_back(output, "1");
  }
  if (Outputs().empty()) return error = "the graph has no VideoQuellorOutput to play it", false;
  return true;
}

bool PanelGraph::Start(std::string& error) {
  for (auto& [output, speed] : m_speeds)
    if (!quellhost::SetOutputValue(output, "speed", speed, error)) return false;
  return true;
}

}  // namespace quellor::quellpanel
