#include "hub/HubBoardCalls.h"

namespace quellor::clipviewer {

HubBoardCalls BoardHubCalls() {
  return {RTME_OpenEngine,          RTME_CloseEngine,         RTME_GetMediaContext,
          Harmonex_CreateProducer,  Harmonex_DestroyProducer, Harmonex_CreateSpider,
          Harmonex_DestroySpider,   Harmonex_ConnectSpider,   Harmonex_StartSpider,
          Harmonex_StopSpider,      Harmonex_AllocateBuffer,  Harmonex_FreeBuffer,
          RTME_FillNtscFieldFormat, RTME_FillPalFieldFormat,  Harmonex_QueueField};
}

HubBoardCalls& HubBoard() {
  static HubBoardCalls calls = BoardHubCalls();
  return calls;
}

}  // namespace quellor::clipviewer
