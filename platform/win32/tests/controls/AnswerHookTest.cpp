// Message boxes and file dialogs answered through the answer hook, and their
// behaviour when nobody answers.
#include <cstdio>
#include <fstream>

#include "ControlsTestSupport.h"

using namespace quellor::testing;
namespace desktop = quellor::desktop;
using desktop::Answer;
using desktop::Question;

namespace {

class AnswerHookTest : public ControlsTest {};

TEST_F(AnswerHookTest, MessageBoxPutsItsQuestionAndReturnsTheAnswer) {
  Question asked;
  desktop::SetAnswerHook([&](const Question& q) -> std::optional<Answer> {
    asked = q;
    return Answer{IDYES, "", 0};
  });
  int r = MessageBoxA(nullptr,
                      "Are you sure that you want to delete this file ?\nIt is not possible to "
                      "undo this operation !",
                      "Delete File", MB_YESNO | MB_ICONERROR);
  EXPECT_EQ(r, IDYES);
  EXPECT_EQ(asked.kind, Question::Kind::MessageBox);
  EXPECT_EQ(asked.caption, "Delete File");
  EXPECT_EQ(asked.style, UINT(MB_YESNO | MB_ICONERROR));
  // A button the box does not have cannot close it: the default counts.
  desktop::SetAnswerHook([](const Question&) {
    return std::optional<Answer>(Answer{IDOK, "", 0});
  });
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
}

TEST_F(AnswerHookTest, UnansweredMessageBoxPrintsAndReturnsItsDefaultButton) {
  ::testing::internal::CaptureStderr();
  int r = MessageBoxA(nullptr, "Unable to move the file.", "Error Moving File !", MB_ICONERROR);
  std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(r, IDOK);
  EXPECT_EQ(printed, "Error Moving File !: Unable to move the file.\n");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "x", nullptr, MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: x\n");
  ::testing::internal::CaptureStderr();
  // MB_DEFBUTTON4 on a two-button box falls back to the first button.
  EXPECT_EQ(MessageBoxA(nullptr, "y", "z", MB_RETRYCANCEL | MB_DEFBUTTON4), IDRETRY);
  ::testing::internal::GetCapturedStderr();
}

TEST_F(AnswerHookTest, OpenFileDialogGivesTitleFiltersAndTakesTheChosenFileAndFilter) {
  char path[260] = "C:\\clips\\last.rtv";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter =
      "RTV File Sequence (*.rtv)\0*.rtv\0JPEG Image Source (*.jpg)\0*.jpg\0All Files (*.*)\0*.*\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path;
  ofn.nMaxFile = sizeof path;
  ofn.lpstrTitle = "Select A File To Display";
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  Question asked;
  desktop::SetAnswerHook([&](const Question& q) -> std::optional<Answer> {
    asked = q;
    return Answer{0, "D:\\pictures\\bars.jpg", 2};
  });
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(asked.kind, Question::Kind::OpenFile);
  EXPECT_EQ(asked.caption, "Select A File To Display");
  ASSERT_EQ(asked.filters.size(), 3u);
  EXPECT_EQ(asked.filters[1].first, "JPEG Image Source (*.jpg)");
  EXPECT_EQ(asked.filters[1].second, "*.jpg");
  EXPECT_EQ(asked.filterIndex, 1);
  EXPECT_EQ(asked.file, "C:\\clips\\last.rtv");
  EXPECT_STREQ(path, "D:\\pictures\\bars.jpg");
  EXPECT_EQ(ofn.nFilterIndex, 2u);
  EXPECT_EQ(ofn.nFileOffset, 12);
  EXPECT_EQ(ofn.nFileExtension, 17);
}

TEST_F(AnswerHookTest, FileDialogsReportCancelWithoutAnAnswerOrWhenTheAnswerDoesNotFit) {
  char path[12] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFile = path;
  ofn.nMaxFile = sizeof path;
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  desktop::SetAnswerHook([](const Question&) {
    return std::optional<Answer>(Answer{0, "C:\\a\\much\\longer\\name.rtv", 0});
  });
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), DWORD(FNERR_BUFFERTOOSMALL));
  // A file that must exist and does not: the dialog would not have closed.
  char big[260] = "";
  ofn.lpstrFile = big;
  ofn.nMaxFile = sizeof big;
  ofn.Flags = OFN_FILEMUSTEXIST;
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
}

TEST_F(AnswerHookTest, SaveDialogAddsTheDefaultExtensionToANameWithoutOne) {
  std::string existing = ScratchPath("exists.rtv");
  std::ofstream(existing) << "x";
  char path[260] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFile = path;
  ofn.nMaxFile = sizeof path;
  ofn.lpstrDefExt = "rtv";
  desktop::SetAnswerHook([](const Question& q) {
    return std::optional<Answer>(
        Answer{0, q.kind == Question::Kind::SaveFile ? "/tmp/new" : "", 0});
  });
  ASSERT_TRUE(GetSaveFileNameA(&ofn));
  EXPECT_STREQ(path, "/tmp/new.rtv");
  desktop::SetAnswerHook([&](const Question&) {
    return std::optional<Answer>(Answer{0, existing, 0});
  });
  ofn.Flags = OFN_FILEMUSTEXIST;
  EXPECT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(std::string(path), existing);
}

}  // namespace
