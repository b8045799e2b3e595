#include "RecorderTestSupport.h"

#include <filesystem>

#include "board/testing/BoardClock.h"
#include "recorder/FileList.h"
#include "recorder/RecorderTexts.h"
#include "win32/automation/Desktop.h"
#include "win32/automation/Modal.h"

namespace quellor::clipviewer::testing {

void RecorderTest::SetUp() {
  ViewerTest::SetUp();
  std::filesystem::create_directories(DriveFolder("C"));
  std::filesystem::create_directories(DriveFolder("R"));
  setenv("QUELLOR_DRIVES", ("C=" + DriveFolder("C") + ";R=" + DriveFolder("R")).c_str(), 1);
  recorder::FileList::Process().Clear();
  board::testing::UseManualClock(1000);
  desktop::SetAnswerHook([this](const desktop::Question& question) {
    boxes.push_back(question);
    desktop::Answer answer{IDOK, {}, 0};
    if (question.kind != desktop::Question::Kind::MessageBox) {
      if (!fileAnswers.empty()) {
        answer.file = fileAnswers.front();
        fileAnswers.erase(fileAnswers.begin());
      }
    } else if ((question.style & 0xF) == MB_YESNO) {
      answer.button = questionAnswer;
    }
    return std::optional<desktop::Answer>(answer);
  });
  desktop::SetModalIdleHook([this](HWND modal) {
    if (next_ < steps_.size())
      steps_[next_++](modal);
    else
      PostMessageA(modal, WM_COMMAND, recorder::kIdClose, 0);
    PostMessageA(modal, WM_NULL, 0, 0);  // the loop comes back idle
  });
  viewer_ = std::make_unique<ClipViewer>(CountingHooks());
  viewer_->Hooks().recorderDialog = [](ClipViewer& viewer) {
    recorder::RecorderDialog(viewer).Run();
  };
  ASSERT_TRUE(viewer_->InitialiseStatics());
  ASSERT_TRUE(viewer_->StartUp(""));
  desktop::RunUntilIdle();
}

void RecorderTest::TearDown() {
  desktop::SetModalIdleHook({});
  viewer_.reset();
  recorder::FileList::Process().Clear();
  board::testing::UseRealtimeClock();
  unsetenv("QUELLOR_DRIVES");
  ViewerTest::TearDown();
}

void RecorderTest::RunRecorder(std::vector<std::function<void(HWND)>> steps) {
  steps_ = std::move(steps);
  next_ = 0;
  Command(Viewer(), kCmdRecord);
}

recorder::Recorder* RecorderTest::Recording() {
  recorder::RecorderDialog* dialog = recorder::RecorderDialog::Open();
  return dialog ? dialog->ActiveRecording() : nullptr;
}

void RecorderTest::Click(HWND dialog, int id) {
  SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string RecorderTest::ItemText(HWND dialog, int id) {
  char text[128] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

std::vector<std::string> RecorderTest::ListEntries(HWND dialog) {
  HWND list = GetDlgItem(dialog, recorder::kIdFileList);
  std::vector<std::string> entries;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[MAX_PATH] = "";
    SendMessageA(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
    entries.push_back(text);
  }
  return entries;
}

void RecorderTest::SelectListEntry(HWND dialog, int index) {
  SendDlgItemMessageA(dialog, recorder::kIdFileList, LB_SETCURSEL, WPARAM(index), 0);
}

void RecorderTest::RecordFields(unsigned fields) {
  board::testing::AdvanceFields(fields);
  if (recorder::Recorder* recording = Recording()) recording->WaitUntilWritten();
}

std::vector<std::string> RecorderTest::BoxTexts() const {
  std::vector<std::string> texts;
  for (const desktop::Question& q : boxes)
    if (q.kind == desktop::Question::Kind::MessageBox) texts.push_back(q.caption + ": " + q.text);
  return texts;
}

}  // namespace quellor::clipviewer::testing
