#include "videoproc/DataStream_Processor.h"

bool DataStream_Processor::Render(DataStream*, DataStream_Processor*, bool*) {
  return true;
}

bool DataStream_Processor::RenderDataStream(double, double, double, bool*) {
  return true;
}

DataStream_Processor::~DataStream_Processor() = default;
