#include <windows.h>

#include "quellor/testing/Environment.h"
#include "quellor/testing/ScratchFolder.h"

#include <win32/testing/FileFaults.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using quellor::testing::ScopedEnvironment;
using quellor::testing::ScratchFolder;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Read(const char* section, const char* key, const char* fallback, const char* file,
                 DWORD size = 256) {
  std::string buffer(size, '#');
  DWORD length = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, file);
  return buffer.substr(0, length);
}

class PrivateProfileTest : public ::testing::Test {
 protected:
  void SetUp() override { ini_ = folder_ / "VideoQuellor.ini"; }
  ScratchFolder folder_{"win32_kernel"};
  ScopedEnvironment windir_{"QUELLOR_WINDIR", folder_ / "windows"};
  std::string ini_;
};

TEST_F(PrivateProfileTest, BareNamesLiveInTheWindowsDirectoryCreatedOnFirstWrite) {
  EXPECT_EQ(Read("VideoQuellor Configuration", "Input", "NONE", "VideoQuellor.ini"), "NONE");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "windows"));
  ASSERT_TRUE(
      WritePrivateProfileStringA("VideoQuellor Configuration", "Input", "2", "VideoQuellor.ini"));
  EXPECT_EQ(Slurp(folder_ / "windows/VideoQuellor.ini"), "[VideoQuellor Configuration]\nInput=2\n");
  EXPECT_EQ(Read("VideoQuellor Configuration", "Input", "NONE", "VideoQuellor.ini"), "2");
  EXPECT_EQ(GetPrivateProfileIntA("VideoQuellor Configuration", "Input", 7, "VideoQuellor.ini"),
            2u);
}

TEST_F(PrivateProfileTest, MissingKeysGiveTheDefaultAndCaseDoesNotMatter) {
  std::ofstream(ini_) << "[Video]\r\nMode=1\r\n";
  EXPECT_EQ(Read("VIDEO", "mode", "x", ini_.c_str()), "1");
  EXPECT_EQ(Read("Video", "Other", "fallback  ", ini_.c_str()), "fallback");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Read("Video", "Other", nullptr, ini_.c_str()), "");
  EXPECT_EQ(Read("Nope", "Mode", "d", ini_.c_str()), "d");
  EXPECT_EQ(GetPrivateProfileIntA("video", "MODE", 5, ini_.c_str()), 1u);
  EXPECT_EQ(GetPrivateProfileIntA("Video", "Missing", 5, ini_.c_str()), 5u);
  // Writing a key in another case replaces it, keeping Windows line ends.
  ASSERT_TRUE(WritePrivateProfileStringA("VIDEO", "MODE", "0", ini_.c_str()));
  EXPECT_EQ(Slurp(ini_), "[Video]\r\nMODE=0\r\n");
}

TEST_F(PrivateProfileTest, EditsKeepCommentsOrderAndOtherSections) {
  const std::string original =
      "; settings\n[First]\nA=1\n; about B\nB = two  \n\n[Second]\nC=\"quoted value\"\n";
  std::ofstream(ini_) << original;
  EXPECT_EQ(Read("First", "B", "", ini_.c_str()), "two");
  EXPECT_EQ(Read("Second", "C", "", ini_.c_str()), "quoted value");
  ASSERT_TRUE(WritePrivateProfileStringA("First", "New", "3", ini_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Second", "C", "4", ini_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Third", "D", "5", ini_.c_str()));
  EXPECT_EQ(
      Slurp(ini_),
      "; settings\n[First]\nA=1\n; about B\nB = two  \nNew=3\n\n[Second]\nC=4\n[Third]\nD=5\n");
  ASSERT_TRUE(WritePrivateProfileStringA("First", "A", nullptr, ini_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("second", nullptr, nullptr, ini_.c_str()));
  EXPECT_EQ(Slurp(ini_), "; settings\n[First]\n; about B\nB = two  \nNew=3\n\n[Third]\nD=5\n");
  // Deleting from a file that does not exist creates nothing.
  ASSERT_TRUE(WritePrivateProfileStringA("S", "K", nullptr, (folder_ / "none.ini").c_str()));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "none.ini"));
}

