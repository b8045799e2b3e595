// The text form of a processing graph, and `quellhost graph` run on the
// build's program folder with the board's hand clock.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "CommandLine.h"
#include "GraphDescription.h"

namespace quellor::quellhost {
namespace {

TEST(GraphDescriptionText, NodesValuesAndListsOfFiles) {
  GraphDescription graph;
  std::string error;
  ASSERT_TRUE(
      ParseGraphDescription({"clip=RTVFileInput(files=a.rtv,b.rtv)", "key=ChromaKey(input=clip,",
                             "mode=6)", "out=VideoQuellorOutput( input = key , loop=1 )"},
                            graph, error))
      << error;
  ASSERT_EQ(graph.nodes.size(), 3u);
  EXPECT_EQ(graph.nodes[0].className, "RTVFileInput");
  ASSERT_EQ(graph.nodes[0].values.size(), 1u);
  EXPECT_EQ(graph.nodes[0].values[0].second, "a.rtv,b.rtv");
  EXPECT_EQ(graph.nodes[1].values[1], (std::pair<std::string, std::string>{"mode", "6"}));
  EXPECT_EQ(graph.nodes[2].values[0].second, "key");
  EXPECT_EQ(graph.nodes[2].values[1].first, "loop");

  EXPECT_TRUE(ParseGraphDescription({"g=VideoGradient()"}, graph = {}, error));
}

TEST(GraphDescriptionText, MistakesAreNamed) {
  GraphDescription graph;
  std::string error;
  EXPECT_FALSE(ParseGraphDescription({}, graph, error));
  EXPECT_EQ(error, "the graph has no node");
  EXPECT_FALSE(ParseGraphDescription({"a=ChromaKey(input=b"}, graph = {}, error));
  EXPECT_EQ(error, "a: missing \")\"");
  EXPECT_FALSE(ParseGraphDescription({"a=ChromaKey() a=LumaEffect()"}, graph = {}, error));
  EXPECT_EQ(error, "the node name \"a\" is used twice");
  EXPECT_FALSE(ParseGraphDescription({"a=ChromaKey(oops)"}, graph = {}, error));
  EXPECT_FALSE(ParseGraphDescription({"ChromaKey()"}, graph = {}, error));
  EXPECT_FALSE(ParseGraphDescription({"a b=ChromaKey()"}, graph = {}, error));
  EXPECT_EQ(ParseHostCommand({"graph"}).error, "graph needs a description");
  EXPECT_EQ(ParseHostCommand({"graph", "g=VideoGradient()"}).kind, HostCommandKind::Graph);
}

struct GraphRun {
  int status = -1;
  std::string out;
};

GraphRun RunGraph(const std::string& arguments) {
  const char* bin = std::getenv("QUELLOR_BIN");
  const char* tmp = std::getenv("QUELLOR_TEST_TMP");
  const std::string command = std::string("QUELLOR_BOARD_DIR=") + (tmp ? tmp : "/tmp") +
                              "/quellhost-graph-board \"" + (bin ? bin : ".") +
                              "/quellhost\" graph " + arguments + " 2>&1";
  GraphRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.out += buffer;
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(GraphCommandRun, PlaysOnTheHandClockAndRefusesCycles) {
  GraphRun played = RunGraph(
      "--fields 20 'g=VideoGradient(flat=16:128:128) k=ChromaKey(input=g, mode=dark) "
      "out=VideoQuellorOutput(input=k)'");
  EXPECT_EQ(played.status, 0) << played.out;
  EXPECT_NE(played.out.find("out: rendered "), std::string::npos) << played.out;
  EXPECT_NE(played.out.find("board: field "), std::string::npos) << played.out;

  GraphRun cycle =
      RunGraph("'a=ChromaKey(input=b) b=ChromaKey(input=a) out=VideoQuellorOutput(input=a)'");
  EXPECT_EQ(cycle.status, 2);
  EXPECT_NE(cycle.out.find("was refused"), std::string::npos) << cycle.out;

  GraphRun unknown = RunGraph("'a=NoSuchNode()'");
  EXPECT_EQ(unknown.status, 1) << unknown.out;
  GraphRun badValue = RunGraph("'g=VideoGradient(tl=300:0:0) out=VideoQuellorOutput(input=g)'");
  EXPECT_EQ(badValue.status, 2) << badValue.out;
}

}  // namespace
}  // namespace quellor::quellhost
