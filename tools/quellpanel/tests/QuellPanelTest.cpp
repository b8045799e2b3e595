// quellpanel run headless from a script on a private board: the mouse moves
// a slider, and the node's value and the board's output follow; the loop
// toggle and the speed menu reach the output's own values.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "PanelRun.h"

namespace quellor::quellpanel::testing {

PanelRun RunPanel(const ScratchFolder& folder, const std::string& script,
                  const std::string& graph) {
  quellor::testing::WriteFile(folder / "script.txt", script);
  ChildOptions options;
  options.errorToOutput = true;
  options.environment = {{"QUELLOR_BOARD_DIR", (folder / "board").string()},
                         {"QUELLOR_HEADLESS", "1"}};
  const auto child = RunChild(ProgramPath("quellpanel"),
                              {"--script", (folder / "script.txt").string(), graph}, options);
  return PanelRun{child.exitCode, child.output};
}

std::vector<double> Numbers(const std::string& text, const std::string& prefix) {
  std::vector<double> numbers;
  const std::regex line(prefix + " ([-0-9.e+]+)");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator();
       ++it)
    numbers.push_back(std::stod((*it)[1]));
  return numbers;
}

}  // namespace quellor::quellpanel::testing

namespace {

using namespace quellor::quellpanel::testing;

TEST(QuellPanel, MovingASliderChangesTheNodeAndTheBoardsOutput) {
  ScratchFolder folder("quellpanel");
  const PanelRun run = RunPanel(folder,
                                "fields 8\n"
                                "output\n"
                                "print grad.tl\n"
                                "slide grad.tl 1\n"
                                "print grad.tl\n"
                                "fields 30\n"
                                "output\n"
                                "shot " +
                                    (folder / "panel.png").string() + "\n");
  ASSERT_EQ(run.status, 0) << run.out;
  const std::vector<double> corner = Numbers(run.out, "grad.tl =");
  const std::vector<double> luma = Numbers(run.out, "output luma");
  ASSERT_EQ(corner.size(), 2u) << run.out;
  ASSERT_EQ(luma.size(), 2u) << run.out;
  EXPECT_NEAR(corner[0], 16.0, 0.5);
  EXPECT_GT(corner[1], 200.0);  // dragged to the end of the track
  EXPECT_NEAR(luma[0], 16.0, 1.0);
  // One corner of four brightened: the picture's mean rises by about a
  // quarter of the step.
  EXPECT_GT(luma[1], luma[0] + 30.0) << run.out;
  EXPECT_FALSE(quellor::testing::ReadFile(folder / "panel.png").empty());
}

TEST(QuellPanel, TheLoopToggleAndTheSpeedMenuReachTheOutput) {
  ScratchFolder folder("quellpanel");
  const PanelRun run = RunPanel(folder,
                                "status\n"
                                "loop 0\n"
                                "speed 0 1\n"
                                "status\n"
                                "speed 0 3\n"
                                "status\n");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(Numbers(run.out, "speed"), (std::vector<double>{1, 0, 2})) << run.out;
  EXPECT_EQ(Numbers(run.out, "loop"), (std::vector<double>{0, 1, 1})) << run.out;
}

// The hand clock moves on in step with the output and the scope: each pair of
// fields once every buffer the board gave back has been filled again, at
// once while the output stands still; no wait runs out of its time.
TEST(QuellPanel, FieldsKeepPaceWithTheOutputPlayingOrStill) {
  ScratchFolder folder("quellpanel");
  const PanelRun run = RunPanel(folder,
                                "fields 41\n"
                                "status\n"
                                "speed 0 1\n"
                                "fields 20\n"
                                "status\n"
                                "speed 0 2\n"
                                "fields 20\n"
                                "status\n");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(Numbers(run.out, "late waits"), (std::vector<double>{0, 0, 0})) << run.out;
  const std::vector<double> shown = Numbers(run.out, "shown");
  ASSERT_EQ(shown.size(), 3u) << run.out;
  // A frame for each pair the board took (the first may wait a field for
  // its parity), beyond the four that fill the board's buffers.
  EXPECT_GE(shown[0], 4 + 19) << run.out;
  EXPECT_LE(shown[1], shown[0] + 2) << "still: one frame, then nothing\n" << run.out;
  EXPECT_GE(shown[2], shown[1] + 9) << run.out;
}

TEST(QuellPanel, AScriptMistakeNamesItsLine) {
  ScratchFolder folder("quellpanel");
  const PanelRun run = RunPanel(folder, "fields 2\nslide nothing.here 0.5\n");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.out.find("script.txt:2: no row \"nothing.here\""), std::string::npos) << run.out;
}

TEST(QuellPanel, AScriptThatCannotBeReadFails) {
  ScratchFolder folder("quellpanel");
  ChildOptions options;
  options.errorToOutput = true;
  options.environment = {{"QUELLOR_BOARD_DIR", (folder / "board").string()},
                         {"QUELLOR_HEADLESS", "1"}};
  // A folder opens but every read of it fails: before, no line was run and
  // the run ended with success.
  const auto child =
      RunChild(ProgramPath("quellpanel"), {"--script", folder.path(), kGraph}, options);
  EXPECT_EQ(child.exitCode, 2) << child.output;
  EXPECT_NE(child.output.find("cannot read the script"), std::string::npos) << child.output;
}

}  // namespace
