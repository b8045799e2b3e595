// The loader, seen from a host program laid out in a scratch folder with
// plug-ins in its folder tree: what loads, in which order, and that broken
// plug-ins neither stop the others nor leave anything behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "quellor/testing/ChildProcess.h"
#include "quellor/testing/ScratchFolder.h"

using quellor::testing::WriteFile;

namespace {

namespace fs = std::filesystem;

const fs::path kBuilt = PLUGIN_TEST_BUILD_DIR;

struct HostRun {
  int status = -1;
  std::string out;
};

std::string FrameworkPath() {
  return quellor::testing::ProgramPath("libQLXRAPI.so");
}

void CopyPlugin(const std::string& name, const fs::path& folder) {
  fs::create_directories(folder);
  fs::copy_file(kBuilt / "plugins" / (name + ".quell"), folder / (name + ".quell"),
                fs::copy_options::overwrite_existing);
}

// Copies the host into folder and runs it there with the given class names.
HostRun RunHost(const fs::path& folder, const std::vector<std::string>& names) {
  fs::path host = folder / "host";
  fs::copy_file(kBuilt / "host" / "qlxrapi_loader_test_host", host,
                fs::copy_options::overwrite_existing);
  quellor::testing::ChildOptions options;
  options.environment = {{"LD_LIBRARY_PATH", fs::path(FrameworkPath()).parent_path().string()}};
  std::vector<std::string> arguments{FrameworkPath()};
  arguments.insert(arguments.end(), names.begin(), names.end());
  const auto child = quellor::testing::RunChild(host.string(), arguments, options);
  return HostRun{child.exitCode, child.output};
}

std::size_t Registered(const std::string& out, const std::string& name) {
  return out.find("Registering Plugin Class : " + name + "\n");
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(PluginLoader, SubFoldersLoadDepthFirstBeforeTheFoldersOwnPlugins) {
  const quellor::testing::ScratchFolder folder("qlxrapi_core");
  CopyPlugin("Top", folder);
  CopyPlugin("Alpha", folder / "alpha");
  CopyPlugin("Deep", folder / "alpha" / "deep");
  CopyPlugin("Hidden", folder / ".hidden");
  CopyPlugin("Inner", folder / "folder.quell");  // a directory named like a plug-in
  // Two links back up the tree: without remembering the folders already
  // scanned, the scan would branch at every level until paths overflow.
  fs::create_directory_symlink(folder, folder / "loop");
  fs::create_directory_symlink(folder, folder / "alpha" / "back");

  HostRun run = RunHost(folder, {"Top", "top", "Alpha", "Deep", "Hidden", "Inner"});
  ASSERT_EQ(run.status, 0) << run.out;
  ASSERT_NE(Registered(run.out, "Deep"), std::string::npos) << run.out;
  EXPECT_LT(Registered(run.out, "Deep"), Registered(run.out, "Alpha"));
  EXPECT_LT(Registered(run.out, "Alpha"), Registered(run.out, "Top"));
  EXPECT_LT(Registered(run.out, "Inner"), Registered(run.out, "Top"));
  EXPECT_EQ(Registered(run.out, "Hidden"), std::string::npos) << "folders starting with . skipped";
  EXPECT_EQ(Count(run.out, "Registering Plugin Class : Top\n"), 1u) << run.out;
  EXPECT_EQ(run.out.find("folder.quell:"), std::string::npos) << "the directory is not loaded";
  EXPECT_NE(run.out.find("Top: created\ntop: none\nAlpha: created\nDeep: created\n"
                         "Hidden: none\nInner: created\n"),
            std::string::npos)
      << run.out;
}

TEST(PluginLoader, BrokenPluginsAreSkippedWithoutHarmToTheOthers) {
  const quellor::testing::ScratchFolder folder("qlxrapi_core");
  fs::path broken = folder / "broken";
  for (const char* name : {"Refuser", "Thrower", "Careless", "Silent"}) CopyPlugin(name, broken);
  WriteFile(broken / "NotALibrary.quell", "this is a text file\n");
  // An ELF header of a library for another machine (AArch64).
  std::string foreign(
      "\x7f"
      "ELF\x02\x01\x01",
      7);
  foreign.resize(64, '\0');
  foreign[16] = 3;          // ET_DYN
  foreign[18] = char(183);  // EM_AARCH64
  WriteFile(broken / "Foreign.quell", foreign);
  WriteFile(broken / "Empty.quell", "");
  CopyPlugin("Alpha", broken);
  CopyPlugin("Top", folder);

  HostRun run = RunHost(folder, {"Refuser", "Thrower", "Careless", "Silent", "Alpha", "Top"});
  ASSERT_EQ(run.status, 0) << run.out;
  // Failed start-ups take back what they registered, even when the plug-in
  // itself forgets to.
  EXPECT_NE(run.out.find("UnRegistering Plugin Class : Refuser\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("UnRegistering Plugin Class : Thrower\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Refuser: none\nThrower: none\nCareless: none\nSilent: none\n"
                         "Alpha: created\nTop: created\n"),
            std::string::npos)
      << run.out;
}

TEST(PluginLoader, TheClassListNamesWhatLoadedInLoadOrderAndNothingOfFailedStartUps) {
  const quellor::testing::ScratchFolder folder("qlxrapi_core");
  fs::path broken = folder / "broken";
  for (const char* name : {"Refuser", "Thrower", "Careless"}) CopyPlugin(name, broken);
  CopyPlugin("Deep", folder / "alpha");
  CopyPlugin("Top", folder);
  HostRun run = RunHost(folder, {});
  ASSERT_EQ(run.status, 0) << run.out;
  // The library's own control classes come first; then the plug-ins',
  // sub-folders first, then the folder's own; the failed ones leave no name.
  const std::size_t list = run.out.rfind("classes:");
  ASSERT_NE(list, std::string::npos) << run.out;
  const std::string classes = run.out.substr(list);
  EXPECT_NE(classes.find(" UtilLib_Button "), std::string::npos) << classes;
  EXPECT_TRUE(classes.ends_with(" Deep Top\n")) << classes;
  for (const char* failed : {"Refuser", "Thrower", "Careless"})
    EXPECT_EQ(classes.find(failed), std::string::npos) << classes;
}

TEST(PluginLoader, AProgramPathTooLongForTheBufferFailsTheFrameworksStartUp) {
  const quellor::testing::ScratchFolder folder("qlxrapi_core");
  fs::path deep = folder;
  while (deep.string().size() < 1100) deep /= std::string(200, 'd');
  fs::create_directories(deep);
  CopyPlugin("Top", deep);
  HostRun run = RunHost(deep, {"Top"});
  EXPECT_EQ(run.status, 3) << run.out;
  EXPECT_NE(run.out.find("framework refused: 1114\n"), std::string::npos)
      << run.out;  // DLL_INIT_FAILED
  EXPECT_EQ(Registered(run.out, "Top"), std::string::npos);
}

}  // namespace
