// quellhost: its command line and the program
// itself run from the build's program folder, where it finds the framework
// and Video.quell with no set-up.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "quellor/testing/ChildProcess.h"

namespace quellor::quellhost {
namespace {

TEST(HostCommand, CommandsAndTheirDashedForms) {
  EXPECT_EQ(ParseHostCommand({"--list"}).kind, HostCommandKind::List);
  EXPECT_EQ(ParseHostCommand({"list"}).kind, HostCommandKind::List);
  HostCommand create = ParseHostCommand({"--new", "DataStream", "ChromaKey"});
  EXPECT_EQ(create.kind, HostCommandKind::New);
  EXPECT_EQ(create.names, (std::vector<std::string>{"DataStream", "ChromaKey"}));
  EXPECT_TRUE(create.error.empty());

  EXPECT_EQ(ParseHostCommand({}).error, "no command given");
  EXPECT_EQ(ParseHostCommand({"new"}).error, "new needs a class name");
  EXPECT_EQ(ParseHostCommand({"list", "x"}).error, "list takes no arguments");
  EXPECT_EQ(ParseHostCommand({"play"}).error, "unknown command \"play\"");
}

struct HostRun {
  int status = -1;
  std::string out;
};

HostRun RunQuellHost(const std::string& arguments) {
  std::istringstream words(arguments);
  std::vector<std::string> argv;
  for (std::string word; words >> word;) argv.push_back(word);
  quellor::testing::ChildOptions options;
  options.errorToOutput = true;
  const auto child =
      quellor::testing::RunChild(quellor::testing::ProgramPath("quellhost"), argv, options);
  return HostRun{child.exitCode, child.output};
}

TEST(QuellHost, ListsAndCreatesVideoQuellsClasses) {
  HostRun list = RunQuellHost("--list");
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("DataStream\nDataStream_Data\n"), std::string::npos) << list.out;

  HostRun create = RunQuellHost("--new DataStream DataStream_Data");
  EXPECT_EQ(create.status, 0);
  EXPECT_EQ(create.out,
            "DataStream: created __DataStream\nDataStream_Data: created __DataStream_Data\n");

  HostRun wrongCase = RunQuellHost("new datastream");
  EXPECT_EQ(wrongCase.status, 1);
  EXPECT_EQ(wrongCase.out, "datastream: no registered class answers this name\n");

  EXPECT_EQ(RunQuellHost("").status, 2);
}

// The list comes from the framework's class list, not from debug texts: each
// class once, in the order the plug-in registered them, with nothing else.
TEST(QuellHost, ListsTheRegistryItselfEachClassOnce) {
  HostRun list = RunQuellHost("list");
  ASSERT_EQ(list.status, 0);
  std::size_t first = list.out.find("DataStream\n");
  ASSERT_NE(first, std::string::npos) << list.out;
  EXPECT_EQ(list.out.find("DataStream\n", first + 1), std::string::npos) << list.out;
  EXPECT_LT(first, list.out.find("DataStream_Data\n"));
  EXPECT_EQ(list.out.find("Registering"), std::string::npos) << list.out;
}

}  // namespace
}  // namespace quellor::quellhost
