#include "videoproc/GraphConnections.h"

#include <algorithm>
#include <vector>

#include "videoproc/DataStream_Processor.h"

bool DataStream_ReachesNode(DataStream_Processor* source, DataStream_Processor* target) {
  if (source == nullptr || target == nullptr) return false;
  std::vector<DataStream_Processor*> seen{source};
  std::vector<DataStream_Processor*> pending{source};
  while (!pending.empty()) {
    DataStream_Processor* node = pending.back();
    pending.pop_back();
    if (node == target) return true;
    for (unsigned long i = 0; i < kMaxInspectedInputs; ++i) {
      if (node->DataStream_StreamsIn(i) == nullptr) break;
      DataStream_Processor* input = node->GetConnection_In(i);
      if (input == nullptr) {
        if (i > 0) break;  // one-input nodes that name every index end here
        continue;
      }
      if (std::find(seen.begin(), seen.end(), input) != seen.end()) continue;
      seen.push_back(input);
      pending.push_back(input);
    }
  }
  return false;
}
