// Recording through the exports on the board's manual clock: exactly the
// frames between the start and stop stamps, chained clips, the frame limit,
// a disk that fills up, an input without signal (the bounded waits), and
// calls made out of order.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <future>
#include <string>

#include "BoardTestSupport.h"
#include "BridgeProcess.h"
#include "BridgeSettings.h"
#include "PixelFormats.h"
#include "PreviewProgram.h"
#include "RecordingContext.h"
#include "WaitBounds.h"
#include "board/BoardControl.h"
#include "board/testing/BoardClock.h"
#include "cliplib/clip/OpenClipTable.h"
#include "win32/testing/FileFaults.h"

namespace quellor::rtvbridge::testing {
namespace {

class RecordingTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    PutSetting("EdgeWrightVideoPreviewIn", "0");
    board::testing::UseManualClock(999);  // the next field (1000) is a first field
  }
  void TearDown() override {
    Bounds() = WaitBounds{};
    Process().module = nullptr;
    BridgeTest::TearDown();
  }

  AVFILE_Handle Open() {
    RecordingOpenRecord open{kRecordingOpenSize};
    AVFILE_Handle context = nullptr;
    EXPECT_EQ(AVFILE_OpenRecording(&context, &open), 1);
    return context;
  }
  int Add(AVFILE_Handle context, const std::string& path, std::uint32_t limit = 0) {
    RecordingFileRecord record{};
    record.size = kRecordingFileSize;
    record.frameLimit = limit;
    record.module = Process().module;
    record.path = path.empty() ? nullptr : path.c_str();
    return AVFILE_AddRecordingFile(context, &record);
  }
  static std::uint32_t Position(AVFILE_Handle context, int* result = nullptr) {
    RecordingPositionRecord position{kRecordingPositionSize, 0};
    const int fine = AVFILE_GetPositionRecording(context, &position);
    if (result != nullptr) *result = fine;
    return position.framesWritten;
  }
  // Stops on another thread while the board runs field by field, as the
  // engine would; the stop's result. The fields run only once the stop has
  // taken the board's current field, so a slow start of the stopping thread
  // does not let a further frame into the take.
  static int StopWhileFieldsRun(AVFILE_Handle context) {
    auto stop = std::async(std::launch::async, [context] { return AVFILE_StopRecording(context); });
    const auto* recording = static_cast<const RecordingContext*>(context);
    for (int i = 0; i < 2000 && !recording->StopStampTaken(); ++i) {
      if (stop.wait_for(std::chrono::milliseconds(1)) == std::future_status::ready) break;
    }
    for (int i = 0; i < 200; ++i) {
      if (stop.wait_for(std::chrono::milliseconds(2)) == std::future_status::ready) break;
      board::testing::AdvanceFields(1);
    }
    return stop.get();
  }
  // The clip's frames must be the watched input frames stamped first..
  void ExpectClipHolds(const std::string& path, const InputWatcher& input, std::uint32_t first,
                       int frames) {
    AVFILE_Handle reader = OpenForRead(path);
    ASSERT_NE(reader, nullptr) << path;
    ReadingFileInfoRecord info{};
    info.size = sizeof info;
    ASSERT_EQ(AVFILE_GetReadingFileInfo(reader, &info), 1);
    EXPECT_EQ(info.frameCount, frames) << path;
    Bytes frame(kNtsc.frameBytes() + 4);
    for (int n = 0; n < std::min(frames, info.frameCount); ++n) {
      ASSERT_EQ(ReadFrame(reader, n, kGuid422, frame), 1);
      const Bytes expected = input.Frame(first + 2 * std::uint32_t(n));
      ASSERT_EQ(expected.size(), kNtsc.frameBytes());
      EXPECT_TRUE(std::equal(expected.begin(), expected.end(), frame.begin()))
          << path << " frame " << n;
    }
    AVFILE_CloseReadingFile(reader);
  }
};

