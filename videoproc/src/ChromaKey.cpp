#include "videoproc/ChromaKey.h"

#include "GraphDepth.h"
#include "VideoItems.h"
#include "videoproc/GraphConnections.h"

const char* ChromaKey::DataStream_StreamsIn(unsigned long) {
  return "ChromaKey Input";
}

const char* ChromaKey::DataStream_StreamsOut() {
  return "ChromaKey Output";
}

DataStream_Processor* ChromaKey::GetConnection_In(unsigned long index) {
  return index == 0 ? Input() : nullptr;
}

bool ChromaKey::SetConnection_In(DataStream_Processor* node, unsigned long index) {
  if (index != 0) return false;
  if (DataStream_ReachesNode(node, this)) return false;
  FunctionBlock hold(m_connectionLock);
  m_input = node;
  return true;
}

DataStream_Processor* ChromaKey::Input() {
  FunctionBlock hold(m_connectionLock);
  return m_input;
}

bool ChromaKey::Render(DataStream* stream, DataStream_Processor*, bool* abort) {
  DataStream_Processor* input = Input();
  if (input == nullptr || stream == nullptr) return false;
  const quellor::videoproc::GraphDepth depth;
  if (depth.Exceeded() || !input->Render(stream, this, abort)) return false;
  quellor::videoproc::VideoItemView view;
  for (unsigned long i = 0; DataStream_Data* item = stream->GetStream(kVideoStreamName, i); ++i) {
    if (!quellor::videoproc::ViewVideoItem(item, view)) continue;
    ApplyKey(reinterpret_cast<unsigned char*>(view.words), nullptr,
             static_cast<unsigned int>(view.wordCount * 2));
  }
  return true;
}

double ChromaKey::GetPreferredLength() {
  DataStream_Processor* input = Input();
  const quellor::videoproc::GraphDepth depth;
  return input != nullptr && !depth.Exceeded() ? input->GetPreferredLength() : -1.0;
}
