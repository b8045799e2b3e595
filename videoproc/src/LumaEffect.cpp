#include "videoproc/LumaEffect.h"

#include <algorithm>
#include <cstring>

#include "GraphDepth.h"
#include "VideoItems.h"
#include "VideoRows.h"
#include "videoproc/DataStreamPool.h"
#include "videoproc/GraphConnections.h"

namespace {

// Gives every item of a private stream back to the pool.
void ReleaseAll(DataStream& stream) {
  for (unsigned long i = 0; DataStream_Data* item = stream.GetStream(nullptr, i); ++i) {
    ReleaseDataStreamData(item);
  }
}

}  // namespace

const char* LumaEffect::DataStream_StreamsIn(unsigned long index) {
  if (index == 0) return "Luma In";
  if (index == 1) return "Chroma In";
  return nullptr;
}

const char* LumaEffect::DataStream_StreamsOut() {
  return "Output";
}

DataStream_Processor* LumaEffect::GetConnection_In(unsigned long index) {
  FunctionBlock hold(m_connectionLock);
  if (index == 0) return m_input0;
  if (index == 1) return m_input1;
  return nullptr;
}

bool LumaEffect::SetConnection_In(DataStream_Processor* node, unsigned long index) {
  if (index > 1) return false;
  if (DataStream_ReachesNode(node, this)) return false;
  FunctionBlock hold(m_connectionLock);
  (index == 0 ? m_input0 : m_input1) = node;
  return true;
}

void LumaEffect::Inputs(DataStream_Processor*& luma, DataStream_Processor*& chroma) {
  FunctionBlock hold(m_connectionLock);
  luma = m_input0;
  chroma = m_input1;
}

bool LumaEffect::Render(DataStream* stream, DataStream_Processor*, bool* abort) {
  DataStream_Processor* luma = nullptr;
  DataStream_Processor* chroma = nullptr;
  Inputs(luma, chroma);
  if (luma == nullptr || chroma == nullptr || stream == nullptr) return false;
  const quellor::videoproc::GraphDepth depth;
  if (depth.Exceeded()) return false;

  // The chroma picture goes into pooled items of the caller's sizes, so that
  // steady rendering allocates nothing.
  DataStream privateStream;
  for (unsigned long i = 0; DataStream_Data* item = stream->GetStream(kVideoStreamName, i); ++i) {
    DataStream_Data* copy =
        GetDataStreamData(kVideoStreamName, item->GetHeaderSize(), item->GetDataSize());
    if (copy == nullptr) {  // out of memory: no second picture for this frame
      ReleaseAll(privateStream);
      return false;
    }
    if (copy->GetHeader() != nullptr && item->GetHeader() != nullptr) {
      std::memcpy(copy->GetHeader(), item->GetHeader(),
                  std::min<std::uint32_t>(item->GetHeaderSize(), sizeof(VideoStream_Header)));
    }
    privateStream.AddStream(copy);
  }

  chroma->Render(&privateStream, this, abort);
  luma->Render(stream, this, abort);

  const auto& rows = quellor::videoproc::VideoRows();
  for (unsigned long i = 0;; ++i) {
    DataStream_Data* out = stream->GetStream(kVideoStreamName, i);
    DataStream_Data* colour = privateStream.GetStream(kVideoStreamName, i);
    if (out == nullptr || colour == nullptr) break;
    if (out->GetData() == nullptr || colour->GetData() == nullptr) continue;
    const std::size_t words = std::min(out->GetDataSize(), colour->GetDataSize()) / 4;
    rows.mergeChroma(static_cast<std::uint32_t*>(out->GetData()),
                     static_cast<const std::uint32_t*>(colour->GetData()), words);
  }
  ReleaseAll(privateStream);
  return true;
}

double LumaEffect::GetPreferredLength() {
  DataStream_Processor* luma = nullptr;
  DataStream_Processor* chroma = nullptr;
  Inputs(luma, chroma);
  const quellor::videoproc::GraphDepth depth;
  if (depth.Exceeded() || (luma == nullptr && chroma == nullptr)) return -1.0;
  if (luma == nullptr) return chroma->GetPreferredLength();
  if (chroma == nullptr) return luma->GetPreferredLength();
  const double lumaLength = luma->GetPreferredLength();
  const double chromaLength = chroma->GetPreferredLength();
  return lumaLength > chromaLength ? lumaLength : chromaLength;
}