TEST_F(RecordingTest, RecordsExactlyTheFramesBetweenTheStartAndStopStamps) {
  ASSERT_TRUE(StartPlugin());
  InputWatcher input;
  AVFILE_Handle context = Open();
  ASSERT_NE(context, nullptr);
  const std::string path = Path("take.rtv");
  ASSERT_EQ(Add(context, path), 1);
  board::testing::AdvanceFields(6);              // before the start: not recorded
  ASSERT_EQ(AVFILE_StartRecording(context), 1);  // stamp 1005
  board::testing::AdvanceFields(1);              // 1006, a first field
  board::testing::AdvanceFields(20);             // frames stamped 1006 ... 1024
  ASSERT_TRUE(WaitFor([&] { return Position(context) == 10; }));
  int fine = 0;
  EXPECT_EQ(Position(context, &fine), 10u);
  EXPECT_EQ(fine, 1);
  EXPECT_EQ(StopWhileFieldsRun(context), 1);  // stop stamp 1026: 1026 is the last frame
  int after = 1;
  EXPECT_EQ(Position(context, &after), 11u);
  EXPECT_EQ(after, 0);  // the end of a take counts as trouble: the host stops
  ExpectClipHolds(path, input, 1006, 11);
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RecordingTest, ChainedClipsEachHoldTheirOwnTakeAndALimitOfNKeepsNPlusOne) {
  ASSERT_TRUE(StartPlugin());
  InputWatcher input;
  AVFILE_Handle context = Open();
  const std::string first = Path("first.rtv");
  const std::string second = Path("second.rtv");
  ASSERT_EQ(Add(context, first), 1);
  ASSERT_EQ(AVFILE_StartRecording(context), 1);  // 999
  board::testing::AdvanceFields(8);              // frames 1000 .. 1006
  ASSERT_TRUE(WaitFor([&] { return Position(context) == 4; }));
  ASSERT_EQ(StopWhileFieldsRun(context), 1);  // stop at 1007: 4 frames
  // The next clip waits for the first to be finished; it is, at once.
  ASSERT_EQ(Add(context, second, 3), 1);
  // The second take starts on an odd stamp, so its first frame is the next field.
  if (board::testing::CurrentField() % 2 == 0) board::testing::AdvanceFields(1);
  const std::uint32_t start = board::testing::CurrentField();
  ASSERT_EQ(AVFILE_StartRecording(context), 1);
  board::testing::AdvanceFields(12);  // 6 frames, only limit + 1 = 4 kept
  ASSERT_TRUE(WaitFor([&] { return Position(context) == 6; }));
  int fine = 1;
  Position(context, &fine);
  EXPECT_EQ(fine, 0);  // refused frames count
  ASSERT_EQ(StopWhileFieldsRun(context), 1);
  ExpectClipHolds(first, input, 1000, 4);
  ExpectClipHolds(second, input, start + 1, 4);
  // Without a new clip the next take records nothing.
  ASSERT_EQ(AVFILE_StartRecording(context), 1);
  board::testing::AdvanceFields(6);
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);
  ExpectClipHolds(second, input, start + 1, 4);
  EXPECT_TRUE(boxes.empty());
}

// A writer held up by the disk (here: the clip's slot held by the test)
// finds a backlog of frames when it resumes; it writes them in their order,
// each in its own place, and loses none while the buffers last.
TEST_F(RecordingTest, ABacklogBehindASlowDiskIsWrittenWholeAndInOrder) {
  ASSERT_TRUE(StartPlugin());
  InputWatcher input;
  AVFILE_Handle context = Open();
  const std::string path = Path("backlog.rtv");
  ASSERT_EQ(Add(context, path), 1);
  ASSERT_EQ(AVFILE_StartRecording(context), 1);  // 999
  board::testing::AdvanceFields(2);              // frame 1000 creates the clip
  ASSERT_TRUE(WaitFor([&] { return Position(context) == 1; }));
  // Rounds of 17 frames, then a stall of 50 frames (1.7 s): more than 20
  // frame times are still absorbed.
  std::uint32_t queued = 1;
  for (const std::uint32_t frames : {17u, 17u, 50u}) {
    {
      clip::OpenClipTable::LockedSlot held = clip::OpenClipTable::Instance().Acquire(path.c_str());
      ASSERT_TRUE(held);
      board::testing::AdvanceFields(2 * frames);  // frames queue up behind the disk
    }
    queued += frames;
    ASSERT_TRUE(WaitFor([&] { return Position(context) == queued; }));
  }
  int fine = 0;
  Position(context, &fine);
  EXPECT_EQ(fine, 1) << "no frame lost or refused";
  EXPECT_EQ(StopWhileFieldsRun(context), 1);
  const std::uint32_t written = Position(context);
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);
  ExpectClipHolds(path, input, 1000, static_cast<int>(written));
  EXPECT_TRUE(boxes.empty());
}

