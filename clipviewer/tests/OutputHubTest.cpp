// The output hub on its own: frames in flight, the fields it queues, the
// order it releases the board's objects in, and creation that fails.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "OutputTestSupport.h"
#include "app/Pause.h"
#include "board/testing/BoardClock.h"
#include "display/DisplayTexts.h"
#include "hub/HubBoardCalls.h"

namespace quellor::clipviewer::testing {
namespace {

// The board calls the hub made, in order, with the pauses between them.
std::vector<std::string> gCalls;
struct QueuedField {
  DWORD address;
  DWORD parity;
  bool withContext;
};
std::vector<QueuedField> gFields;
int gFailAllocationNumber = 0;  // > 0: that allocation (1-based) fails
int gAllocations = 0;
bool gFailConnect = false;

class OutputHubTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    board::testing::UseManualClock(0);
    gCalls.clear();
    gFields.clear();
    gFailAllocationNumber = 0;
    gAllocations = 0;
    gFailConnect = false;
    HubBoardCalls& calls = HubBoard();
    calls.stopSpider = [](DWORD spider) {
      gCalls.push_back("stop spider");
      return Harmonex_StopSpider(spider);
    };
    calls.freeBuffer = [](DWORD allocator, DWORD address, DWORD bytes) {
      gCalls.push_back("free buffer");
      return Harmonex_FreeBuffer(allocator, address, bytes);
    };
    calls.destroySpider = [](DWORD spider) {
      gCalls.push_back("destroy spider");
      return Harmonex_DestroySpider(spider);
    };
    calls.destroyProducer = [](DWORD producer) {
      gCalls.push_back("destroy producer");
      return Harmonex_DestroyProducer(producer);
    };
    calls.closeEngine = [](DWORD engine) {
      gCalls.push_back("close engine");
      return RTME_CloseEngine(engine);
    };
    calls.allocateBuffer = [](DWORD allocator, DWORD bytes, BYTE** cpu, DWORD reserved,
                              DWORD alignment) -> DWORD {
      if (++gAllocations == gFailAllocationNumber) return 0;
      gCalls.push_back("allocate buffer");
      return Harmonex_AllocateBuffer(allocator, bytes, cpu, reserved, alignment);
    };
    calls.connectSpider = [](DWORD spider, const char* source, const char* pin, DWORD reserved) {
      if (gFailConnect) return BOOL(FALSE);
      return Harmonex_ConnectSpider(spider, source, pin, reserved);
    };
    calls.queueField = [](DWORD producer, const RTME_FieldDescriptor* field, void* context) {
      gFields.push_back({field->engineAddress, field->format.parity, context != nullptr});
      return Harmonex_QueueField(producer, field, context);
    };
    SetPauseFunction([](DWORD ms) { gCalls.push_back("pause " + std::to_string(ms)); });
  }
  void TearDown() override {
    HubBoard() = BoardHubCalls();
    board::testing::UseRealtimeClock();
    ViewerTest::TearDown();
  }

  // Fills a picture: even lines white, odd lines black.
  static void Stripe(PictureBuffer& picture) {
    for (int y = 0; y < picture.Height(); ++y)
      std::memset(picture.Row(y), y % 2 == 0 ? 0xFF : 0x00, picture.RowBytes());
  }
};

TEST_F(OutputHubTest, AtMostTwoFramesAreInFlight) {
  OutputHub hub(3, true, kHubName, 0);
  for (int i = 0; i < 3; ++i) hub.Submit(hub.TakeFreePicture());
  // Frame 1 is queued; frame 2 is converted (its picture is free again) and
  // waits for the board to show frame 1; frame 3 waits on the ready list.
  ASSERT_TRUE(WaitForQueuedFrames(hub, 1));
  for (int waited = 0; waited < 5000 && hub.FreeCount() < 2; ++waited) Sleep(1);
  Sleep(5);
  EXPECT_EQ(hub.FramesQueued(), 1u);
  EXPECT_EQ(hub.ReadyCount(), 1);
  EXPECT_EQ(hub.FreeCount(), 2);

  board::testing::AdvanceFields(4);  // frame 1 shown: frame 2 goes out
  ASSERT_TRUE(WaitForQueuedFrames(hub, 2));
  for (int waited = 0; waited < 5000 && hub.FreeCount() < 3; ++waited) Sleep(1);
  Sleep(5);
  EXPECT_EQ(hub.FramesQueued(), 2u);
  board::testing::AdvanceFields(4);
  ASSERT_TRUE(WaitForQueuedFrames(hub, 3));
}

TEST_F(OutputHubTest, FieldsAreQueuedInOrderWithTheirParityFromBufferBThenA) {
  OutputHub hub(1, true, kHubName, 0);
  for (int frame = 0; frame < 3; ++frame) {
    PictureBuffer* picture = hub.TakeFreePicture();
    Stripe(*picture);
    hub.Submit(picture);
    ASSERT_TRUE(WaitForQueuedFrames(hub, frame + 1));
    board::testing::AdvanceFields(4);
  }
  const DWORD a = hub.Frame(0).engineAddress, b = hub.Frame(1).engineAddress;
  const DWORD half = kNtscFrameBytes / 2;
  ASSERT_EQ(gFields.size(), 6u);
  const DWORD expected[] = {b, b + half, a, a + half, b, b + half};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(gFields[i].address, expected[i]) << "field " << i;
    EXPECT_EQ(gFields[i].parity, i % 2) << "field " << i;
    EXPECT_EQ(gFields[i].withContext, i % 2 == 1) << "field " << i;
  }
  // Even picture lines (white) make the first field, odd (black) the second.
  const BYTE* frame = hub.Frame(1).pixels;
  EXPECT_EQ(frame[1], 235);            // Y of the first line of field 0
  EXPECT_EQ(frame[half - 1], 235);     // last Y of field 0
  EXPECT_EQ(frame[half + 1], 16);      // Y of the first line of field 1
  EXPECT_EQ(frame[2 * half - 1], 16);  // last Y of field 1
}

