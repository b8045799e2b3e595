// Shared set-up of the board tests: a private board folder per test, the
// manual field clock, and a probe that records what it receives.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "board/Engine.h"
#include "board/Support.h"
#include "quellor/testing/ChildProcess.h"
#include "quellor/testing/ScratchFolder.h"

namespace quellor::board::tests {

// A private board in a fresh folder under QUELLOR_TEST_TMP, the field clock
// run by hand from field 0.
class BoardTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  const std::string& folder() const { return folder_; }

 private:
  std::optional<quellor::testing::ScratchFolder> scratch_;
  std::string folder_;
};

// Records every field delivered to it; releases at once unless `hold` is set.
struct RecordingProbe {
  struct Field {
    RTME_FieldInfo info;
    std::vector<BYTE> pixels;
  };
  DWORD instance = 0;
  DWORD probe = 0;
  DWORD owner = 0;
  bool hold = false;
  std::vector<Field> fields;

  // Creates, attaches and installs the callback; fails the test otherwise.
  void Open(const char* name, const char* pin);
  void Close();
  static DWORD Callback(void* context, const BYTE* pixels, const RTME_FieldInfo* info);
};

// A board program in another process (board_test_helper).
class HelperProcess {
 public:
  // Starts the helper with the arguments and waits for its first line.
  explicit HelperProcess(const std::vector<std::string>& arguments);
  const std::string& firstLine() const { return firstLine_; }
  // Closes its standard input and waits for it; returns its exit status.
  int Finish();

 private:
  quellor::testing::ChildProcess child_;
  std::string firstLine_;
};

// Runs the helper to its end and returns its output.
std::string RunHelper(const std::vector<std::string>& arguments, int* exitStatus = nullptr);

}  // namespace quellor::board::tests