// A host may read the take while it grows; its reads move the position of
// the clip's shared handle. Every frame still lands in its own place, in the
// order the fields came, over many frames at the clock's full speed.
TEST_F(RecordingTest, ReadingTheTakeWhileItGrowsKeepsEveryFrameInItsPlaceAndOrder) {
  ASSERT_TRUE(StartPlugin());
  InputWatcher input;
  AVFILE_Handle context = Open();
  const std::string path = Path("growing.rtv");
  ASSERT_EQ(Add(context, path), 1);
  ASSERT_EQ(AVFILE_StartRecording(context), 1);  // 999
  std::uint32_t frames = 0;
  Bytes frame(kNtsc.frameBytes() + 4);
  for (int round = 0; round < 6; ++round) {
    board::testing::AdvanceFields(2 * 7);
    frames += 7;
    ASSERT_TRUE(WaitFor([&] { return Position(context) == frames; }));
    // Read an early frame: the shared handle is left far behind the end.
    AVFILE_Handle reader = OpenForRead(path);
    ASSERT_NE(reader, nullptr);
    ASSERT_EQ(ReadFrame(reader, round % 3, kGuid422, frame), 1);
    AVFILE_CloseReadingFile(reader);
  }
  EXPECT_EQ(StopWhileFieldsRun(context), 1);
  const std::uint32_t written = Position(context);
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);
  // Every input frame differs from the next, so a frame out of its place or
  // order cannot match.
  EXPECT_NE(input.Frame(1000), input.Frame(1002));
  ExpectClipHolds(path, input, 1000, static_cast<int>(written));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RecordingTest, AFullDiskKeepsTheFramesWrittenAndTellsTheHostAtTheStop) {
  ASSERT_TRUE(StartPlugin());
  InputWatcher input;
  AVFILE_Handle context = Open();
  const std::string path = Path("full.rtv");
  ASSERT_EQ(Add(context, path), 1);
  // Header, then room for exactly three frames.
  win32::testing::ScopedFileFault full("full.rtv", win32::testing::FileFault::DiskFull, -1);
  full.AfterBytes(3 * kNtsc.frameBytes());
  ASSERT_EQ(AVFILE_StartRecording(context), 1);
  board::testing::AdvanceFields(12);
  ASSERT_TRUE(WaitFor([&] { return Position(context) == 6; }));
  int fine = 1;
  Position(context, &fine);
  EXPECT_EQ(fine, 0);
  EXPECT_EQ(StopWhileFieldsRun(context), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "AVFILE_StopRecording");
  EXPECT_NE(boxes[0].text.find("Cannot write to output file."), std::string::npos);
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);
  ExpectClipHolds(path, input, 1000, 3);
}

TEST_F(RecordingTest, WithoutInputSignalStopAndAddFileReturnAfterTheirBound) {
  board::InputSetting none;
  none.kind = board::InputSourceKind::None;
  std::string error;
  ASSERT_TRUE(board::SetInputSource(none, error)) << error;
  ASSERT_TRUE(StartPlugin());
  Bounds().recordingMs = 20;
  AVFILE_Handle context = Open();
  ASSERT_EQ(Add(context, Path("silent.rtv")), 1);
  // A second clip waits for the first, which is never recorded.
  EXPECT_EQ(Add(context, Path("next.rtv")), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "AVFILE_AddRecordingFile");
  ASSERT_EQ(AVFILE_StartRecording(context), 1);
  board::testing::AdvanceFields(10);  // no field reaches the probe
  EXPECT_EQ(AVFILE_StopRecording(context), 0);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].caption, "AVFILE_StopRecording");
  EXPECT_NE(boxes[1].text.find("input signal"), std::string::npos);
  // The take was ended: the next clip is taken at once.
  EXPECT_EQ(Add(context, Path("next.rtv")), 1);
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);
  EXPECT_FALSE(std::filesystem::exists(Path("silent.rtv")));
}

