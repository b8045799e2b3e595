#include "app/SwitcherClient.h"

#include <string>

#include "app/ViewerTexts.h"
#include "board/Engine.h"

namespace quellor::clipviewer {

DWORD OpenViewerSwitcherClient() {
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::string name = kSwitcherClientPrefix + std::to_string(GetTickCount());
    if (DWORD client = RTME_OpenSwitcherClient(name.c_str())) return client;
  }
  return 0;
}

}  // namespace quellor::clipviewer
