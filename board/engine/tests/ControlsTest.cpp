// Control values: by name and type code, input and output sides, shared by
// every process of the board.
#include "BoardTestSupport.h"
#include "board/BoardControl.h"

#include <filesystem>

namespace quellor::board::tests {
namespace {

class ControlsTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    client = RTME_OpenSwitcherClient("test.controls.switcher");
    ASSERT_NE(client, 0u);
  }
  void TearDown() override {
    RTME_CloseSwitcherClient(client);
    BoardTest::TearDown();
  }
  std::int32_t Read(const char* name, DWORD type) {
    std::int32_t value = -999;
    EXPECT_TRUE(RTME_GetControl(client, 0, 0, name, type, &value, 4)) << name;
    return value;
  }
  DWORD client = 0;
};

TEST_F(ControlsTest, ValuesAreReadBackByNameAndType) {
  EXPECT_EQ(Read("control.contrast", 4), 0);  // a board control reads 0 until set
  const DWORD contrast = static_cast<DWORD>(-12);
  ASSERT_TRUE(RTME_SetInputControl(client, 0, 0, "control.contrast", 4, &contrast));
  EXPECT_EQ(Read("control.contrast", 4), -12);
  std::int32_t value = 0;
  EXPECT_FALSE(RTME_GetControl(client, 0, 0, "control.contrast", 5, &value, 4));
  EXPECT_FALSE(RTME_SetInputControl(client, 0, 0, "control.contrast", 5, &contrast));
  EXPECT_FALSE(RTME_GetControl(client, 0, 0, "control.contrast", 4, &value, 2));
  EXPECT_FALSE(RTME_GetControl(client, 0, 0, "control.contrast", 4, nullptr, 4));
  EXPECT_FALSE(RTME_SetInputControl(client, 0, 0, "control.contrast", 4, nullptr));
  EXPECT_FALSE(RTME_SetInputControl(0x777, 0, 0, "control.contrast", 4, &contrast));
  EXPECT_FALSE(RTME_GetControl(client, 0, 0, "control.nothing", 4, &value, 4));
}

TEST_F(ControlsTest, InputAndOutputSidesAreSeparateRegisters) {
  const DWORD inputFormat = 10, outputFormat = 1, filter = 2;
  ASSERT_TRUE(RTME_SetInputControl(client, 0, 0, "control.format", 5, &inputFormat));
  ASSERT_TRUE(RTME_SetOutputControl(client, 0, 0, "control.format", 5, &outputFormat));
  ASSERT_TRUE(RTME_SetOutputControl(client, 0, 0, "control.filter", 5, &filter));
  EXPECT_EQ(Read("control.format", 5), 10);  // the input side's value
  EXPECT_EQ(Read("control.filter", 5), 2);   // only the output side has it
  bool sawInput = false, sawOutput = false;
  for (const auto& control : ListControls()) {
    if (control.name != "control.format") continue;
    if (control.side == "input") sawInput = control.value == 10;
    if (control.side == "output") sawOutput = control.value == 1;
  }
  EXPECT_TRUE(sawInput);
  EXPECT_TRUE(sawOutput);
}

TEST_F(ControlsTest, TheBoardStartsInNtscWithItsPedestal) {
  EXPECT_EQ(Read("control.pedestal", 5), 1);
  int listed = 0;
  for (const auto& control : ListControls())
    if (control.name == "control.pedestal") listed += control.value == 1 ? 1 : 100;
  EXPECT_EQ(listed, 2);  // both sides, both on
  const DWORD removed = 0;
  ASSERT_TRUE(RTME_SetInputControl(client, 0, 0, "control.pedestal", 5, &removed));
  EXPECT_EQ(Read("control.pedestal", 5), 0);
}

TEST_F(ControlsTest, ValuesAreSharedWithOtherProcesses) {
  EXPECT_EQ(RunHelper({"set-control", "input", "control.pedestal", "0"}), "set");
  EXPECT_EQ(Read("control.pedestal", 5), 0);
  const DWORD hypk = 2;
  ASSERT_TRUE(RTME_SetInputControl(client, 0, 0, "control.hypk", 4, &hypk));
  EXPECT_EQ(RunHelper({"get-control", "control.hypk", "4"}), "2");
  std::string error;
  ASSERT_TRUE(SetControl("output", "control.scphase", -40, error)) << error;
  EXPECT_EQ(RunHelper({"get-control", "control.scphase", "5"}), "-40");
  EXPECT_FALSE(SetControl("sideways", "control.scphase", 1, error));
  EXPECT_EQ(error, "unknown side \"sideways\" (input or output)");
}

TEST_F(ControlsTest, StoredValuesThatCannotBeReadAreNeitherGuessedNorWrittenOver) {
  // A controls file whose every read fails, as on a failing disk.
  const std::filesystem::path controls = std::filesystem::path(folder()) / "controls";
  std::filesystem::create_symlink("/proc/self/mem", controls);
  std::int32_t value = -999;
  EXPECT_FALSE(RTME_GetControl(client, 0, 0, "control.pedestal", 5, &value, 4));
  EXPECT_EQ(value, -999);  // not the power-on 1 passed off as the stored value
  const DWORD contrast = 7;
  EXPECT_FALSE(RTME_SetInputControl(client, 0, 0, "control.contrast", 4, &contrast));
  EXPECT_TRUE(std::filesystem::is_symlink(controls));  // the values nobody could read stay
  std::string error;
  EXPECT_FALSE(SetControl("output", "control.scphase", 3, error));
}

}  // namespace
}  // namespace quellor::board::tests