// Files in the test's folder other than those named.
std::vector<std::string> OtherFiles(const std::string& folder, std::vector<std::string> named) {
  std::vector<std::string> others;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (std::find(named.begin(), named.end(), name) == named.end()) others.push_back(name);
  }
  return others;
}

TEST_F(RecordingTest, AnEarlierTakeIsKeptUntilTheNewTakesFirstFrameAndThenReplacedWhole) {
  const std::string path = Path("again.rtv");
  WriteClip(path, kNtsc, 5);
  const Bytes earlier = ReadFile(path);
  // A take that records nothing (no field comes before the stop gives up)
  // leaves the earlier take as it was.
  ASSERT_TRUE(StartPlugin());
  Bounds().recordingMs = 20;
  InputWatcher input;
  AVFILE_Handle context = Open();
  ASSERT_EQ(Add(context, path), 1);
  ASSERT_EQ(AVFILE_StartRecording(context), 1);
  EXPECT_EQ(AVFILE_StopRecording(context), 0);
  EXPECT_EQ(ReadFile(path), earlier);
  boxes.clear();

  // A take that records replaces the file at its first frame. The file is
  // replaced, not truncated and rewritten: a reader of the earlier take
  // (here the test) still reads all of it.
  if (board::testing::CurrentField() % 2 == 0) board::testing::AdvanceFields(1);
  const std::uint32_t start = board::testing::CurrentField();
  const int held = open(path.c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(Add(context, path), 1);
  ASSERT_EQ(AVFILE_StartRecording(context), 1);
  board::testing::AdvanceFields(8);
  ASSERT_TRUE(WaitFor([&] { return Position(context) == 4; }));
  EXPECT_EQ(StopWhileFieldsRun(context), 1);
  Bytes still(earlier.size() + 1);
  EXPECT_EQ(pread(held, still.data(), still.size(), 0), static_cast<ssize_t>(earlier.size()));
  still.resize(earlier.size());
  EXPECT_EQ(still, earlier);
  close(held);
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);
  ExpectClipHolds(path, input, start + 1, 4);
  // Nothing of the replacing is left beside the clip.
  EXPECT_EQ(OtherFiles(Path(""), {"again.rtv", "windows", "board"}), std::vector<std::string>{});
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RecordingTest, ATakeThroughALinkIsWrittenWhereTheLinkLeads) {
  ASSERT_TRUE(StartPlugin());
  InputWatcher input;
  const std::string target = Path("target.rtv");
  const std::string link = Path("link.rtv");
  WriteClip(target, kNtsc, 5);
  std::filesystem::create_symlink(target, link);
  AVFILE_Handle context = Open();
  ASSERT_EQ(Add(context, link), 1);
  ASSERT_EQ(AVFILE_StartRecording(context), 1);  // 999
  board::testing::AdvanceFields(6);
  ASSERT_TRUE(WaitFor([&] { return Position(context) == 3; }));
  EXPECT_EQ(StopWhileFieldsRun(context), 1);
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  ExpectClipHolds(target, input, 1000, 3);
  EXPECT_TRUE(boxes.empty());
}

