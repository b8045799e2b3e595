// DataStream_Processor: a node of the pull-driven processing graph.
//
// The consumer at the end of the graph prepares a DataStream whose "Video"
// items already point where the result must go, and asks its input node to
// Render into it. A filter first lets its own input render into the same
// stream, then works on the pixels in place; a source writes them from
// scratch. Render runs on render threads, possibly several at once on one
// graph: nodes keep per-call state on the stack and guard their connections.
// A node never owns its inputs.
#pragma once

#include <quellor/Export.h>

#include "DataStream.h"

class QUELLOR_EXPORT DataStream_Processor {
 public:
  DataStream_Processor() = default;
  DataStream_Processor(const DataStream_Processor&) = delete;
  DataStream_Processor& operator=(const DataStream_Processor&) = delete;

  // The virtual operations, in their fixed slot order.

  // Slot 0: the name of input index; null past the last input.
  virtual const char* DataStream_StreamsIn(unsigned long index) = 0;
  // Slot 1: the name of the node's output; null when it has none.
  virtual const char* DataStream_StreamsOut() = 0;
  // Slot 2: the node connected to input index; null when none or no such input.
  virtual DataStream_Processor* GetConnection_In(unsigned long index) = 0;
  // Slot 3: connects node (null disconnects) to input index. False, and
  // nothing changed, when index names no input of this node.
  virtual bool SetConnection_In(DataStream_Processor* node, unsigned long index) = 0;
  // Slot 4: fills the items of stream with this node's output. True when they
  // now hold it; false loses the frame. abort points at the consumer's flag.
  virtual bool Render(DataStream* stream, DataStream_Processor* caller, bool* abort);
  // Slot 5: kept for the slot order; nothing overrides or calls it.
  virtual bool RenderDataStream(double, double, double, bool*);
  // Slot 6: seconds of material this node can produce; -1.0 endless/unknown.
  virtual double GetPreferredLength() = 0;
  // Slot 7.
  virtual ~DataStream_Processor();
};
