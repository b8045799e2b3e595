// A private board on the manual field clock for each test, and a bounded
// wait for the output's threads (a few ms at a time, never open-ended).
#pragma once

#include <windows.h>

#include <board/testing/BoardClock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace quellor::videoproc::testing {

class ManualBoardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int serial = 0;
    const char* root = std::getenv("QUELLOR_TEST_TMP");
    folder_ = std::string(root ? root : "/tmp") + "/videoproc-board-" + std::to_string(getpid()) +
              "-" + std::to_string(serial++);
    std::filesystem::remove_all(folder_);
    setenv("QUELLOR_BOARD_DIR", folder_.c_str(), 1);
    unsetenv("QUELLOR_BOARD");
    board::testing::UseManualClock(0);
    board::testing::ResetBoard();
  }
  void TearDown() override {
    board::testing::ResetBoard();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string folder_;
};

// Polls `done` every millisecond for up to five seconds.
template <typename Condition>
bool WaitFor(Condition done) {
  for (int i = 0; i < 5000; ++i) {
    if (done()) return true;
    Sleep(1);
  }
  return done();
}

}  // namespace quellor::videoproc::testing