// A looped clip on the board's input, recorded with the clock run far
// faster than the writer can keep up with between bursts: the take holds
// the clip's frames in their looped order, none swapped.
TEST_F(RecordingTest, ALoopedClipInputRecordedAtFullClockSpeedKeepsItsOrder) {
  constexpr int kClipFrames = 6;
  const std::string source = Path("source.rtv");
  WriteClip(source, kNtsc, kClipFrames);
  board::InputSetting clipInput;
  clipInput.kind = board::InputSourceKind::Clip;
  clipInput.clipPath = source;
  std::string error;
  ASSERT_TRUE(board::SetInputSource(clipInput, error)) << error;
  ASSERT_TRUE(StartPlugin());
  AVFILE_Handle context = Open();
  const std::string path = Path("looped.rtv");
  ASSERT_EQ(Add(context, path), 1);
  ASSERT_EQ(AVFILE_StartRecording(context), 1);  // 999
  constexpr std::uint32_t kFrames = 55;          // under the buffers: nothing may be lost
  board::testing::AdvanceFields(2 * kFrames);
  ASSERT_TRUE(WaitFor([&] { return Position(context) == kFrames; }));
  EXPECT_EQ(StopWhileFieldsRun(context), 1);
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);

  AVFILE_Handle reader = OpenForRead(path);
  ASSERT_NE(reader, nullptr);
  Bytes frame(kNtsc.frameBytes() + 4);
  ASSERT_EQ(ReadFrame(reader, 0, kGuid422, frame), 1);
  frame.resize(kNtsc.frameBytes());
  int first = -1;
  for (int n = 0; n < kClipFrames; ++n)
    if (frame == FrameBytes(kNtsc, n)) first = n;
  ASSERT_GE(first, 0) << "the take's first frame is no frame of the clip";
  for (std::uint32_t k = 1; k < kFrames; ++k) {
    frame.resize(kNtsc.frameBytes() + 4);
    ASSERT_EQ(ReadFrame(reader, static_cast<int>(k), kGuid422, frame), 1);
    frame.resize(kNtsc.frameBytes());
    EXPECT_EQ(frame, FrameBytes(kNtsc, (first + static_cast<int>(k)) % kClipFrames)) << k;
  }
  AVFILE_CloseReadingFile(reader);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RecordingTest, CallsOutOfOrderOrWithBadRecordsAreRefused) {
  ASSERT_TRUE(StartPlugin());
  Process().module = reinterpret_cast<HMODULE>(0x5000);
  RecordingOpenRecord wrongSize{479};
  AVFILE_Handle context = nullptr;
  EXPECT_EQ(AVFILE_OpenRecording(&context, &wrongSize), 0);
  EXPECT_EQ(AVFILE_OpenRecording(&context, nullptr), 0);
  EXPECT_EQ(context, nullptr);
  context = Open();
  ASSERT_NE(context, nullptr);
  // A second context cannot have the board's probe while the first holds it.
  RecordingOpenRecord open{kRecordingOpenSize};
  AVFILE_Handle second = nullptr;
  EXPECT_EQ(AVFILE_OpenRecording(&second, &open), 0);

  EXPECT_EQ(AVFILE_StopRecording(context), 1);  // before any start: nothing to wait for
  RecordingFileRecord file{};
  file.size = kRecordingFileSize;
  file.module = reinterpret_cast<void*>(0x6000);  // another module's record
  EXPECT_EQ(AVFILE_AddRecordingFile(context, &file), 0);
  file.module = Process().module;
  file.size = 28;
  EXPECT_EQ(AVFILE_AddRecordingFile(context, &file), 0);
  RecordingRemoveRecord remove{15, {}};
  EXPECT_EQ(AVFILE_RemoveRecordingFile(context, &remove), 0);
  remove.size = kRecordingRemoveSize;
  EXPECT_EQ(AVFILE_RemoveRecordingFile(context, &remove), 1);
  struct {
    std::int32_t size = 12;
    std::uint32_t written = 0xABCD;
    std::int32_t more = 0;
  } wide;
  EXPECT_EQ(AVFILE_GetPositionRecording(context, &wide), 0);
  EXPECT_EQ(wide.written, 0xABCDu);
  RecordingInfoRecord info{};
  EXPECT_EQ(AVFILE_GetRecordingInfo(context, &info), 1);
  EXPECT_EQ(info.size, 1060);
  EXPECT_EQ(info.forty, 40);

  int foreign[8] = {};
  EXPECT_EQ(AVFILE_StartRecording(foreign), 0);
  EXPECT_EQ(AVFILE_StartRecording(nullptr), 0);
  EXPECT_EQ(AVFILE_CloseRecording(foreign), 0);
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);
  EXPECT_EQ(AVFILE_CloseRecording(context), 0);  // twice
  EXPECT_EQ(AVFILE_StartRecording(context), 0);  // after the close
  EXPECT_FALSE(Process().recordingOpen);
  EXPECT_TRUE(boxes.empty());
  // The preview was never started: the setting says so.
  EXPECT_NE(SettingsText().find("EdgeWrightVideoPreviewIn=0"), std::string::npos);
}

