// LumaEffect: a two-input node that keeps the brightness (Y) of its first
// input and takes the colour (U and V) of its second.
#pragma once

#include <quellor/Export.h>

#include <qlxrapi/VariableBlock.h>

#include "DataStream_Processor.h"

class QUELLOR_EXPORT LumaEffect : public DataStream_Processor {
 public:
  LumaEffect() = default;

  // 0: "Luma In", 1: "Chroma In", null for any other index.
  const char* DataStream_StreamsIn(unsigned long index) override;
  const char* DataStream_StreamsOut() override;  // "Output"
  DataStream_Processor* GetConnection_In(unsigned long index) override;
  // Index 0 or 1; a node that would close a cycle is refused (false).
  bool SetConnection_In(DataStream_Processor* node, unsigned long index) override;
  // False when an input is missing. The chroma input renders into private
  // items taken from the pool, the luma input into the caller's; the result
  // lands in the caller's items.
  bool Render(DataStream* stream, DataStream_Processor* caller, bool* abort) override;
  // The larger of the inputs' lengths (ties give input 1's); with one input
  // connected, its length; -1.0 with none.
  double GetPreferredLength() override;

 private:
  void Inputs(DataStream_Processor*& luma, DataStream_Processor*& chroma);

  Variable_Block m_connectionLock;
  DataStream_Processor* m_input0 = nullptr;  // "Luma In": supplies Y
  DataStream_Processor* m_input1 = nullptr;  // "Chroma In": supplies U and V
};
