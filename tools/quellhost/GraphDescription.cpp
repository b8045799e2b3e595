#include "GraphDescription.h"

#include <cctype>

namespace quellor::quellhost {
namespace {

std::string Trim(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

bool IsName(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  }
  return true;
}

// "key=value, more, key2=value2" into pairs.
bool ParseValues(const std::string& inside, GraphNodeDescription& node, std::string& error) {
  std::size_t start = 0;
  while (start <= inside.size()) {
    std::size_t comma = inside.find(',', start);
    if (comma == std::string::npos) comma = inside.size();
    const std::string piece = Trim(inside.substr(start, comma - start));
    start = comma + 1;
    if (piece.empty()) continue;
    const std::size_t equals = piece.find('=');
    if (equals == std::string::npos) {
      if (node.values.empty()) {
        error = node.name + ": \"" + piece + "\" is not key=value";
        return false;
      }
      node.values.back().second += "," + piece;
      continue;
    }
    const std::string key = Trim(piece.substr(0, equals));
    if (!IsName(key)) {
      error = node.name + ": \"" + key + "\" is not a value name";
      return false;
    }
    node.values.emplace_back(key, Trim(piece.substr(equals + 1)));
  }
  return true;
}

}  // namespace

bool ParseGraphDescription(const std::vector<std::string>& words, GraphDescription& graph,
                           std::string& error) {
  std::string text;
  for (const std::string& word : words) text += word + " ";
  std::size_t at = 0;
  while (true) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    if (at >= text.size()) break;
    const std::size_t equals = text.find('=', at);
    const std::size_t open = text.find('(', at);
    if (equals == std::string::npos || open == std::string::npos || open < equals) {
      error = "expected name=Class(...) at \"" + Trim(text.substr(at, 40)) + "\"";
      return false;
    }
    GraphNodeDescription node;
    node.name = Trim(text.substr(at, equals - at));
    node.className = Trim(text.substr(equals + 1, open - equals - 1));
    if (!IsName(node.name) || !IsName(node.className)) {
      error = "expected name=Class(...) at \"" + Trim(text.substr(at, open - at)) + "\"";
      return false;
    }
    const std::size_t close = text.find(')', open);
    if (close == std::string::npos) {
      error = node.name + ": missing \")\"";
      return false;
    }
    if (!ParseValues(text.substr(open + 1, close - open - 1), node, error)) return false;
    for (const GraphNodeDescription& other : graph.nodes) {
      if (other.name == node.name) {
        error = "the node name \"" + node.name + "\" is used twice";
        return false;
      }
    }
    graph.nodes.push_back(std::move(node));
    at = close + 1;
  }
  if (graph.nodes.empty()) {
    error = "the graph has no node";
    return false;
  }
  return true;
}

}  // namespace quellor::quellhost
