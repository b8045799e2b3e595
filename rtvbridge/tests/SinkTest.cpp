// Playing through the sink on the board's manual clock and a device clock
// driven by hand: every frame shown at its time stamp and not before, the
// formats and their conversions, the time-0 flush, stop and start, and the
// host's mistakes (buffers returned twice or never, calls after a close).
#include <algorithm>
#include <cstring>

#include "BoardTestSupport.h"
#include "BridgeProcess.h"
#include "DeviceClock.h"
#include "OutputDevice.h"
#include "PixelFormats.h"
#include "WaitBounds.h"
#include "board/BoardControl.h"
#include "board/ColourConversion.h"
#include "board/testing/BoardClock.h"

namespace quellor::rtvbridge::testing {
namespace {

constexpr std::int64_t kFrameMicroseconds = 33367;  // an NTSC frame

class SinkTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    PutSetting("EdgeWrightVideoPreviewOut", "0");
    board::testing::UseManualClock(999);  // the next field (1000) is a first field
    SetDeviceClock([this] { return now_.load(); });
  }
  void TearDown() override {
    AVFILE_CloseInterfaceSink();
    SetDeviceClock({});
    Bounds() = WaitBounds{};
    BridgeTest::TearDown();
  }

  // Sink interface queried, a sink opened and started at device time 0.
  AVFILE_Handle OpenStartedSink(int videoMode = 1) {
    EXPECT_TRUE(StartPlugin(videoMode));
    InterfaceRecord query{};
    query.hostLevel = 324;
    EXPECT_EQ(AVFILE_QueryInterfaceSink(&query), 1);
    AVFILE_Handle sink = nullptr;
    SinkOpenRecord open{};
    EXPECT_EQ(AVFILE_OpenSink(&sink, &open), 1);
    EXPECT_EQ(AVFILE_StartSink(sink), 1);
    return sink;
  }
  static OutputDevice& Device() { return *Process().outputDevice; }

  static SinkBufferRecord Borrow(AVFILE_Handle sink, const char* guid) {
    SinkBufferRecord record{};
    record.size = sizeof record;
    CopyText(record.format.guid, guid);
    EXPECT_EQ(AVFILE_SinkGetEmptyBuffer(sink, &record), 1);
    return record;
  }
  static int Give(AVFILE_Handle sink, SinkBufferRecord& record, const Bytes& pixels,
                  std::int64_t time) {
    if (record.pixels != nullptr) std::memcpy(record.pixels, pixels.data(), pixels.size());
    record.presentationTime = time;
    return AVFILE_SinkAddFullBuffer(sink, &record);
  }
  // Lets the output thread take what is due, then shows both fields.
  void ShowFrame(std::uint64_t shownSoFar) {
    ASSERT_TRUE(WaitFor([&] { return Device().Shown() == shownSoFar; }));
    board::testing::AdvanceFields(2);
  }

  std::atomic<std::int64_t> now_{0};
};

Bytes Frame422(const Standard& standard, int n) {
  Bytes bytes = FrameBytes(standard, n);
  bytes.resize(bytes.size() + 4, 0);
  return bytes;
}

TEST_F(SinkTest, EveryFrameIsShownAtItsTimeStampAndNotBefore) {
  AVFILE_Handle sink = OpenStartedSink();
  constexpr int kFrames = 12;
  for (int n = 0; n < kFrames; ++n) {
    SinkBufferRecord record = Borrow(sink, kGuid422);
    EXPECT_EQ(record.flags, 0x812);
    EXPECT_EQ(record.format.bytesPerFrame, int(kNtsc.frameBytes() + 4));
    ASSERT_EQ(Give(sink, record, Frame422(kNtsc, n), (n + 1) * kFrameMicroseconds), 1);
  }
  const std::uint32_t firstField = board::testing::CurrentField() + 1;
  for (int n = 0; n < kFrames; ++n) {
    now_ = (n + 1) * kFrameMicroseconds - 1;  // a microsecond early: not yet
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    EXPECT_EQ(Device().Shown(), std::uint64_t(n)) << n;
    now_ = (n + 1) * kFrameMicroseconds;
    ShowFrame(n + 1);
    const Bytes expected = FrameBytes(kNtsc, n);
    EXPECT_EQ(ShownFrame(), expected) << "frame " << n;
    // Neither late nor repeated: the frame's second field is the field just run.
    board::BoardStatus status;
    std::string error;
    ASSERT_TRUE(board::ReadBoardStatus(status, error));
    EXPECT_EQ(status.lastShownField, firstField + 2 * std::uint32_t(n) + 1);
  }
  EXPECT_EQ(Device().Dropped(), 0u);
  EXPECT_EQ(board::testing::ProcessOverruns(), 0u);
  EXPECT_EQ(Device().FreeCount(), kSinkBufferCount);
  EXPECT_EQ(AVFILE_StopSink(sink), 1);
  EXPECT_EQ(AVFILE_CloseSink(sink), 1);
  EXPECT_TRUE(boxes.empty());
}

