#include "CommandTable.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quellor::tools {
namespace {

constexpr char kUsage[] = "usage: tool echo WORDS\n";

int Echo(const CommandArguments& args, std::ostream& out, std::ostream&) {
  for (const std::string& word : args) out << word << ";";
  return 7;
}

struct Outcome {
  int status;
  std::string out, err;
};

Outcome RunTool(const CommandArguments& args) {
  std::ostringstream out, err;
  const int status = RunCommandTable("tool", kUsage, {{"echo", Echo}}, args, out, err);
  return {status, out.str(), err.str()};
}

// The exit statuses and streams the tools' users and scripts rely on.
TEST(CommandTable, CommandsGetTheWordsAfterTheirNameAndBadWordsGetTheUsage) {
  const Outcome echo = RunTool({"echo", "a", "b"});
  EXPECT_EQ(echo.status, 7);
  EXPECT_EQ(echo.out, "a;b;");

  const Outcome none = RunTool({});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err, kUsage);
  EXPECT_EQ(none.out, "");

  const Outcome unknown = RunTool({"frobnicate", "echo"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, std::string("tool: unknown command \"frobnicate\"\n") + kUsage);

  for (const char* help : {"help", "--help", "-h"}) {
    const Outcome asked = RunTool({help});
    EXPECT_EQ(asked.status, 0) << help;
    EXPECT_EQ(asked.out, kUsage) << help;
    EXPECT_EQ(asked.err, "") << help;
  }
}

}  // namespace
}  // namespace quellor::tools
