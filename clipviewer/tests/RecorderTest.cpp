// Recording the board's input through the recorder dialog on the board's
// manual clock: numbered paths, the frames in the clip, and the failures a
// recording meets (a full disk, a writer that cannot keep up, the wrong
// video standard, a drive that went away).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "RecorderTestSupport.h"
#include "board/BoardControl.h"
#include "board/FieldRecords.h"
#include "cliplib/clip/ClipFile.h"
#include "settings/IniSettings.h"
#include "board/testing/BoardClock.h"
#include "recorder/FileList.h"
#include "recorder/FrameRing.h"
#include "recorder/RecorderTexts.h"
#include "win32/testing/FileFaults.h"

namespace quellor::clipviewer::testing {
namespace {

using namespace recorder;

class RecordingTest : public RecorderTest {
 protected:
  void SetUp() override {
    RecorderTest::SetUp();
    settings::WriteIniInt(kDiskSettingKey, 1);  // R:
  }
  std::string Clip(int n) const {
    return DriveFolder("R") + "/RecordNo" + std::to_string(n) + ".rtv";
  }
  // Whole frames in the clip; frame k must hold the board's input fields
  // 1002 + 2k and 1003 + 2k (the clock stood at 1000 at Record, and field
  // 1001 is a second field, which a recording does not start with).
  static size_t CheckFrames(const std::string& path) {
    auto clip = clip::ClipFile::Open(path.c_str());
    std::vector<uint8_t> field(kPalFieldBytes + 4096);
    auto* aligned = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(field.data()) + 4095) &
                                               ~uintptr_t(4095));
    const size_t frames = size_t(clip->FieldCount() / 2);
    const std::uint32_t clock = board::testing::CurrentField();
    for (size_t f = 0; f < 2 * frames; ++f) {
      board::testing::UseManualClock(std::uint32_t(1002 + f));
      board::BoardFrame input;
      std::string error;
      EXPECT_TRUE(board::ReadInputFrame(input, error)) << error;
      const size_t fieldBytes = input.pixels.size() / 2;
      EXPECT_TRUE(clip->ReadChunk(f, aligned, 0)) << "field " << f;
      EXPECT_EQ(std::memcmp(aligned, input.pixels.data() + (f % 2) * fieldBytes, fieldBytes), 0)
          << "field " << f;
    }
    board::testing::UseManualClock(clock);
    return frames;
  }
  size_t CountBoxes(const std::string& text) const {
    auto texts = BoxTexts();
    return size_t(std::count(texts.begin(), texts.end(), text));
  }
};

const std::string kDroppedBox = std::string(kRecordingErrorTitle) + ": " + kFramesDropped;

TEST_F(RecordingTest, RecordsTheNextFreeNumberAndEveryFrameBetweenRecordAndStop) {
  std::ofstream(Clip(0)) << "taken";
  std::ofstream(Clip(1)) << "taken";
  std::string during, after, drive;
  std::vector<std::string> list;
  bool recordEnabled = true, settingsEnabled = true;
  RunRecorder({[&](HWND d) {
                 drive = ItemText(d, kIdDrive);
                 launches.clear();
                 Click(d, kIdRecord);
                 recordEnabled = IsWindowEnabled(GetDlgItem(d, kIdRecord));
                 settingsEnabled = IsWindowEnabled(GetDlgItem(d, kIdSettings));
                 RecordFields(41);  // 20 frames, whichever field comes first
               },
               [&](HWND d) {
                 during = ItemText(d, kIdRecord);
                 Click(d, kIdStop);
               },
               [&](HWND d) {
                 after = ItemText(d, kIdRecord);
                 list = ListEntries(d);
               }});
  EXPECT_EQ(drive.substr(0, 2), "R:");
  EXPECT_FALSE(recordEnabled);
  EXPECT_FALSE(settingsEnabled);
  EXPECT_EQ(during, "20 frms");
  EXPECT_EQ(after, "Record");
  EXPECT_EQ(list, std::vector<std::string>{"R:\\RecordNo2.rtv"});
  ASSERT_FALSE(launches.empty());
  EXPECT_EQ(launches[0], "ZivaVIR Foo");
  EXPECT_EQ(CheckFrames(Clip(2)), 20u);
  EXPECT_EQ(std::filesystem::file_size(Clip(2)), 512u + 20u * kNtscFrameBytes);
  EXPECT_EQ(CountBoxes(kDroppedBox), 0u);
  EXPECT_EQ(settings::ReadIniInt(kDiskSettingKey, -1), 1);
  // The clip player and the board are free again.
  EXPECT_EQ(Recording(), nullptr);
}

