// The output: producers routed by spiders, engine outputs, completion
// callbacks, the monitoring pin and the shown frame.
#include <cstdint>
#include <cstring>
#include <string>

#include "BoardTestSupport.h"
#include "board/BoardControl.h"
#include "board/testing/BoardClock.h"
#include "board/testing/OutputFrames.h"

namespace quellor::board::tests {
namespace {

std::vector<std::string>* g_events = nullptr;

void RecordCompletion(DWORD, DWORD, void* context) {
  g_events->push_back("done " + std::to_string(reinterpret_cast<std::uintptr_t>(context)) + " at " +
                      std::to_string(testing::CurrentField()));
}

// A producer wired to the output the way programs do it: format record,
// descriptor, spider to the feed pin, one NTSC frame buffer.
struct RoutedProducer {
  DWORD instance = 0, context = 0, producer = 0, spider = 0;
  Harmonex_FormatRecord format{};
  Harmonex_ProducerDescriptor descriptor{};
  Harmonex_SpiderDescriptor spiderDescriptor{};
  DWORD frameAddress = 0;
  BYTE* frame = nullptr;
  RTME_FieldDescriptor fields[2]{};

  void Open(const char* name, bool start = true) {
    instance = RTME_OpenEngine();
    context = RTME_GetMediaContext(instance);
    format.recordBytes = 40;
    descriptor.recordBytes = 24;
    descriptor.format = &format;
    descriptor.completion = &RecordCompletion;
    producer =
        Harmonex_CreateProducer(context, (std::string(name) + ".vidout").c_str(), &descriptor);
    ASSERT_NE(producer, 0u);
    ASSERT_NE(format.allocator, 0u);
    spiderDescriptor.recordBytes = 8;
    spiderDescriptor.format = &format;
    spider =
        Harmonex_CreateSpider(context, (std::string(name) + ".spider").c_str(), &spiderDescriptor);
    ASSERT_NE(spider, 0u);
    ASSERT_TRUE(Harmonex_ConnectSpider(spider, (std::string(name) + ".vidout").c_str(),
                                       RTME_PIN_OUTPUT_FEED, 0));
    if (start) {
      ASSERT_TRUE(Harmonex_StartSpider(spider));
    }
    frameAddress = Harmonex_AllocateBuffer(format.allocator, kNtscFrameBytes, &frame, 0, 512);
    ASSERT_NE(frameAddress, 0u);
    for (DWORD parity = 0; parity < 2; ++parity) {
      fields[parity].engineAddress = frameAddress + parity * kNtscFieldBytes;
      ASSERT_TRUE(RTME_FillNtscFieldFormat(&fields[parity].format, parity));
    }
  }
  void Fill(BYTE first, BYTE second) {
    std::memset(frame, first, kNtscFieldBytes);
    std::memset(frame + kNtscFieldBytes, second, kNtscFieldBytes);
  }
  void QueueFrame(std::uintptr_t tag) {
    ASSERT_TRUE(Harmonex_QueueField(producer, &fields[0], nullptr));
    ASSERT_TRUE(Harmonex_QueueField(producer, &fields[1], reinterpret_cast<void*>(tag)));
  }
  void Close() {
    Harmonex_StopSpider(spider);
    Harmonex_FreeBuffer(format.allocator, frameAddress, kNtscFrameBytes);
    Harmonex_DestroySpider(spider);
    Harmonex_DestroyProducer(producer);
    RTME_CloseEngine(instance);
  }
};

class OutputTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    events.clear();
    g_events = &events;
  }
  std::vector<std::string> events;
};