// Without bit 0 no dialog opens (SettingsDialogsTest drives the dialog).
TEST_F(RecordingTest, SettingsDescribeTheStoredFormat) {
  ASSERT_TRUE(StartPlugin(0));
  RecordingSettingsRecord settings{};
  settings.size = kMinRecordingSettingsSize - 1;
  EXPECT_EQ(AVFILE_SetRecordingSettings(&settings), 0);
  settings.size = kMinRecordingSettingsSize;
  ASSERT_EQ(AVFILE_SetRecordingSettings(&settings), 1);
  EXPECT_EQ(settings.one, 1);
  EXPECT_STREQ(settings.recordedFormat.guid, kGuid422);
  EXPECT_EQ(settings.recordedFormat.height, 576);
  EXPECT_EQ(settings.recordedFormat.bytesPerFrame, 720 * 576 * 2 + 4);
  EXPECT_EQ(settings.recordedFormat.flags, 0x812);
  EXPECT_STREQ(settings.recordedFormat.name, "4:2:2");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RecordingTest, FieldsOfTheOtherStandardAreTroubleAndNotRecorded) {
  board::InputSetting pal;
  pal.standard = board::VideoStandard::Pal;
  std::string error;
  ASSERT_TRUE(board::SetInputSource(pal, error)) << error;
  ASSERT_TRUE(StartPlugin(1));  // the plug-in records NTSC
  AVFILE_Handle context = Open();
  ASSERT_EQ(Add(context, Path("wrong.rtv")), 1);
  ASSERT_EQ(AVFILE_StartRecording(context), 1);
  board::testing::AdvanceFields(4);
  int fine = 1;
  EXPECT_EQ(Position(context, &fine), 0u);
  EXPECT_EQ(fine, 0);
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);
  EXPECT_FALSE(std::filesystem::exists(Path("wrong.rtv")));
}

// The input preview runs while the context is open and is ended with it; the
// setting remembers that it was still open.
TEST_F(RecordingTest, TheInputPreviewRunsBesideTheContextAndEndsWithIt) {
  const char* bin = std::getenv("QUELLOR_BIN");
  ASSERT_NE(bin, nullptr);
  const std::string path = std::getenv("PATH");
  setenv("PATH", (std::string(bin) + ":" + path).c_str(), 1);
  ASSERT_TRUE(StartPlugin());
  WriteSetting("EdgeWrightVideoPreviewIn", 1);
  PreviewProgram::SetCloseWait(0);
  AVFILE_Handle context = Open();
  ASSERT_NE(context, nullptr);
  // The preview is up once it has attached its probe to the input.
  ASSERT_TRUE(WaitFor([] {
    board::BoardStatus status;
    std::string error;
    if (!board::ReadBoardStatus(status, error)) return false;
    for (const auto& object : status.objects)
      if (object.name.find("VideoPreviewIn") != std::string::npos) return true;
    return false;
  }));
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);
  PreviewProgram::SetCloseWait(1000);
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(ReadSetting("EdgeWrightVideoPreviewIn", 7), 1);
  // Ended: its probe is gone from the board.
  EXPECT_TRUE(WaitFor([] {
    board::BoardStatus status;
    std::string error;
    board::ReadBoardStatus(status, error);
    for (const auto& object : status.objects)
      if (object.name.find("VideoPreviewIn") != std::string::npos) return false;
    return true;
  }));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RecordingTest, APreviewThatCannotBeFoundIsReportedAndTheContextStaysOpen) {
  const std::string path = std::getenv("PATH");
  setenv("PATH", Folder().c_str(), 1);
  ASSERT_TRUE(StartPlugin());
  WriteSetting("EdgeWrightVideoPreviewIn", 1);
  RecordingOpenRecord open{kRecordingOpenSize};
  AVFILE_Handle context = nullptr;
  EXPECT_EQ(AVFILE_OpenRecording(&context, &open), 0);
  setenv("PATH", path.c_str(), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "AVFILE_OpenRecording");
  EXPECT_EQ(boxes[0].text,
            "Could not launch the application. Your Quellor installation is probably corrupted");
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(AVFILE_CloseRecording(context), 1);
  EXPECT_EQ(ReadSetting("EdgeWrightVideoPreviewIn", 7), 0);
}

}  // namespace
}  // namespace quellor::rtvbridge::testing
