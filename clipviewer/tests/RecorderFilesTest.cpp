// The recorder's file list and its commands: inserting and removing entries,
// moving and deleting the files, and every way those can fail with the list
// and the files left as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "RecorderTestSupport.h"
#include "recorder/FileCommands.h"
#include "recorder/FileList.h"
#include "recorder/RecorderTexts.h"

namespace quellor::clipviewer::testing {
namespace {

using namespace recorder;

class RecorderFilesTest : public RecorderTest {
 protected:
  std::string MakeFile(const std::string& letter, const std::string& name,
                       const std::string& text = "clip") {
    std::ofstream(DriveFolder(letter) + "/" + name) << text;
    return letter + ":\\" + name;
  }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(RecorderFilesTest, InsertPutsTheChosenFileFirstAndDeleteItemRemovesEveryCopy) {
  const std::string a = MakeFile("R", "a.rtv"), b = MakeFile("R", "b.rtv");
  fileAnswers = {a, b, a, ""};
  std::vector<std::string> inserted, afterDelete;
  RunRecorder({[&](HWND d) { Click(d, kIdInsertItem); }, [&](HWND d) { Click(d, kIdInsertItem); },
               [&](HWND d) { Click(d, kIdInsertItem); },
               [&](HWND d) { Click(d, kIdInsertItem); },  // cancelled
               [&](HWND d) {
                 inserted = ListEntries(d);
                 SelectListEntry(d, 0);
                 Click(d, kIdDeleteItem);
                 afterDelete = ListEntries(d);
               }});
  EXPECT_EQ(inserted, (std::vector<std::string>{a, b, a}));
  EXPECT_EQ(afterDelete, std::vector<std::string>{b});
  EXPECT_TRUE(std::filesystem::exists(DriveFolder("R") + "/a.rtv"));  // the file stays
  // The open dialog asked with its title and the two filters.
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes[0].caption, kInsertTitle);
  ASSERT_EQ(boxes[0].filters.size(), 2u);
  EXPECT_EQ(boxes[0].filters[0].first, "RTV File Sequence (*.rtv)");
  EXPECT_EQ(boxes[0].filters[1].second, "*.*");
}

TEST_F(RecorderFilesTest, MoveAcrossDrivesAddsTheExtensionAndRenamesEveryEntry) {
  std::filesystem::create_directories(DriveFolder("C") + "/kept");
  const std::string from = MakeFile("R", "take.rtv", "frames");
  FileList::Process().PutFirst(from);
  FileList::Process().PutFirst(from);
  fileAnswers = {"C:\\kept\\final"};
  std::vector<std::string> list;
  RunRecorder({[&](HWND d) {
    SelectListEntry(d, 0);
    launches.clear();
    Click(d, kIdMoveFile);
    list = ListEntries(d);
  }});
  EXPECT_EQ(launches, std::vector<std::string>{"ZivaVIR Foo"});
  EXPECT_EQ(list, (std::vector<std::string>{"C:\\kept\\final.rtv", "C:\\kept\\final.rtv"}));
  EXPECT_FALSE(std::filesystem::exists(DriveFolder("R") + "/take.rtv"));
  EXPECT_EQ(Contents(DriveFolder("C") + "/kept/final.rtv"), "frames");
  EXPECT_EQ(boxes.back().caption, kMoveTitle);
  EXPECT_EQ(boxes.back().file, from);  // the dialog starts at the selected path
}

TEST_F(RecorderFilesTest, MoveOntoAnExistingFileFailsAndLeavesBothFiles) {
  const std::string from = MakeFile("R", "new.rtv", "new");
  MakeFile("R", "old.rtv", "old");
  FileList::Process().PutFirst(from);
  fileAnswers = {"R:\\old"};  // ".rtv" is appended: the existing clip
  std::vector<std::string> list;
  RunRecorder({[&](HWND d) {
    SelectListEntry(d, 0);
    Click(d, kIdMoveFile);
    list = ListEntries(d);
  }});
  EXPECT_EQ(list, std::vector<std::string>{from});
  EXPECT_EQ(Contents(DriveFolder("R") + "/new.rtv"), "new");
  EXPECT_EQ(Contents(DriveFolder("R") + "/old.rtv"), "old");
  EXPECT_EQ(BoxTexts(),
            std::vector<std::string>{std::string(kErrorMovingTitle) + ": " + kUnableToMove});
}

TEST_F(RecorderFilesTest, MoveIntoAFolderThatCannotTakeItFailsAndKeepsTheFile) {
  const std::string from = MakeFile("R", "take.rtv", "frames");
  FileList::Process().PutFirst(from);
  const std::string locked = DriveFolder("C") + "/locked";
  std::filesystem::create_directories(locked);
  chmod(locked.c_str(), 0555);
  // Root may write anywhere: there a folder that is a file stands in for
  // one that cannot be written.
  const bool root = geteuid() == 0;
  if (root) std::ofstream(DriveFolder("C") + "/plain") << "not a folder";
  fileAnswers = {root ? "C:\\plain\\take" : "C:\\locked\\take"};
  std::vector<std::string> list;
  RunRecorder({[&](HWND d) {
    SelectListEntry(d, 0);
    Click(d, kIdMoveFile);
    list = ListEntries(d);
  }});
  chmod(locked.c_str(), 0755);
  EXPECT_EQ(list, std::vector<std::string>{from});
  EXPECT_EQ(Contents(DriveFolder("R") + "/take.rtv"), "frames");
  EXPECT_FALSE(std::filesystem::exists(locked + "/take.rtv"));
  EXPECT_EQ(BoxTexts(),
            std::vector<std::string>{std::string(kErrorMovingTitle) + ": " + kUnableToMove});
}

TEST_F(RecorderFilesTest, DeleteAsksFirstAndNoKeepsEverything) {
  const std::string path = MakeFile("R", "take.rtv");
  FileList::Process().PutFirst(path);
  questionAnswer = IDNO;
  std::vector<std::string> list;
  RunRecorder({[&](HWND d) {
    SelectListEntry(d, 0);
    Click(d, kIdDeleteFile);
    list = ListEntries(d);
  }});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kDeleteTitle);
  EXPECT_EQ(boxes[0].text,
            "Are you sure that you want to delete this file ?\nIt is not possible to undo this "
            "operation !");
  EXPECT_EQ(boxes[0].style & 0xF, UINT(MB_YESNO));
  EXPECT_EQ(list, std::vector<std::string>{path});
  EXPECT_TRUE(std::filesystem::exists(DriveFolder("R") + "/take.rtv"));
}

TEST_F(RecorderFilesTest, DeletingAFileThatAnotherProgramHoldsOpenRemovesItAndItsEntries) {
  const std::string path = MakeFile("R", "take.rtv");
  FileList::Process().PutFirst(path);
  FileList::Process().PutFirst(MakeFile("R", "other.rtv"));
  FileList::Process().PutFirst(path);
  // A reader that keeps the clip open (the player, a copy in progress).
  std::FILE* reader = std::fopen((DriveFolder("R") + "/take.rtv").c_str(), "rb");
  ASSERT_NE(reader, nullptr);
  std::vector<std::string> list;
  RunRecorder({[&](HWND d) {
    SelectListEntry(d, 0);
    Click(d, kIdDeleteFile);
    list = ListEntries(d);
  }});
  std::fclose(reader);
  EXPECT_EQ(list, std::vector<std::string>{"R:\\other.rtv"});
  EXPECT_FALSE(std::filesystem::exists(DriveFolder("R") + "/take.rtv"));
}

TEST_F(RecorderFilesTest, AFileThatCannotBeDeletedStaysOnTheList) {
  FileList::Process().PutFirst("R:\\gone.rtv");  // no such file
  std::vector<std::string> list;
  RunRecorder({[&](HWND d) {
    SelectListEntry(d, 0);
    Click(d, kIdDeleteFile);
    list = ListEntries(d);
  }});
  EXPECT_EQ(list, std::vector<std::string>{"R:\\gone.rtv"});
  ASSERT_EQ(boxes.size(), 2u);  // the question, then the failure
  EXPECT_EQ(boxes[1].caption, kErrorDeletingTitle);
  EXPECT_EQ(boxes[1].text, kUnableToDelete);
}

TEST_F(RecorderFilesTest, DoubleClickPlaysTheSelectedClip) {
  FileList::Process().PutFirst("R:\\RecordNo3.rtv");
  RunRecorder({[&](HWND d) {
    SelectListEntry(d, 0);
    launches.clear();
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(kIdFileList, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(GetDlgItem(d, kIdFileList)));
  }});
  EXPECT_EQ(launches, std::vector<std::string>{"zivavir \"R:\\RecordNo3.rtv\""});
}

TEST(ClipExtensionTest, AppendedUnlessPresentInAnyCase) {
  EXPECT_EQ(WithClipExtension("C:\\a"), "C:\\a.rtv");
  EXPECT_EQ(WithClipExtension("C:\\a.RtV"), "C:\\a.RtV");
  EXPECT_EQ(WithClipExtension("C:\\a.rtv.bak"), "C:\\a.rtv.bak.rtv");
  EXPECT_EQ(WithClipExtension("v"), "v.rtv");
}

}  // namespace
}  // namespace quellor::clipviewer::testing
