#include "quellor/testing/BoardReset.h"

#include <cstdlib>

#include "board/testing/BoardClock.h"

namespace quellor::testing {

void UsePrivateBoard(const std::string& folder, FieldClock clock) {
  ::setenv("QUELLOR_BOARD_DIR", folder.c_str(), 1);
  ::unsetenv("QUELLOR_BOARD");
  if (clock == FieldClock::Manual) board::testing::UseManualClock(0);
  board::testing::ResetBoard();
}

void ResetBoard() {
  board::testing::ResetBoard();
}

}  // namespace quellor::testing
