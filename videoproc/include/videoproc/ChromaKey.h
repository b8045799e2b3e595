// ChromaKey: the processing node around the keying engine. It renders its
// input and keys every field against the engine's background colour; the
// host sets colours, thresholds and mode on the node itself.
#pragma once

#include <quellor/Export.h>

#include <qlxrapi/VariableBlock.h>

#include "ChromaKeyImplementation.h"
#include "DataStream_Processor.h"

class QUELLOR_EXPORT ChromaKey : public DataStream_Processor, public ChromaKeyImplementation {
 public:
  ChromaKey() = default;

  // "ChromaKey Input" for every index: the node has one input, index 0.
  const char* DataStream_StreamsIn(unsigned long index) override;
  const char* DataStream_StreamsOut() override;  // "ChromaKey Output"
  DataStream_Processor* GetConnection_In(unsigned long index) override;
  // Index 0 only; a node that would close a cycle is refused (false).
  bool SetConnection_In(DataStream_Processor* node, unsigned long index) override;
  // False without input or when the input fails; otherwise keys each
  // "Video" item in place and returns true.
  bool Render(DataStream* stream, DataStream_Processor* caller, bool* abort) override;
  // The input's length; -1.0 without input.
  double GetPreferredLength() override;

 private:
  DataStream_Processor* Input();

  Variable_Block m_connectionLock;
  DataStream_Processor* m_input = nullptr;
};