TEST_F(PrivateProfileTest, ListsAndTruncation) {
  std::ofstream(ini_) << "[One]\nalpha=1\nbeta=2\n[Two]\n[one]\ngamma=3\n";
  std::string sections(64, '#');
  DWORD length =
      GetPrivateProfileStringA(nullptr, nullptr, nullptr, sections.data(), 64, ini_.c_str());
  EXPECT_EQ(length, 8u);
  EXPECT_EQ(std::string(sections.data(), 9), std::string("One\0Two\0\0", 9));
  std::string keys(64, '#');
  length = GetPrivateProfileStringA("ONE", nullptr, "ignored", keys.data(), 64, ini_.c_str());
  EXPECT_EQ(std::string(keys.data(), length + 1), std::string("alpha\0beta\0\0", 12));

  // Too small a buffer: the list is cut and ends in two NULs; size - 2.
  char small[8];
  std::memset(small, '#', sizeof small);
  EXPECT_EQ(GetPrivateProfileStringA("One", nullptr, "", small, 8, ini_.c_str()), 6u);
  EXPECT_EQ(std::string(small, 8), std::string("alpha\0\0\0", 8));
  // A single value is cut to size - 1 characters.
  char tiny[4];
  EXPECT_EQ(GetPrivateProfileStringA("One", "alpha", "", tiny, 4, ini_.c_str()), 1u);
  EXPECT_EQ(GetPrivateProfileStringA("Nope", "x", "abcdef", tiny, 4, ini_.c_str()), 3u);
  EXPECT_STREQ(tiny, "abc");
  EXPECT_EQ(GetPrivateProfileStringA("One", "alpha", "", tiny, 0, ini_.c_str()), 0u);
  // No file at all: empty lists.
  char none[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(
      GetPrivateProfileStringA(nullptr, nullptr, nullptr, none, 4, (folder_ / "none.ini").c_str()),
      0u);
  EXPECT_EQ(none[0], '\0');
  EXPECT_EQ(none[1], '\0');
}

TEST_F(PrivateProfileTest, RefusesTextThatWouldBreakTheFile) {
  EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "one\n[Injected]\nx=1", ini_.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(WritePrivateProfileStringA("S]", "K", "v", ini_.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("S", "K=J", "v", ini_.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "K", "v", ini_.c_str()));
  EXPECT_FALSE(std::filesystem::exists(ini_));
}

TEST_F(PrivateProfileTest, AFullDiskLeavesTheOldFileWhole) {
  std::ofstream(ini_) << "[S]\nK=old\n";
  {
    using quellor::win32::testing::FileFault;
    quellor::win32::testing::ScopedFileFault full("VideoQuellor.ini", FileFault::DiskFull, -1);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "new", ini_.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  }
  EXPECT_EQ(Slurp(ini_), "[S]\nK=old\n");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);  // no temporary left behind
}

TEST_F(PrivateProfileTest, TwoProcessesWritingDifferentKeysLoseNothing) {
  char program[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, program, sizeof program), 0u);
  std::string child = std::filesystem::path(program).parent_path() / "win32_kernel_test_child";
  constexpr int kKeys = 40;
  PROCESS_INFORMATION writers[2];
  const char* prefixes[2] = {"first", "second"};
  for (int i = 0; i < 2; ++i) {
    std::string line =
        "\"" + child + "\" profile \"" + ini_ + "\" " + prefixes[i] + " " + std::to_string(kKeys);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &writers[i]));
  }
  // Meanwhile this process writes a third set.
  for (int k = 0; k < kKeys; ++k) {
    std::string key = "third" + std::to_string(k);
    ASSERT_TRUE(WritePrivateProfileStringA("S", key.c_str(), "x", ini_.c_str()));
  }
  for (auto& writer : writers) {
    ASSERT_EQ(WaitForSingleObject(writer.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(writer.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(writer.hProcess);
    CloseHandle(writer.hThread);
  }
  for (const char* prefix : {"first", "second", "third"}) {
    for (int k = 0; k < kKeys; ++k) {
      std::string key = prefix + std::to_string(k);
      EXPECT_NE(Read("S", key.c_str(), "MISSING", ini_.c_str()), "MISSING") << key;
    }
  }
}

}  // namespace
