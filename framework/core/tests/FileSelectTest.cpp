// FileSelectNames, named search paths and FindFiles_FindFile.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <qlxrapi/FindFiles.h>

#include "quellor/testing/ScratchFolder.h"
#include "SearchPaths.h"

using quellor::testing::WriteFile;

namespace {

std::vector<std::string> Names(FileSelect& set) {
  std::vector<std::string> names;
  for (unsigned int i = 0; i < set.FileSelect_GetNoFiles(); ++i)
    names.push_back(set.FileSelect_Get(i));
  return names;
}

TEST(FileSelectNames, SettingPastTheEndAppendsACopy) {
  FileSelectNames set;
  char name[] = "clip.rtv";
  set.FileSelect_Set(5, name);
  ASSERT_NE(set.FileSelect_Get(0), nullptr);
  EXPECT_STREQ(set.FileSelect_Get(0), "clip.rtv");
  EXPECT_NE(set.FileSelect_Get(0), name);
  EXPECT_EQ(set.FileSelect_Get(1), nullptr);
  set.FileSelect_Set(0xFFFFFFFF, "second");
  EXPECT_EQ(Names(set), (std::vector<std::string>{"clip.rtv", "second"}));
}

TEST(FileSelectNames, SettingAnExistingIndexReplacesTheName) {
  FileSelectNames set;
  set.FileSelect_Set(0, "a");
  set.FileSelect_Set(1, "b");
  set.FileSelect_Set(0, "z");
  set.FileSelect_Set(1, set.FileSelect_Get(1));  // its own name: copied before it is freed
  set.FileSelect_Set(0, nullptr);
  EXPECT_EQ(Names(set), (std::vector<std::string>{"z", "b"}));
}

TEST(FileSelectNames, DeletingANameKeepsTheOrder) {
  FileSelectNames set;
  for (const char* name : {"a", "b", "c"}) set.FileSelect_Set(0xFFFFFFFF, name);
  set.FileSelect_DeleteFilename(1);
  EXPECT_EQ(Names(set), (std::vector<std::string>{"a", "c"}));
  set.FileSelect_DeleteFilename(2);  // past the end: nothing
  EXPECT_EQ(set.FileSelect_GetNoFiles(), 2u);
}

// A derived set sees every deletion that DeleteAllFilenames makes.
TEST(FileSelectNames, DeletingAllGoesThroughTheVirtualDeletion) {
  struct Watching : FileSelectNames {
    void FileSelect_DeleteFilename(unsigned int index) override {
      deleted.push_back(FileSelect_Get(index));
      FileSelectNames::FileSelect_DeleteFilename(index);
    }
    std::vector<std::string> deleted;
  } set;
  for (const char* name : {"a", "b", "c"}) set.FileSelect_Set(0xFFFFFFFF, name);
  set.FileSelect_DeleteAllFilenames();
  EXPECT_EQ(set.deleted, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(set.FileSelect_GetNoFiles(), 0u);
}

TEST(FindFilesPath, IsCalledByEqualTextOnly) {
  FindFilesPath path("Skins");
  EXPECT_TRUE(path.IsCalled("Skins"));
  EXPECT_TRUE(path.IsCalled(path.GetName()));
  EXPECT_FALSE(path.IsCalled("skins"));
  EXPECT_FALSE(path.IsCalled(nullptr));
  FindFilesPath unnamed("");
  EXPECT_EQ(unnamed.GetName(), nullptr);
  EXPECT_FALSE(unnamed.IsCalled(""));
  unnamed.SetName("Other");
  EXPECT_TRUE(unnamed.IsCalled("Other"));
}

std::vector<std::string> FormatsOf(const char* name) {
  FindFilesPath* path = FindSearchPath(name);
  return path != nullptr ? Names(*path) : std::vector<std::string>{};
}

std::filesystem::path ProgramFolder() {
  char path[1024];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
  return std::filesystem::path(std::string(path, length)).parent_path();
}

// A format that reaches folder from the program folder through %s.
std::string FormatFor(const std::filesystem::path& folder) {
  return "%s/" + std::filesystem::relative(folder, ProgramFolder()).string();
}

// The tests below share the process-wide set; each uses its own path names
// except where it checks the start-up state of "Skins".
TEST(FindFilesSearch, StartsWithTheSkinsFolderOfTheProgram) {
  EXPECT_EQ(FormatsOf("Skins"), (std::vector<std::string>{"%s\\Skins"}));
  FindFiles_AddPath("Skins", "%s\\Skins");
  EXPECT_EQ(FormatsOf("Skins"), (std::vector<std::string>{"%s\\Skins"}));
}

TEST(FindFilesSearch, TriesTheFormatsOfAPathInOrder) {
  const quellor::testing::ScratchFolder scratch("qlxrapi_core");
  WriteFile(scratch / "first" / "Logo" / "both.tga", "1");
  WriteFile(scratch / "second" / "Logo" / "both.tga", "2");
  WriteFile(scratch / "second" / "only.tga", "2");
  const std::string first = FormatFor(scratch / "first");
  const std::string second = FormatFor(scratch / "second");
  FindFiles_AddPath("OrderTest", first.c_str());
  FindFiles_AddPath("OrderTest", second.c_str());
  FindFiles_AddPath("OrderTest", first.c_str());  // known: not added again
  EXPECT_EQ(FormatsOf("OrderTest"), (std::vector<std::string>{first, second}));

  const char* hit = FindFiles_FindFile("OrderTest", "Logo\\both.tga");
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(std::string(hit),
            ProgramFolder().string() + "/" +
                std::filesystem::relative(scratch / "first", ProgramFolder()).string() +
                "\\Logo\\both.tga");
  hit = FindFiles_FindFile("OrderTest", "only.tga");
  ASSERT_NE(hit, nullptr);
  EXPECT_NE(std::string(hit).find("second"), std::string::npos);
  EXPECT_EQ(FindFiles_FindFile("OrderTest", "missing.tga"), nullptr);

  FindFiles_DeletePath("OrderTest", first.c_str());
  hit = FindFiles_FindFile("OrderTest", "Logo\\both.tga");
  ASSERT_NE(hit, nullptr);
  EXPECT_NE(std::string(hit).find("second"), std::string::npos);
}

TEST(FindFilesSearch, ANullPathNameSearchesEveryPath) {
  const quellor::testing::ScratchFolder scratch("qlxrapi_core");
  WriteFile(scratch / "anywhere.tga", "x");
  FindFiles_AddPath("NullNameTest", FormatFor(scratch).c_str());
  const char* hit = FindFiles_FindFile(nullptr, "anywhere.tga");
  ASSERT_NE(hit, nullptr);
  EXPECT_NE(std::string(hit).find("anywhere.tga"), std::string::npos);
}

TEST(FindFilesSearch, UnknownPathsAndFormatsFindNothing) {
  EXPECT_EQ(FindFiles_FindFile("NoSuchPath", "a.tga"), nullptr);
  FindFiles_DeletePath("NoSuchPath", "%s");
  FindFiles_DeletePath("Skins", "%s\\NotThere");
  EXPECT_EQ(FormatsOf("Skins"), (std::vector<std::string>{"%s\\Skins"}));
  EXPECT_EQ(FindFiles_FindFile("Skins", nullptr), nullptr);
  FindFiles_AddPath(nullptr, "%s");
  FindFiles_AddPath("", "%s");
  FindFiles_AddPath("NoFormat", nullptr);
  EXPECT_EQ(FindSearchPath("NoFormat"), nullptr);
}

// Conversions other than %s must not read arguments that were never passed.
TEST(FindFilesSearch, FormatsWithOtherConversionsAreTakenLiterally) {
  const quellor::testing::ScratchFolder scratch("qlxrapi_core");
  WriteFile(scratch / "100%d" / "pic.tga", "x");
  const std::string format = FormatFor(scratch) + "/100%d";
  FindFiles_AddPath("PercentTest", format.c_str());
  EXPECT_NE(FindFiles_FindFile("PercentTest", "pic.tga"), nullptr);
}

TEST(FindFilesSearch, OverlongCandidatesAreSkipped) {
  const quellor::testing::ScratchFolder scratch("qlxrapi_core");
  WriteFile(scratch / "short.tga", "x");
  const std::string longFormat = "%s/" + std::string(1100, 'x');
  FindFiles_AddPath("LongTest", longFormat.c_str());
  FindFiles_AddPath("LongTest", FormatFor(scratch).c_str());
  EXPECT_NE(FindFiles_FindFile("LongTest", "short.tga"), nullptr);
}

}  // namespace