// The board's field clock and the device clock moved together by hand, as
// the real ones run: field n starts at device time FieldStart(n). Before
// a field the output thread may read the counter a microsecond before the
// field starts (as it does each millisecond when it is on time); it always
// reads it once the field has started.
class PacedSinkTest : public SinkTest {
 protected:
  // The test sets the device time and the field counter one after the
  // other; the output thread reads them one after the other too. The device
  // time it reads is kept within the field the counter shows at that read,
  // so no interleaving of the two shows it a field running before its start
  // or past its end, which real clocks never do.
  void SetUp() override {
    SinkTest::SetUp();
    SetDeviceClock([this] {
      const std::uint32_t field = board::testing::CurrentField();
      return std::clamp(now_.load(), FieldStart(field), FieldStart(field + 1) - 1);
    });
  }

  static constexpr std::uint32_t kFirstField = 1000;
  static constexpr std::int64_t kOrigin = 1'000'000;  // FieldStart(kFirstField)

  static std::int64_t FieldStart(std::uint32_t field) {
    // NTSC fields of 1001000/60 us, rounded up to the microsecond.
    return kOrigin + (static_cast<std::int64_t>(field - kFirstField) * 1001000 + 59) / 60;
  }
  // Lets the output thread finish a whole turn after what the test changed.
  static void LetThreadLook() {
    const std::uint64_t polls = Device().Polls();
    ASSERT_TRUE(WaitFor([&] { return Device().Polls() >= polls + 3; }));
  }
  // lookJustBefore false: the thread wakes only after the field has begun,
  // too late for a frame it hands over only when the frame's time comes.
  void RunField(bool lookJustBefore = true) {
    const std::uint32_t field = board::testing::CurrentField() + 1;
    if (lookJustBefore) {
      now_ = FieldStart(field) - 1;
      LetThreadLook();
    }
    now_ = FieldStart(field);
    board::testing::AdvanceFields(1);
    LetThreadLook();
    ASSERT_EQ(Device().FieldSeen(), field);
  }
  static std::uint32_t LastShownField() {
    board::BoardStatus status;
    std::string error;
    EXPECT_TRUE(board::ReadBoardStatus(status, error));
    return status.lastShownField;
  }
};

