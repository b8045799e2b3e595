#include "videoproc/GraphConnections.h"

#include <unordered_set>
#include <vector>

#include "videoproc/DataStream_Processor.h"

bool DataStream_ReachesNode(DataStream_Processor* source, DataStream_Processor* target) {
  if (source == nullptr || target == nullptr) return false;
  // A set: a long chain is walked in time proportional to its length.
  std::unordered_set<DataStream_Processor*> seen{source};
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
      if (!seen.insert(input).second) continue;
      pending.push_back(input);
    }
  }
  return false;
}
