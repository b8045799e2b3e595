#include <windows.h>

#include "quellor/testing/Environment.h"
#include "quellor/testing/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

using quellor::testing::ScratchFolder;

std::set<std::string> Find(const std::string& pattern) {
  std::set<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.insert(data.cFileName);
  } while (FindNextFileA(search, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(FindClose(search));
  return names;
}

class FindFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name :
         {"Video.quell", "a.quell", "b.quellx", "readme", "clip1.rtv", "clip22.rtv", "CLIP3.RTV"}) {
      std::ofstream(folder_ / name) << "x";
    }
    std::filesystem::create_directory(folder_ / "sub.quell");
    std::filesystem::create_directory(folder_ / ".hidden");
  }
  ScratchFolder folder_{"win32_kernel"};
};

TEST_F(FindFilesTest, StarAndQuestionMarkMatchLikeWin32) {
  EXPECT_EQ(Find(folder_ / "*.quell"),
            (std::set<std::string>{"Video.quell", "a.quell", "sub.quell"}));
  EXPECT_EQ(Find(folder_ / "clip?.rtv"), (std::set<std::string>{"clip1.rtv", "CLIP3.RTV"}));
  EXPECT_EQ(Find(folder_ / "clip*.rtv"),
            (std::set<std::string>{"clip1.rtv", "clip22.rtv", "CLIP3.RTV"}));
  // "*.*" lists everything, names without a dot and "." / ".." included.
  auto all = Find(folder_ / "*.*");
  EXPECT_TRUE(all.count("readme"));
  EXPECT_TRUE(all.count("."));
  EXPECT_TRUE(all.count(".."));
  EXPECT_TRUE(all.count(".hidden"));
  EXPECT_EQ(all.size(), 11u);
  EXPECT_EQ(Find(folder_ / "readme.*"), (std::set<std::string>{"readme"}));
}

TEST_F(FindFilesTest, BackslashesAndAttributes) {
  std::string pattern = folder_.path() + "\\*.quell";
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  int directories = 0, files = 0;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ++directories;
      EXPECT_STREQ(data.cFileName, "sub.quell");
    } else {
      ++files;
      EXPECT_EQ(data.nFileSizeLow, 1u);
    }
  } while (FindNextFileA(search, &data));
  FindClose(search);
  EXPECT_EQ(directories, 1);
  EXPECT_EQ(files, 2);
}

TEST_F(FindFilesTest, NothingFoundAndMissingFolders) {
  WIN32_FIND_DATAA data;
  EXPECT_EQ(FindFirstFileA((folder_ / "*.none").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(FindFirstFileA((folder_ / "missing/*.*").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(FindClose(nullptr));
}

}  // namespace