TEST_F(RecordingTest, PalRecordsPalFrames) {
  settings::WriteIniInt("VideoMode", 0);
  board::InputSetting pal{board::InputSourceKind::Bars, board::VideoStandard::Pal, {}};
  std::string error;
  ASSERT_TRUE(board::SetInputSource(pal, error)) << error;
  RunRecorder({[&](HWND d) {
    Click(d, kIdRecord);
    RecordFields(11);
    Click(d, kIdStop);
  }});
  EXPECT_EQ(CheckFrames(Clip(0)), 5u);
  auto clip = clip::ClipFile::Open(Clip(0).c_str());
  EXPECT_FLOAT_EQ(clip->field_rate(), 50.0f);
}

TEST_F(RecordingTest, AFullDiskStopsTheRecordingAndTheClipKeepsItsWholeFrames) {
  win32::testing::ScopedFileFault full("RecordNo0.rtv", win32::testing::FileFault::DiskFull, -1);
  // Five frames fit, the sixth is cut short.
  full.AfterBytes(5 * uint64_t(kNtscFrameBytes) + kNtscFrameBytes / 3);
  std::string afterFault;
  RunRecorder({[&](HWND d) {
                 Click(d, kIdRecord);
                 RecordFields(41);
               },
               // The writer's Stop has been handled by now.
               [&](HWND d) { afterFault = ItemText(d, kIdRecord); }});
  EXPECT_GE(full.Triggered(), 1);
  EXPECT_EQ(afterFault, "Record");
  EXPECT_EQ(CountBoxes(kDroppedBox), 1u);
  EXPECT_EQ(CheckFrames(Clip(0)), 5u);
  EXPECT_EQ(recorder::FileList::Process().Entries(), std::vector<std::string>{"R:\\RecordNo0.rtv"});
  // The clip tool opens it as any other.
  if (const char* bin = std::getenv("QUELLOR_BIN")) {
    std::string command = std::string(bin) + "/rtvtool info '" + Clip(0) + "' >/dev/null 2>&1";
    if (std::filesystem::exists(std::string(bin) + "/rtvtool")) {
      EXPECT_EQ(std::system(command.c_str()), 0);
    }
  }
}

TEST_F(RecordingTest, AStalledWriterDropsFieldsReportsOnceAndCorruptsNothing) {
  RunRecorder({[&](HWND d) {
                 Click(d, kIdRecord);
                 Recording()->HoldWriter(true);
                 // 20 buffers fill with 40 fields; the first fields after
                 // that find no free buffer.
                 board::testing::AdvanceFields(47);
                 EXPECT_GE(Recording()->Drops(), 3u);
               },
               [&](HWND) {}});
  EXPECT_EQ(CountBoxes(kDroppedBox), 1u);
  // The stalled frames still reached the disk at Stop, intact.
  EXPECT_EQ(CheckFrames(Clip(0)), 20u);
  // Later Stop posts found no recording: each only freed the clip player.
  EXPECT_GE(std::count(launches.begin(), launches.end(), "ZivaVIR Foo"), 2);
}