TEST_F(OutputTest, ProducerFieldsShowInOrderAndCompleteAfterTheSecondField) {
  RecordingProbe monitor;
  monitor.Open("test.output.monitor", RTME_PIN_OUTPUT_MONITOR);
  RoutedProducer hub;
  hub.Open("test.output.hub");
  hub.Fill(0x41, 0x42);
  hub.QueueFrame(7);
  // Field 1 is a second field: the frame waits for field 2 to start.
  testing::AdvanceFields(4);
  ASSERT_EQ(monitor.fields.size(), 4u);
  EXPECT_EQ(monitor.fields[1].pixels[0], 0x41);
  EXPECT_EQ(monitor.fields[1].info.timeStamp, 2u);
  EXPECT_EQ(RTME_GetFieldParity(&monitor.fields[1].info.format), 0u);
  EXPECT_EQ(monitor.fields[2].pixels[100], 0x42);
  EXPECT_EQ(RTME_GetFieldParity(&monitor.fields[2].info.format), 1u);
  // Nothing new queued: the output holds the last frame.
  EXPECT_EQ(monitor.fields[3].pixels[5], 0x41);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0], "done 7 at 3");

  hub.Fill(0x51, 0x52);
  hub.QueueFrame(8);
  // Queued at field 4: field 5 still shows the old second field.
  testing::AdvanceFields(3);
  EXPECT_EQ(monitor.fields[4].pixels[0], 0x42);
  EXPECT_EQ(monitor.fields[5].pixels[0], 0x51);
  EXPECT_EQ(monitor.fields[6].pixels[0], 0x52);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1], "done 8 at 7");

  BoardFrame shown;
  std::string error;
  ASSERT_TRUE(ReadShownFrame(shown, error)) << error;
  ASSERT_EQ(shown.pixels.size(), kNtscFrameBytes);
  EXPECT_EQ(shown.pixels[0], 0x51);
  EXPECT_EQ(shown.pixels[kNtscFrameBytes - 1], 0x52);
  hub.Close();
  monitor.Close();
}

TEST_F(OutputTest, FieldsWaitUntilTheSpiderRoutes) {
  RecordingProbe monitor;
  monitor.Open("test.output.unrouted.monitor", RTME_PIN_OUTPUT_MONITOR);
  RoutedProducer hub;
  hub.Open("test.output.unrouted", false);
  hub.Fill(0x61, 0x62);
  hub.QueueFrame(1);
  testing::AdvanceFields(4);
  EXPECT_TRUE(events.empty());
  // The monitoring pin shows the live input (colour bars: white bar luma 180).
  EXPECT_EQ(monitor.fields[0].pixels[1], 180);
  ASSERT_TRUE(Harmonex_StartSpider(hub.spider));
  testing::AdvanceFields(3);  // field 5 is a second field: the frame starts at 6
  EXPECT_EQ(monitor.fields[4].pixels[1], 180);
  EXPECT_EQ(monitor.fields[5].pixels[0], 0x61);
  EXPECT_EQ(monitor.fields[6].pixels[0], 0x62);
  EXPECT_EQ(events.size(), 1u);
  hub.Close();
  monitor.Close();
}

TEST_F(OutputTest, ShowLiveInputCommandPutsTheInputBack) {
  RecordingProbe monitor;
  monitor.Open("test.output.live.monitor", RTME_PIN_OUTPUT_MONITOR);
  RoutedProducer hub;
  hub.Open("test.output.live");
  hub.Fill(0x70, 0x71);
  hub.QueueFrame(1);
  testing::AdvanceFields(3);
  BoardStatus status;
  std::string error;
  ASSERT_TRUE(ReadBoardStatus(status, error));
  EXPECT_FALSE(status.outputLive);
  const DWORD client = RTME_OpenSwitcherClient("test.output.live.switcher");
  const BYTE zeros[16] = {};
  EXPECT_FALSE(RTME_SwitcherCommand(client, 2067, zeros));
  ASSERT_TRUE(RTME_SwitcherCommand(client, kRtmeCommandShowLiveInput, zeros));
  testing::AdvanceFields(1);
  EXPECT_EQ(monitor.fields.back().pixels[1], 180);
  ASSERT_TRUE(ReadBoardStatus(status, error));
  EXPECT_TRUE(status.outputLive);
  RTME_CloseSwitcherClient(client);
  hub.Close();
  monitor.Close();
}

