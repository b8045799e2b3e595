// Connection checks shared by the nodes: a graph is pulled by recursion, so a
// cycle would recurse until the stack ran out. Nodes refuse a connection that
// would close one.
#pragma once

#include <quellor/Export.h>

class DataStream_Processor;

// Inputs looked at per node; no node of the plug-in has more than two, and a
// node that names every index (ChromaKey) stops at its first empty one.
inline constexpr unsigned long kMaxInspectedInputs = 16;

// True when `target` is `source` or can be reached from `source` by
// following inputs, that is when connecting source to an input of target
// would make a cycle. Walks without recursion and visits each node once.
QUELLOR_EXPORT bool DataStream_ReachesNode(DataStream_Processor* source,
                                           DataStream_Processor* target);
