// Private-profile files that cannot be what they should: a folder, a pipe or
// no Windows directory at all must fail the call (FALSE and the reason in
// GetLastError) without blocking; and the parsed document kept between calls
// must never hide another writer's change.
#include <windows.h>

#include "quellor/testing/Environment.h"
#include "quellor/testing/ScratchFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

using quellor::testing::ScopedEnvironment;
using quellor::testing::ScratchFolder;

std::string Read(const char* key, const std::string& file) {
  char buffer[256];
  DWORD length = GetPrivateProfileStringA("S", key, "NONE", buffer, sizeof buffer, file.c_str());
  return std::string(buffer, length);
}

class PrivateProfileSafetyTest : public ::testing::Test {
 protected:
  ScratchFolder folder_{"win32_kernel"};
  std::string ini_ = folder_ / "VideoQuellor.ini";
};

TEST_F(PrivateProfileSafetyTest, AFolderOrPipeUnderTheNameFailsWithoutBlocking) {
  std::filesystem::create_directory(ini_);
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "v", ini_.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Read("K", ini_), "NONE");
  std::filesystem::remove(ini_);

  ASSERT_EQ(mkfifo(ini_.c_str(), 0600), 0);
  EXPECT_EQ(Read("K", ini_), "NONE");  // returns at once: nothing writes the pipe
  EXPECT_EQ(GetPrivateProfileIntA("S", "K", 7, ini_.c_str()), 7u);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "v", ini_.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(WritePrivateProfileStringA("S", "K", nullptr, ini_.c_str()));  // delete
}

TEST_F(PrivateProfileSafetyTest, AReadOnlyFolderFailsTheWrite) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser writes in read-only folders";
  const std::string folder = folder_ / "locked";
  std::filesystem::create_directory(folder);
  std::ofstream(folder + "/VideoQuellor.ini") << "[S]\nK=old\n";
  chmod(folder.c_str(), 0500);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "new", (folder + "/VideoQuellor.ini").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  chmod(folder.c_str(), 0700);
  EXPECT_EQ(Read("K", folder + "/VideoQuellor.ini"), "old");
}

TEST_F(PrivateProfileSafetyTest, NoWindowsDirectoryMeansNoPlaceForBareNames) {
  ScopedEnvironment windir("QUELLOR_WINDIR", "");
  ScopedEnvironment config("XDG_CONFIG_HOME", "");
  ScopedEnvironment home("HOME", "");
  char buffer[MAX_PATH];
  EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "v", "VideoQuellor.ini"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(Read("K", "VideoQuellor.ini"), "NONE");
  // A full path still works.
  EXPECT_TRUE(WritePrivateProfileStringA("S", "K", "v", ini_.c_str()));
}

TEST_F(PrivateProfileSafetyTest, EveryChangeByAnotherWriterIsSeen) {
  std::ofstream(ini_) << "[S]\nK=1\n";
  EXPECT_EQ(Read("K", ini_), "1");
  EXPECT_EQ(Read("K", ini_), "1");
  // Rewritten in place at once: same inode, same size, quite possibly the
  // same timestamp tick.
  std::ofstream(ini_, std::ios::trunc) << "[S]\nK=2\n";
  EXPECT_EQ(Read("K", ini_), "2");
  // Replaced by another file.
  const std::string other = folder_ / "other.ini";
  std::ofstream(other) << "[S]\nK=3\n";
  std::filesystem::rename(other, ini_);
  EXPECT_EQ(Read("K", ini_), "3");
  // Our own write, then an in-place change of another process's kind.
  EXPECT_TRUE(WritePrivateProfileStringA("S", "K", "4", ini_.c_str()));
  EXPECT_EQ(Read("K", ini_), "4");
  std::ofstream(ini_, std::ios::trunc) << "[S]\nK=5\nL=6\n";
  EXPECT_EQ(Read("K", ini_), "5");
  EXPECT_TRUE(WritePrivateProfileStringA("S", "M", "7", ini_.c_str()));
  std::ifstream in(ini_);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "[S]\nK=5\nL=6\nM=7\n");
  // Deleted.
  std::filesystem::remove(ini_);
  EXPECT_EQ(Read("K", ini_), "NONE");
}

TEST_F(PrivateProfileSafetyTest, AFailedWriteDoesNotLeaveItsEditBehind) {
  std::ofstream(ini_) << "[S]\nK=old\n";
  EXPECT_EQ(Read("K", ini_), "old");
  // The next write cannot create its temporary: the file's folder is gone
  // from under a name that still resolves to the cached document's path.
  const std::string blocker =
      ini_ + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(GetCurrentThreadId());
  std::filesystem::create_directory(blocker);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "new", ini_.c_str()));
  std::filesystem::remove(blocker);
  EXPECT_EQ(Read("K", ini_), "old");
  EXPECT_TRUE(WritePrivateProfileStringA("S", "L", "x", ini_.c_str()));
  std::ifstream in(ini_);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "[S]\nK=old\nL=x\n");
}

TEST_F(PrivateProfileSafetyTest, ASettingsFileLinkedInIsEditedWhereItLives) {
  // Settings kept in another folder and linked in under the usual name.
  std::filesystem::create_directories(folder_ / "kept");
  const std::string kept = folder_ / "kept/VideoQuellor.ini";
  std::ofstream(kept) << "[S]\nA=1\n";
  const std::string linked = folder_ / "VideoQuellor.ini";
  std::filesystem::create_symlink("kept/VideoQuellor.ini", linked);
  ASSERT_TRUE(WritePrivateProfileStringA("S", "B", "2", linked.c_str()));
  EXPECT_TRUE(std::filesystem::is_symlink(linked));
  std::ifstream in(kept);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "[S]\nA=1\nB=2\n");
  EXPECT_EQ(GetPrivateProfileIntA("S", "B", 0, linked.c_str()), 2u);
  EXPECT_TRUE(WritePrivateProfileStringA("S", nullptr, nullptr, linked.c_str()));
  EXPECT_TRUE(std::filesystem::is_symlink(linked));
  EXPECT_EQ(GetPrivateProfileIntA("S", "A", 7, linked.c_str()), 7u);
}

}  // namespace