TEST_F(RecordingTest, PalFieldsWhileRecordingNtscAreCountedAndNothingIsWritten) {
  board::InputSetting pal{board::InputSourceKind::Bars, board::VideoStandard::Pal, {}};
  std::string error;
  ASSERT_TRUE(board::SetInputSource(pal, error)) << error;
  unsigned drops = 0;
  RunRecorder({[&](HWND d) {
    Click(d, kIdRecord);
    RecordFields(20);
    drops = Recording()->Drops();
    Click(d, kIdStop);
  }});
  EXPECT_GE(drops, 10u);
  EXPECT_EQ(CountBoxes(kDroppedBox), 1u);
  EXPECT_EQ(std::filesystem::file_size(Clip(0)), 72u);  // the headers only
}

TEST_F(RecordingTest, ADriveWhoseFolderWentAwayGivesAMessageAndNoRecording) {
  std::vector<std::string> list;
  bool recordEnabled = false;
  RunRecorder({[&](HWND d) {
    std::filesystem::remove_all(DriveFolder("R"));
    Click(d, kIdRecord);
    recordEnabled = IsWindowEnabled(GetDlgItem(d, kIdRecord));
    list = ListEntries(d);
  }});
  EXPECT_TRUE(recordEnabled);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{std::string(kErrorRecordingTitle) +
                                                 ": Cannot open file for output."});
}

TEST_F(RecordingTest, DrivesWithoutAFolderAreNotOffered) {
  setenv("QUELLOR_DRIVES",
         ("C=" + DriveFolder("C") + ";Q=" + Folder() + "/missing;R=" + DriveFolder("R")).c_str(),
         1);
  std::vector<std::string> drives;
  RunRecorder({[&](HWND d) {
    HWND combo = GetDlgItem(d, kIdDrive);
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      char text[MAX_PATH] = "";
      SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
      drives.push_back(std::string(text).substr(0, 2));
    }
  }});
  EXPECT_EQ(drives, (std::vector<std::string>{"C:", "R:"}));
}

TEST_F(RecordingTest, NoDriveSelectedSaysSoAndStopAloneOnlyFreesThePlayer) {
  settings::WriteIniInt(kDiskSettingKey, 9);
  RunRecorder({[&](HWND d) {
    launches.clear();
    Click(d, kIdStop);
    EXPECT_EQ(launches, std::vector<std::string>{"ZivaVIR Foo"});
    Click(d, kIdRecord);
  }});
  EXPECT_EQ(BoxTexts(),
            std::vector<std::string>{std::string(kErrorRecordingTitle) + ": " + kUnableToOpen});
  EXPECT_EQ(settings::ReadIniInt(kDiskSettingKey, 0), -1);
}

TEST_F(RecordingTest, ClosingWhileRecordingStopsFirst) {
  RunRecorder({[&](HWND d) {
    Click(d, kIdRecord);
    RecordFields(9);
  }});
  EXPECT_EQ(CheckFrames(Clip(0)), 4u);
  EXPECT_EQ(recorder::FileList::Process().Entries(), std::vector<std::string>{"R:\\RecordNo0.rtv"});
}

TEST(FrameRingTest, BuffersMoveFreeToFullInOrderAndBack) {
  FrameRing ring(kNtscFrameBytes);
  ASSERT_TRUE(ring.Allocated());
  EXPECT_EQ(reinterpret_cast<uintptr_t>(ring.Buffer(0)) % 4096, 0u);
  EXPECT_EQ(ring.FreeCount(), kFrameBufferCount);
  for (int i = 0; i < kFrameBufferCount; ++i) {
    EXPECT_EQ(ring.TakeFree(), i);
    ring.PutFull(i);
  }
  EXPECT_EQ(ring.TakeFree(), kNoBuffer);
  EXPECT_EQ(ring.FullCount(), kFrameBufferCount);
  EXPECT_EQ(ring.TakeFull(), 0);  // oldest first
  EXPECT_EQ(ring.TakeFull(), 1);
  ring.PutFree(1);
  ring.PutFree(0);
  EXPECT_EQ(ring.TakeFree(), 0);  // most recently freed first
  EXPECT_EQ(ring.FullCount(), kFrameBufferCount - 2);
}

}  // namespace
}  // namespace quellor::clipviewer::testing
