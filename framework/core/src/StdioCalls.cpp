#include "StdioCalls.h"

namespace {

StdioCalls g_calls = {std::fopen, std::fread, std::fwrite, std::fclose};

}  // namespace

const StdioCalls& CurrentStdioCalls() {
  return g_calls;
}

StdioCalls ReplaceStdioCalls(const StdioCalls& calls) {
  const StdioCalls previous = g_calls;
  g_calls = calls;
  return previous;
}
