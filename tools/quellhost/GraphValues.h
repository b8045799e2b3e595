// Setting a node's values from the text of a graph description.
#pragma once

#include <string>

class DataStream_Processor;
class VideoQuellorOutput;

namespace quellor::quellhost {

// Sets one value of node (connections are not values). False with a message
// when the class has no value of that name or the text does not fit it.
bool SetNodeValue(DataStream_Processor* node, const std::string& key, const std::string& value,
                  std::string& error);

// The output's values; speed is set last by the caller so playing starts
// once everything else is in place.
bool SetOutputValue(VideoQuellorOutput* output, const std::string& key, const std::string& value,
                    std::string& error);

// "input"/"input0"/"luma" -> 0, "input1"/"chroma" -> 1 (the luma effect's
// chroma input); -1 for other keys. ChromaKey's inputs are only "input".
int ConnectionIndex(DataStream_Processor* node, const std::string& key);

}  // namespace quellor::quellhost
