// A private virtual board for each test: its own board folder, no board
// name inherited from the environment, every object of this process gone,
// and (normally) the field clock run by hand.
#pragma once

#include <string>

namespace quellor::testing {

enum class FieldClock {
  Manual,     // fields only when the test advances them, from field 0
  Unchanged,  // whatever clock the process runs
};

// Points QUELLOR_BOARD_DIR at `folder`, removes QUELLOR_BOARD, sets the clock
// and resets the board of this process.
void UsePrivateBoard(const std::string& folder, FieldClock clock = FieldClock::Manual);
// Destroys every board object of this process (at the end of a test).
void ResetBoard();

}  // namespace quellor::testing
