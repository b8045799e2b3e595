// The text form of a processing graph for `quellhost graph`:
//
//   clip=RTVFileInput(files=a.rtv,b.rtv) key=ChromaKey(input=clip, mode=chroma)
//   out=VideoQuellorOutput(input=key, loop=1)
//
// Nodes are `name=Class(key=value, ...)`, separated by white space. Inside
// the parentheses, values are separated by commas; a piece without `=`
// continues the value before it, so a list of files needs no quoting.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quellor::quellhost {

struct GraphNodeDescription {
  std::string name;
  std::string className;
  std::vector<std::pair<std::string, std::string>> values;  // in the order given
};

struct GraphDescription {
  std::vector<GraphNodeDescription> nodes;
};

// Parses the words (joined with spaces). False with a message naming the
// place of the first problem; node names must be unique.
bool ParseGraphDescription(const std::vector<std::string>& words, GraphDescription& graph,
                           std::string& error);

}  // namespace quellor::quellhost