TEST_F(OutputTest, EngineOutputBuffersCycleThroughTheirPool) {
  RecordingProbe monitor;
  monitor.Open("test.output.engine.monitor", RTME_PIN_OUTPUT_MONITOR);
  const DWORD output = RTME_CreateOutput("test.output.engine", 0, 0, 0);
  ASSERT_NE(output, 0u);
  EXPECT_EQ(RTME_CreateOutput("test.output.engine", 0, 0, 1), 0u);
  DWORD tokens[4];
  BYTE* addresses[4];
  DWORD bytes = 0;
  for (int i = 0; i < 4; ++i) {
    tokens[i] = RTME_GetEmptyOutputBuffer(output, &addresses[i], &bytes);
    ASSERT_NE(tokens[i], 0u);
    EXPECT_EQ(bytes, kNtscFrameBytes);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(addresses[i]) % 512, 0u);
  }
  EXPECT_EQ(RTME_GetEmptyOutputBuffer(output, &addresses[0], &bytes), 0u);
  // Give one back unshown, show two.
  EXPECT_TRUE(RTME_ReturnOutputBuffer(output, tokens[3], bytes));
  EXPECT_FALSE(RTME_ReturnOutputBuffer(output, tokens[3], bytes));
  std::memset(addresses[0], 0x10, bytes);
  std::memset(addresses[1], 0x20, bytes / 2);
  std::memset(addresses[1] + bytes / 2, 0x21, bytes / 2);
  EXPECT_TRUE(RTME_ShowOutputBuffer(output, tokens[0], bytes));
  EXPECT_TRUE(RTME_ShowOutputBuffer(output, tokens[1], bytes));
  EXPECT_FALSE(RTME_ShowOutputBuffer(output, tokens[1], bytes));  // already queued
  testing::AdvanceFields(5);  // fields 1 (waits), 2-3 frame 0, 4-5 frame 1
  ASSERT_EQ(monitor.fields.size(), 5u);
  EXPECT_EQ(monitor.fields[1].pixels[0], 0x10);
  EXPECT_EQ(monitor.fields[2].pixels[0], 0x10);
  EXPECT_EQ(monitor.fields[3].pixels[0], 0x20);
  EXPECT_EQ(monitor.fields[4].pixels[0], 0x21);
  // Both shown buffers and the returned one are free again.
  int free = 0;
  while (RTME_GetEmptyOutputBuffer(output, &addresses[0], &bytes) != 0) ++free;
  EXPECT_EQ(free, 3);
  EXPECT_TRUE(RTME_ReleaseOutput(output));
  EXPECT_FALSE(RTME_ReleaseOutput(output));
  monitor.Close();
}

// What a program's pacing relies on: a shown frame stays the board's until its
// second field has been on the output, and each output counts apart.
TEST_F(OutputTest, OutputFrameCountsFollowEachBufferThroughThePool) {
  const DWORD output = RTME_CreateOutput("test.output.counts", 0, 0, 0);
  const DWORD other = RTME_CreateOutput("test.output.counts.pal", 0, 0, 1);
  ASSERT_NE(output, 0u);
  ASSERT_NE(other, 0u);
  const auto countsOf = [](DWORD handle) {
    for (const testing::OutputFrameCounts& c : testing::OutputFrames())
      if (c.output == handle) return c;
    ADD_FAILURE() << "no counts for output " << handle;
    return testing::OutputFrameCounts{};
  };
  const auto expect = [&](DWORD handle, std::uint32_t free, std::uint32_t lent,
                          std::uint32_t queued, const char* when) {
    const testing::OutputFrameCounts c = countsOf(handle);
    EXPECT_EQ(c.free, free) << when;
    EXPECT_EQ(c.lent, lent) << when;
    EXPECT_EQ(c.queued, queued) << when;
  };
  EXPECT_EQ(testing::OutputFrames().size(), 2u);
  expect(output, 4, 0, 0, "new");
  BYTE* address = nullptr;
  DWORD bytes = 0;
  DWORD tokens[3];
  for (DWORD& token : tokens) token = RTME_GetEmptyOutputBuffer(output, &address, &bytes);
  expect(output, 1, 3, 0, "three lent");
  ASSERT_TRUE(RTME_ShowOutputBuffer(output, tokens[0], bytes));
  ASSERT_TRUE(RTME_ShowOutputBuffer(output, tokens[1], bytes));
  ASSERT_TRUE(RTME_ReturnOutputBuffer(output, tokens[2], bytes));
  expect(output, 2, 0, 2, "two shown, one given back");
  testing::AdvanceFields(1);  // field 1: the first frame's even field waits for field 2
  expect(output, 2, 0, 2, "field 1");
  testing::AdvanceFields(1);  // its even field is on the output; the frame is still the board's
  expect(output, 2, 0, 2, "field 2");
  testing::AdvanceFields(1);  // its odd field has been shown: the buffer is free again
  expect(output, 3, 0, 1, "field 3");
  testing::AdvanceFields(2);
  expect(output, 4, 0, 0, "field 5");
  expect(other, 4, 0, 0, "the other output");
  EXPECT_TRUE(RTME_ReleaseOutput(other));
  EXPECT_EQ(testing::OutputFrames().size(), 1u);
  EXPECT_TRUE(RTME_ReleaseOutput(output));
  EXPECT_TRUE(testing::OutputFrames().empty());
}

