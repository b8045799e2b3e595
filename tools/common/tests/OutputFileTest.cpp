// Tool outputs: the old file survives every job that does not succeed, and
// no partial file is ever left behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "OutputFile.h"

namespace quellor::tools {
namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* root = std::getenv("QUELLOR_TEST_TMP");
    folder_ = fs::path(root ? root : fs::temp_directory_path().c_str()) /
              (std::string("output_file.") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  std::string At(const std::string& name) const { return (folder_ / name).string(); }
  static void Put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::size_t Entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {}));
  }
  fs::path folder_;
};

TEST_F(OutputFileTest, OnlyACommittedJobReplacesTheOldFile) {
  Put(At("out"), "old");
  std::string error;
  {
    OutputFile failed(At("out"));
    ASSERT_TRUE(failed.Open({}, &error)) << error;
    EXPECT_NE(failed.path(), At("out"));
    EXPECT_EQ(fs::path(failed.path()).parent_path(), folder_);  // same folder: rename is atomic
    Put(failed.path(), "partial");
  }  // the job gave up
  EXPECT_EQ(Get(At("out")), "old");
  EXPECT_EQ(Entries(), 1u);

  OutputFile done(At("out"));
  ASSERT_TRUE(done.Open({}, &error)) << error;
  Put(done.path(), "new");
  ASSERT_TRUE(done.Commit(&error)) << error;
  EXPECT_EQ(Get(At("out")), "new");
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(OutputFileTest, KeepsTheModeOfTheReplacedFileAndWritesThroughLinks) {
  Put(At("real"), "old");
  chmod(At("real").c_str(), 0640);
  fs::create_symlink(At("real"), At("link"));
  std::string error;
  OutputFile output(At("link"));
  ASSERT_TRUE(output.Open({}, &error)) << error;
  Put(output.path(), "new");
  ASSERT_TRUE(output.Commit(&error)) << error;
  EXPECT_TRUE(fs::is_symlink(At("link")));
  EXPECT_EQ(Get(At("real")), "new");
  struct stat info {};
  ASSERT_EQ(stat(At("real").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(OutputFileTest, RefusesAnInputUnderAnyOfItsNames) {
  Put(At("clip"), "precious");
  fs::create_hard_link(At("clip"), At("hard"));
  fs::create_symlink(At("clip"), At("soft"));
  for (const std::string& target :
       {At("clip"), At("hard"), At("soft"), folder_.string() + "/./clip"}) {
    std::string error;
    OutputFile output(target);
    EXPECT_FALSE(output.Open({At("soft")}, &error)) << target;
    EXPECT_NE(error.find("is the same file as the input"), std::string::npos) << error;
  }
  EXPECT_EQ(Get(At("clip")), "precious");
  EXPECT_EQ(Entries(), 3u);
}

TEST_F(OutputFileTest, RefusesAFolderAndWritesADeviceDirectly) {
  fs::create_directory(At("folder"));
  std::string error;
  OutputFile folder(At("folder"));
  EXPECT_FALSE(folder.Open({}, &error));
  OutputFile device("/dev/null");
  ASSERT_TRUE(device.Open({}, &error)) << error;
  EXPECT_EQ(device.path(), "/dev/null");
  EXPECT_TRUE(device.Commit(&error));
  EXPECT_TRUE(fs::exists("/dev/null"));
}

TEST_F(OutputFileTest, AnInterruptedJobLeavesTheOldFileAndNoTemporary) {
  Put(At("out"), "old");
  for (const int signal_number : {SIGINT, SIGTERM}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::signal(signal_number, SIG_DFL);
      OutputFile output(At("out"));
      std::string error;
      if (!output.Open({}, &error)) _exit(3);
      Put(output.path(), "partial");
      std::raise(signal_number);
      _exit(4);  // not reached: the signal ends the process
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), signal_number);
    EXPECT_EQ(Get(At("out")), "old");
    EXPECT_EQ(Entries(), 1u);
  }
}

}  // namespace
}  // namespace quellor::tools