TEST_F(OutputHubTest, ReleaseStopsRoutingBeforeFreeingAndDestroysInOrder) {
  {
    OutputHub hub(1, false, kHubName, 0);
    EXPECT_EQ(hub.Height(), 576);
    gCalls.clear();
  }
  const std::vector<std::string> expected = {"pause 100",      "stop spider",  "pause 100",
                                             "free buffer",    "free buffer",  "pause 100",
                                             "destroy spider", "pause 100",    "destroy producer",
                                             "pause 100",      "close engine", "pause 100"};
  EXPECT_EQ(gCalls, expected);
}

TEST_F(OutputHubTest, SecondHubIsRefusedWithTheSingleCopyMessage) {
  OutputHub first(1, true, kHubName, 0);
  try {
    OutputHub second(1, true, kHubName, 0);
    FAIL() << "a second hub of the same name was made";
  } catch (const char* text) {
    EXPECT_STREQ(text, kCannotCreateProducer);
  }
  // The first still works.
  first.Submit(first.TakeFreePicture());
  EXPECT_TRUE(WaitForQueuedFrames(first, 1));
}

TEST_F(OutputHubTest, FailedBufferAllocationReleasesWhatWasMade) {
  gFailAllocationNumber = 2;  // frame buffer B
  try {
    OutputHub hub(1, true, kHubName, 0);
    FAIL() << "the hub was made without its second frame buffer";
  } catch (const char* text) {
    EXPECT_STREQ(text, kCannotAllocateAlignedBuffer);
  }
  const std::vector<std::string> expected = {
      "pause 100",        "allocate buffer", "stop spider",    "pause 100",
      "free buffer",      "pause 100",       "destroy spider", "pause 100",
      "destroy producer", "pause 100",       "close engine",   "pause 100"};
  EXPECT_EQ(gCalls, expected);
  // The name is free again.
  HubBoard() = BoardHubCalls();
  OutputHub again(1, true, kHubName, 0);
}

TEST_F(OutputHubTest, FailedSpiderConnectionReleasesSpiderProducerAndEngine) {
  gFailConnect = true;
  try {
    OutputHub hub(1, true, kHubName, 0);
    FAIL() << "the hub was made without its connection";
  } catch (const char* text) {
    EXPECT_STREQ(text, kCannotConnectSpider);
  }
  const std::vector<std::string> expected = {"destroy spider", "pause 100",    "destroy producer",
                                             "pause 100",      "close engine", "pause 100"};
  EXPECT_EQ(gCalls, expected);
  gFailConnect = false;
  OutputHub again(1, true, kHubName, 0);
}

// Takes a free picture on a thread of its own; false when the take has not
// returned within a few seconds (it is then left behind).
bool TakeReturns(OutputHub& hub, PictureBuffer*& picture) {
  std::packaged_task<PictureBuffer*()> take([&hub] { return hub.TakeFreePicture(); });
  std::future<PictureBuffer*> taken = take.get_future();
  std::thread(std::move(take)).detach();
  if (taken.wait_for(std::chrono::seconds(5)) != std::future_status::ready) return false;
  picture = taken.get();
  return true;
}

bool WaitForFree(const OutputHub& hub, int count) {
  for (int waited = 0; waited < 5000 && hub.FreeCount() < count; ++waited) Sleep(1);
  return hub.FreeCount() >= count;
}

TEST_F(OutputHubTest, TakingAPictureGivesUpWhileTheBoardShowsNoFrameAndRecovers) {
  OutputHub hub(1, true, kHubName, 0);
  hub.SetFreePictureWait(std::chrono::milliseconds(5));
  // Frame 1 is queued; frame 2 is converted and waits for the board to show
  // frame 1, which it never does while the clock stands; the third picture
  // stays on the ready list, and no picture is free.
  for (int frame = 0; frame < 2; ++frame) {
    ASSERT_TRUE(WaitForFree(hub, 1));
    hub.Submit(hub.TakeFreePicture());
  }
  ASSERT_TRUE(WaitForQueuedFrames(hub, 1));
  ASSERT_TRUE(WaitForFree(hub, 1));
  hub.Submit(hub.TakeFreePicture());
  ASSERT_EQ(hub.ReadyCount(), 1);
  PictureBuffer* picture = nullptr;
  ASSERT_TRUE(TakeReturns(hub, picture)) << "the take waits for ever";
  EXPECT_EQ(picture, nullptr);

  // Once the board shows frame 1, the pictures go round again.
  hub.SetFreePictureWait(OutputHub::kFreePictureWait);
  board::testing::AdvanceFields(4);
  ASSERT_TRUE(WaitForQueuedFrames(hub, 2));
  ASSERT_TRUE(TakeReturns(hub, picture));
  ASSERT_NE(picture, nullptr);
  hub.Submit(picture);
}

TEST_F(OutputHubTest, ReleaseDoesNotHangWhileAFrameWaitsForTheBoard) {
  auto hub = std::make_unique<OutputHub>(2, true, kHubName, 0);
  hub->Submit(hub->TakeFreePicture());
  hub->Submit(hub->TakeFreePicture());
  ASSERT_TRUE(WaitForQueuedFrames(*hub, 1));
  // The clock never moves, so frame 2 waits for ever; releasing must not.
  hub.reset();
  SUCCEED();
}

}  // namespace
}  // namespace quellor::clipviewer::testing