// The board's own count of repeated fields: field times between two fields
// of an engine output that brought nothing new.
TEST_F(OutputTest, FieldTimesAnOutputLetsPassAreCountedAsRepeated) {
  const auto repeated = [] {
    BoardStatus status;
    std::string error;
    EXPECT_TRUE(ReadBoardStatus(status, error)) << error;
    return status.repeatedFields;
  };
  const std::uint64_t before = repeated();
  const DWORD output = RTME_CreateOutput("test.output.repeats", 0, 0, 0);
  ASSERT_NE(output, 0u);
  const auto show = [&] {
    BYTE* address = nullptr;
    DWORD bytes = 0;
    const DWORD token = RTME_GetEmptyOutputBuffer(output, &address, &bytes);
    ASSERT_NE(token, 0u);
    ASSERT_TRUE(RTME_ShowOutputBuffer(output, token, bytes));
  };
  // Nothing shown yet: the fields before the output's first are not its
  // repeats, nor is the first frame's wait for a first field.
  testing::UseManualClock(999);
  testing::AdvanceFields(3);  // 1000-1002
  show();
  testing::AdvanceFields(3);  // 1003 waits, 1004-1005 show the frame
  EXPECT_EQ(repeated(), before);
  // Frame after frame: no repeats.
  show();
  show();
  testing::AdvanceFields(4);
  EXPECT_EQ(repeated(), before);
  // A frame a frame period late: two field times showed the last one again.
  testing::AdvanceFields(2);
  show();
  testing::AdvanceFields(2);
  EXPECT_EQ(repeated(), before + 2);
  // Counted only once a new field comes, so a stopped output adds nothing.
  testing::AdvanceFields(10);
  EXPECT_EQ(repeated(), before + 2);
  EXPECT_TRUE(RTME_ReleaseOutput(output));
}

TEST_F(OutputTest, PalOutputFieldsCarryPalRecords) {
  RecordingProbe monitor;
  monitor.Open("test.output.pal.monitor", RTME_PIN_OUTPUT_MONITOR);
  const DWORD output = RTME_CreateOutput("test.output.pal", 0, 0, 1);
  BYTE* address = nullptr;
  DWORD bytes = 0;
  const DWORD token = RTME_GetEmptyOutputBuffer(output, &address, &bytes);
  ASSERT_EQ(bytes, kPalFrameBytes);
  std::memset(address, 0x33, bytes);
  ASSERT_TRUE(RTME_ShowOutputBuffer(output, token, bytes));
  testing::AdvanceFields(2);
  const RTME_FieldInfo& info = monitor.fields[1].info;
  EXPECT_EQ(info.format.lineCount, 288u);
  EXPECT_EQ(info.format.rasterLineBytes, 1728u);
  EXPECT_EQ(info.fieldBytes, kPalFieldBytes);
  EXPECT_EQ(monitor.fields[1].pixels[kPalFieldBytes - 1], 0x33);
  RTME_ReleaseOutput(output);
  monitor.Close();
}

TEST_F(OutputTest, AFrameShownByAnotherProcessReachesThisProcessesMonitor) {
  RecordingProbe monitor;
  monitor.Open("test.output.shared.monitor", RTME_PIN_OUTPUT_MONITOR);
  ASSERT_EQ(RunHelper({"show-frame", "77"}), "shown");
  BoardFrame shown;
  std::string error;
  ASSERT_TRUE(ReadShownFrame(shown, error)) << error;
  ASSERT_EQ(shown.pixels.size(), kNtscFrameBytes);
  EXPECT_EQ(shown.pixels[0], 77);
  EXPECT_EQ(shown.pixels[kNtscFrameBytes - 1], 77);
  BoardStatus status;
  ASSERT_TRUE(ReadBoardStatus(status, error));
  EXPECT_FALSE(status.outputLive);
  EXPECT_EQ(status.lastShownField, 3u);
  testing::AdvanceFields(2);
  ASSERT_EQ(monitor.fields.size(), 2u);
  EXPECT_EQ(monitor.fields[0].pixels[10], 77);
  EXPECT_EQ(monitor.fields[1].pixels[10], 77);
  monitor.Close();
}

}  // namespace
}  // namespace quellor::board::tests
