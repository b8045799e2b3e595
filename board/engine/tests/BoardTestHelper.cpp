// A second board program for the cross-process tests. Prints one line, then
// (for "hold-*") keeps its objects until its standard input closes.
//   hold-producer NAME     -> "held" or "refused"
//   set-control SIDE NAME VALUE -> "set" or "refused"
//   get-control NAME TYPE  -> the value or "refused"
//   show-frame BYTE        -> "shown": a frame of that byte put on the output
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/Engine.h"
#include "board/Support.h"
#include "board/testing/BoardClock.h"

namespace {

void WaitForStandardInputToClose() {
  char c;
  while (read(0, &c, 1) > 0) {
  }
}

int HoldProducer(const char* name) {
  const DWORD instance = RTME_OpenEngine();
  Harmonex_FormatRecord format{};
  format.recordBytes = sizeof format;
  Harmonex_ProducerDescriptor descriptor{};
  descriptor.recordBytes = kHarmonexProducerDescriptorBytes;
  descriptor.format = &format;
  const DWORD producer = Harmonex_CreateProducer(RTME_GetMediaContext(instance), name, &descriptor);
  std::printf("%s\n", producer ? "held" : "refused");
  std::fflush(stdout);
  WaitForStandardInputToClose();
  return 0;
}

int SetControl(const std::string& side, const char* name, const char* value) {
  const DWORD client = RTME_OpenSwitcherClient("board.test.helper.switcher");
  const DWORD number = static_cast<DWORD>(std::strtol(value, nullptr, 10));
  const BOOL done = side == "input" ? RTME_SetInputControl(client, 0, 0, name, 5, &number)
                                    : RTME_SetOutputControl(client, 0, 0, name, 5, &number);
  std::printf("%s\n", done ? "set" : "refused");
  return 0;
}

int GetControl(const char* name, const char* type) {
  const DWORD client = RTME_OpenSwitcherClient("board.test.helper.switcher");
  std::int32_t value = 0;
  if (RTME_GetControl(client, 0, 0, name, static_cast<DWORD>(std::atoi(type)), &value, 4))
    std::printf("%d\n", value);
  else
    std::printf("refused\n");
  return 0;
}

int ShowFrame(const char* byte) {
  quellor::board::testing::UseManualClock(1);
  const DWORD output = RTME_CreateOutput("board.test.helper.output", 0, 0, 0);
  BYTE* buffer = nullptr;
  DWORD bytes = 0;
  const DWORD token = RTME_GetEmptyOutputBuffer(output, &buffer, &bytes);
  if (!token) {
    std::printf("refused\n");
    return 0;
  }
  std::memset(buffer, std::atoi(byte), bytes);
  RTME_ShowOutputBuffer(output, token, bytes);
  quellor::board::testing::AdvanceFields(2);  // fields 2 and 3: the whole frame
  std::printf("shown\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "hold-producer" && argc == 3) return HoldProducer(argv[2]);
  if (command == "set-control" && argc == 5) return SetControl(argv[2], argv[3], argv[4]);
  if (command == "get-control" && argc == 4) return GetControl(argv[2], argv[3]);
  if (command == "show-frame" && argc == 3) return ShowFrame(argv[2]);
  std::fprintf(stderr,
               "usage: board_test_helper hold-producer NAME | set-control SIDE NAME VALUE"
               " | get-control NAME TYPE\n");
  return 2;
}
