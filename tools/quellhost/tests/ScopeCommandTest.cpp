// `quellhost scope`: its options, and the program writing a scope of the
// board's bars, on a private board, as a PNG of the right size.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ScopeCommand.h"
#include "quellor/testing/ChildProcess.h"
#include "quellor/testing/ScratchFolder.h"

namespace quellor::quellhost {
namespace {

TEST(ScopeOptions, ModeIsNeededAndChecked) {
  ScopeOptions options;
  std::string error;
  ASSERT_TRUE(
      ParseScopeOptions({"--output", "--mode", "5", "-o", "a.png", "--zoom", "2"}, options, error))
      << error;
  EXPECT_TRUE(options.output);
  EXPECT_EQ(options.mode, 5);
  EXPECT_EQ(options.png, "a.png");
  EXPECT_EQ(options.zoom, 2);

  for (const std::vector<std::string>& wrong : {std::vector<std::string>{},
                                                {"--mode", "6"},
                                                {"--mode", "1.5"},
                                                {"--mode"},
                                                {"--mode", "1", "--zoom", "0"},
                                                {"--mode", "1", "--brightness", "0"},
                                                {"--mode", "1", "--colour", "red"}}) {
    ScopeOptions o;
    std::string e;
    EXPECT_FALSE(ParseScopeOptions(wrong, o, e)) << (wrong.empty() ? "" : wrong.back());
    EXPECT_FALSE(e.empty());
  }
}

// Width and height from a PNG's header; 0 when it is not one.
std::pair<unsigned, unsigned> PngSize(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return {0, 0};
  unsigned char header[24] = {};
  const std::size_t read = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  if (read != sizeof header || png_sig_cmp(header, 0, 8) != 0) return {0, 0};
  auto word = [&](int at) {
    return unsigned(header[at]) << 24 | unsigned(header[at + 1]) << 16 |
           unsigned(header[at + 2]) << 8 | header[at + 3];
  };
  return {word(16), word(20)};
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ScopeProgram, WritesTheScopeOfThePrivateBoard) {
  quellor::testing::ScratchFolder scratch("quellhost-scope");
  const std::string png = (scratch / "vector.png").string();
  quellor::testing::ChildOptions options;
  options.errorToOutput = true;
  options.environment = {{"QUELLOR_BOARD_DIR", (scratch / "board").string()}};
  const auto run = quellor::testing::RunChild(
      quellor::testing::ProgramPath("quellhost"),
      {"scope", "--mode", "5", "--zoom", "2", "--fields", "3", "-o", png}, options);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("wrote " + png + " (vectorscope"), std::string::npos) << run.output;
  EXPECT_EQ(PngSize(png), (std::pair<unsigned, unsigned>{720, 512}));

  // A disk that fills up at 512 bytes (the signal it would send is ignored):
  // the snapshot fails and the one before stays whole.
  const std::string before = FileBytes(png);
  const std::string line = "trap '' XFSZ; ulimit -f 1; exec \"" +
                           quellor::testing::ProgramPath("quellhost") +
                           "\" scope --mode 5 --fields 1 -o \"" + png + "\"";
  const auto full = quellor::testing::RunChild("/bin/sh", {"-c", line}, options);
  EXPECT_NE(full.exitCode, 0) << full.output;
  EXPECT_TRUE(FileBytes(png) == before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), 2)
      << "the snapshot and the board's folder, no temporary";

  options.environment.push_back({"QUELLOR_BOARD", "none"});
  const auto none = quellor::testing::RunChild(quellor::testing::ProgramPath("quellhost"),
                                               {"scope", "--mode", "1", "-o", png}, options);
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.output.find("Could not create the switcher client."), std::string::npos)
      << none.output;

  const auto usage = quellor::testing::RunChild(quellor::testing::ProgramPath("quellhost"),
                                                {"scope", "-o", png}, options);
  EXPECT_EQ(usage.exitCode, 2);
  EXPECT_NE(usage.output.find("scope needs --mode"), std::string::npos) << usage.output;
}

}  // namespace
}  // namespace quellor::quellhost