TEST_F(PacedSinkTest, FramesGoToTheBoardAFrameAheadAndShowAtTheirOwnFieldNeverBefore) {
  board::testing::UseManualClock(kFirstField - 1);
  now_ = FieldStart(kFirstField) - 1000;
  AVFILE_Handle sink = OpenStartedSink();
  RunField();  // fields 1000 and 1001: the field clock's phase is learnt
  RunField();
  ASSERT_TRUE(Device().FieldPhaseKnown());

  // Started 3.4 ms into field 1001; frame k at (k + 1) frames after that
  // falls 3.4 ms (less a third of a microsecond a frame) into field
  // 1003 + 2k, so field 1004 + 2k is the first frame field at or after it.
  const std::int64_t start = FieldStart(kFirstField + 1) + 3400;
  now_ = start;
  ASSERT_EQ(AVFILE_StartSink(sink), 1);
  constexpr int kFrames = 10;
  for (int k = 0; k < kFrames; ++k) {
    SinkBufferRecord record = Borrow(sink, kGuid422);
    ASSERT_EQ(Give(sink, record, Frame422(kNtsc, k), (k + 1) * kFrameMicroseconds), 1);
  }
  const std::uint32_t shownBefore = LastShownField();
  for (std::uint32_t field = kFirstField + 2; field < kFirstField + 4 + 2 * kFrames; ++field) {
    SCOPED_TRACE(field);
    RunField(false);
    const int k = (static_cast<int>(field) - static_cast<int>(kFirstField) - 4) / 2;  // showing
    if (field < kFirstField + 4) {
      EXPECT_EQ(LastShownField(), shownBefore) << "a frame was shown early";
    } else {
      // Each field shows the next field of the frames in turn: none repeated.
      EXPECT_EQ(LastShownField(), field);
      if (field & 1u) {
        EXPECT_EQ(ShownFrame(), FrameBytes(kNtsc, k));
      }
    }
    // Handed to the board during the frame before its own, not earlier.
    const int handed = (static_cast<int>(field) - static_cast<int>(kFirstField)) / 2;
    EXPECT_EQ(Device().Shown(), static_cast<std::uint64_t>(std::min(handed, kFrames)));
  }
  EXPECT_EQ(Device().Late(), 0u);
  EXPECT_EQ(Device().Dropped(), 0u);

  // A frame timed 2 us before a frame field's start (rounded up) shows at
  // that field; one a microsecond after the next one's start waits for the
  // one after: the field that shows a frame never starts before its time.
  std::uint32_t next = board::testing::CurrentField() + 1;
  if (next & 1u) ++next;
  SinkBufferRecord record = Borrow(sink, kGuid422);
  ASSERT_EQ(Give(sink, record, Frame422(kNtsc, 40), FieldStart(next + 2) - 2 - start), 1);
  record = Borrow(sink, kGuid422);
  ASSERT_EQ(Give(sink, record, Frame422(kNtsc, 41), FieldStart(next + 4) + 1 - start), 1);
  while (board::testing::CurrentField() < next + 7) {
    RunField();
    const std::uint32_t field = board::testing::CurrentField();
    if (field == next + 3) {
      EXPECT_EQ(ShownFrame(), FrameBytes(kNtsc, 40));
    }
    if (field == next + 5) {
      EXPECT_EQ(LastShownField(), next + 3) << "frame 41 shown early";
    }
    if (field == next + 7) {
      EXPECT_EQ(ShownFrame(), FrameBytes(kNtsc, 41));
    }
  }
  EXPECT_EQ(LastShownField(), next + 7);

  // A frame whose field has passed before it was given is late: shown at the
  // next frame field and counted.
  record = Borrow(sink, kGuid422);
  ASSERT_EQ(Give(sink, record, Frame422(kNtsc, 42), FieldStart(next + 6) - 2 - start), 1);
  RunField();
  RunField();
  EXPECT_EQ(ShownFrame(), FrameBytes(kNtsc, 42));
  EXPECT_EQ(LastShownField(), next + 9);
  EXPECT_EQ(Device().Late(), 1u);
  EXPECT_EQ(AVFILE_StopSink(sink), 1);
  EXPECT_EQ(AVFILE_CloseSink(sink), 1);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(SinkTest, RgbaAnd444FramesReachTheBoardInFieldOrder) {
  const std::string path = Path("source.rtv");
  AVFILE_Handle sink = OpenStartedSink();
  WriteClip(path, kNtsc, 1);
  AVFILE_Handle reader = OpenForRead(path);
  Bytes yuva(720 * 480 * 4), bgra(720 * 480 * 4);
  ASSERT_EQ(ReadFrame(reader, 0, kGuid444, yuva), 1);
  ASSERT_EQ(ReadFrame(reader, 0, kGuidRgba32, bgra), 1);
  AVFILE_CloseReadingFile(reader);

  // 4:4:4 read from a clip plays back as the clip's own 4:2:2.
  SinkBufferRecord record = Borrow(sink, kGuid444);
  EXPECT_EQ(record.flags, 0x110);
  ASSERT_EQ(Give(sink, record, yuva, 0), 1);
  ShowFrame(1);
  EXPECT_EQ(ShownFrame(), FrameBytes(kNtsc, 0));

  // RGBA-32, bottom-up: each field line is the colour conversion of its row.
  record = Borrow(sink, kGuidRgba32);
  EXPECT_EQ(record.flags, 0x100);
  EXPECT_EQ(record.byteCount, 720u * 480 * 4);
  ASSERT_EQ(Give(sink, record, bgra, 0), 1);
  ShowFrame(2);
  Bytes expected(kNtsc.frameBytes());
  for (int k = 0; k < 240; ++k) {
    encode_bgra_ycbcr8(expected.data() + k * 1440, bgra.data() + (479 - 2 * k) * 2880, 720);
    encode_bgra_ycbcr8(expected.data() + kNtsc.fieldBytes() + k * 1440,
                       bgra.data() + (478 - 2 * k) * 2880, 720);
  }
  EXPECT_EQ(ShownFrame(), expected);
  EXPECT_EQ(AVFILE_CloseSink(sink), 1);
}

TEST_F(SinkTest, TimingCodeBytesBecomeFeOnlyForFramesShownAtOnce) {
  AVFILE_Handle sink = OpenStartedSink();
  Bytes pixels = Frame422(kNtsc, 0);
  pixels[10] = 0xFF;
  SinkBufferRecord record = Borrow(sink, kGuid422);
  ASSERT_EQ(Give(sink, record, pixels, 0), 1);
  ShowFrame(1);
  EXPECT_EQ(ShownFrame()[10], 0xFE);
  record = Borrow(sink, kGuid422);
  ASSERT_EQ(Give(sink, record, pixels, 5), 1);
  now_ = 5;
  ShowFrame(2);
  EXPECT_EQ(ShownFrame()[10], 0xFF);
  EXPECT_EQ(AVFILE_CloseSink(sink), 1);
}

TEST_F(SinkTest, AFrameForNowSendsTheQueuedFramesBackUnseen) {
  AVFILE_Handle sink = OpenStartedSink();
  for (int n = 0; n < 10; ++n) {
    SinkBufferRecord record = Borrow(sink, kGuid422);
    ASSERT_EQ(Give(sink, record, Frame422(kNtsc, n), 1000000 + n), 1);
  }
  EXPECT_EQ(Device().QueuedCount(), 10);
  SinkBufferRecord now = Borrow(sink, kGuid422);
  ASSERT_EQ(Give(sink, now, Frame422(kNtsc, 42), 0), 1);
  ShowFrame(1);
  EXPECT_EQ(ShownFrame(), FrameBytes(kNtsc, 42));
  EXPECT_EQ(Device().QueuedCount(), 0);
  EXPECT_EQ(Device().FreeCount(), kSinkBufferCount);
  EXPECT_EQ(AVFILE_CloseSink(sink), 1);
}

TEST_F(SinkTest, FramesQueuedWhileStoppedWaitForTheNextStart) {
  AVFILE_Handle sink = OpenStartedSink();
  EXPECT_EQ(AVFILE_StopSink(sink), 1);
  SinkBufferRecord record = Borrow(sink, kGuid422);
  ASSERT_EQ(Give(sink, record, Frame422(kNtsc, 3), 1), 1);  // a write to a stopped sink
  now_ = 1000;
  std::this_thread::sleep_for(std::chrono::milliseconds(3));
  EXPECT_EQ(Device().Shown(), 0u);
  EXPECT_EQ(Device().QueuedCount(), 1);
  // A stop while stopped does not wait for a queue that cannot move.
  Bounds().sinkMs = 60000;
  EXPECT_EQ(AVFILE_StopSink(sink), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "AVFILE_StopSink");
  now_ = 0;
  ASSERT_EQ(AVFILE_StartSink(sink), 1);
  now_ = 1;
  ShowFrame(1);
  EXPECT_EQ(ShownFrame(), FrameBytes(kNtsc, 3));
  EXPECT_EQ(AVFILE_CloseSink(sink), 1);
}

TEST_F(SinkTest, RefusalsAndUnknownFormats) {
  AVFILE_Handle sink = OpenStartedSink();
  SinkBufferRecord record = Borrow(sink, "not-a-format");
  EXPECT_EQ(record.flags, 0);
  record.format.bytesPerFrame = 77;
  // The byte count is left as the host set it.
  SinkBufferRecord unknown{};
  unknown.size = sizeof unknown;
  unknown.format.bytesPerFrame = 77;
  ASSERT_EQ(AVFILE_SinkGetEmptyBuffer(sink, &unknown), 1);
  EXPECT_EQ(unknown.byteCount, 77u);
  // Unknown format on add: handed back, 1.
  EXPECT_EQ(AVFILE_SinkAddFullBuffer(sink, &unknown), 1);
  // Negative time and "do not show": back to the pool, 0.
  record.presentationTime = -5;
  EXPECT_EQ(AVFILE_SinkAddFullBuffer(sink, &record), 0);
  SinkBufferRecord hidden = Borrow(sink, kGuid422);
  hidden.flags |= 1;
  EXPECT_EQ(AVFILE_SinkAddFullBuffer(sink, &hidden), 0);
  EXPECT_EQ(Device().FreeCount(), kSinkBufferCount);
  // Returned twice, a foreign address, small records, no record.
  EXPECT_EQ(AVFILE_SinkAddFullBuffer(sink, &hidden), 0);
  Bytes foreign(16);
  hidden.pixels = foreign.data();
  hidden.flags = 0;
  EXPECT_EQ(AVFILE_SinkAddFullBuffer(sink, &hidden), 0);
  SinkBufferRecord small{};
  small.size = 495;
  EXPECT_EQ(AVFILE_SinkGetEmptyBuffer(sink, &small), 0);
  EXPECT_EQ(AVFILE_SinkGetEmptyBuffer(sink, nullptr), 0);
  EXPECT_EQ(AVFILE_SinkGetEmptyBuffer(nullptr, &record), 0);
  EXPECT_EQ(Device().FreeCount(), kSinkBufferCount);

  SinkInfoRecord info{};
  ASSERT_EQ(AVFILE_GetSinkInfo(sink, &info), 1);
  EXPECT_EQ(info.flags, 40 | 0x80);  // "ForceNoFrameDrop" defaults to 1
  EXPECT_EQ(info.formatCount, 3);
  EXPECT_STREQ(info.formats[0].guid, kGuid422);
  EXPECT_STREQ(info.formats[1].guid, kGuid444);
  EXPECT_STREQ(info.formats[2].guid, kGuidRgba32);
  EXPECT_EQ(info.formats[2].bytesPerFrame, 720 * 480 * 4);
  EXPECT_EQ(info.two, 2);
  EXPECT_EQ(static_cast<SinkRecord*>(sink)->size, kSinkRecordSize);
  EXPECT_TRUE(boxes.empty());

  EXPECT_EQ(AVFILE_CloseSink(sink), 1);
  EXPECT_EQ(AVFILE_CloseSink(sink), 0);  // twice
  EXPECT_EQ(AVFILE_StartSink(sink), 0);
  EXPECT_EQ(AVFILE_SinkAddFullBuffer(sink, &record), 0);
  EXPECT_EQ(AVFILE_GetSinkInfo(sink, &info), 0);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(SinkTest, AllBuffersBorrowedTheNextGetGivesUpAfterItsBound) {
  AVFILE_Handle sink = OpenStartedSink();
  Bounds().sinkMs = 20;
  for (int n = 0; n < kSinkBufferCount; ++n) Borrow(sink, kGuid422);
  SinkBufferRecord record{};
  record.size = sizeof record;
  EXPECT_EQ(AVFILE_SinkGetEmptyBuffer(sink, &record), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "AVFILE_SinkGetEmptyBuffer");
  // Closing with every buffer borrowed frees them all (checked under ASan).
  EXPECT_EQ(AVFILE_CloseSink(sink), 1);
  EXPECT_EQ(AVFILE_CloseInterfaceSink(), 1);
  EXPECT_EQ(Process().outputDevice, nullptr);
}

TEST_F(SinkTest, WithoutTheSinkInterfaceTheCallsSaySo) {
  ASSERT_TRUE(StartPlugin());
  AVFILE_Handle sink = nullptr;
  SinkOpenRecord open{};
  ASSERT_EQ(AVFILE_OpenSink(&sink, &open), 1);
  EXPECT_EQ(open.event, static_cast<SinkRecord*>(sink)->event);
  EXPECT_EQ(AVFILE_StartSink(sink), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "AVFILE_StartSink");
  EXPECT_NE(boxes[0].text.find("query the sink interface"), std::string::npos);
  EXPECT_EQ(AVFILE_CloseSink(sink), 1);
  EXPECT_NE(SettingsText().find("EdgeWrightVideoPreviewOut=0"), std::string::npos);
}

TEST_F(SinkTest, SettingsOpenTheOutputDialogOnlyWhenAsked) {
  ASSERT_TRUE(StartPlugin());
  RecordingSettingsRecord settings{};
  settings.size = kMinRecordingSettingsSize;
  EXPECT_EQ(AVFILE_SetSinkSettings(&settings), 1);
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace quellor::rtvbridge::testing
