// Buffers of the support library, and every operation given what it cannot
// use: unknown handles, null pointers, malformed records.
#include <cstdint>

#include "BoardTestSupport.h"
#include "board/testing/BoardClock.h"

namespace quellor::board::tests {
namespace {

class BadInputTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    context = RTME_GetMediaContext(RTME_OpenEngine());
    format.recordBytes = 40;
    descriptor.recordBytes = 24;
    descriptor.format = &format;
    producer = Harmonex_CreateProducer(context, "test.bad.vidout", &descriptor);
    ASSERT_NE(producer, 0u);
  }
  DWORD context = 0, producer = 0;
  Harmonex_FormatRecord format{};
  Harmonex_ProducerDescriptor descriptor{};
};

TEST_F(BadInputTest, BuffersAreAlignedTo512AndFreedOnce) {
  DWORD addresses[5];
  BYTE* cpu[5];
  const DWORD sizes[5] = {1, 511, 513, kNtscFrameBytes, kPalFrameBytes};
  for (int i = 0; i < 5; ++i) {
    addresses[i] = Harmonex_AllocateBuffer(format.allocator, sizes[i], &cpu[i], 0, 512);
    ASSERT_NE(addresses[i], 0u);
    EXPECT_EQ(addresses[i] % 512, 0u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(cpu[i]) % 512, 0u);
    cpu[i][sizes[i] - 1] = 1;  // the whole size is usable
  }
  BYTE* bigger = nullptr;
  const DWORD aligned4k = Harmonex_AllocateBuffer(format.allocator, 100, &bigger, 0, 4096);
  EXPECT_EQ(aligned4k % 4096, 0u);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bigger) % 4096, 0u);
  BYTE* small = nullptr;
  const DWORD smallAlignment = Harmonex_AllocateBuffer(format.allocator, 100, &small, 0, 16);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(small) % 512, 0u);  // never less than 512
  EXPECT_EQ(Harmonex_AllocateBuffer(format.allocator, 100, &small, 0, 768), 0u);
  EXPECT_EQ(Harmonex_AllocateBuffer(format.allocator, 0, &small, 0, 512), 0u);
  EXPECT_EQ(Harmonex_AllocateBuffer(format.allocator, 100, nullptr, 0, 512), 0u);
  EXPECT_EQ(Harmonex_AllocateBuffer(producer, 100, &small, 0, 512), 0u);  // not an allocator

  EXPECT_FALSE(Harmonex_FreeBuffer(format.allocator, addresses[3] + 512, sizes[3]));
  EXPECT_FALSE(Harmonex_FreeBuffer(format.allocator, addresses[3], sizes[3] - 1));
  EXPECT_TRUE(Harmonex_FreeBuffer(format.allocator, addresses[3], sizes[3]));
  EXPECT_FALSE(Harmonex_FreeBuffer(format.allocator, addresses[3], sizes[3]));
  // Freed space is used again.
  BYTE* again = nullptr;
  EXPECT_EQ(Harmonex_AllocateBuffer(format.allocator, sizes[3], &again, 0, 512), addresses[3]);
  EXPECT_TRUE(Harmonex_FreeBuffer(format.allocator, smallAlignment, 100));
  EXPECT_TRUE(Harmonex_FreeBuffer(format.allocator, aligned4k, 100));
}

TEST_F(BadInputTest, QueueingChecksTheFieldAgainstItsBuffer) {
  BYTE* frame = nullptr;
  const DWORD address = Harmonex_AllocateBuffer(format.allocator, kNtscFrameBytes, &frame, 0, 512);
  RTME_FieldDescriptor field{};
  field.engineAddress = address + kNtscFieldBytes;
  EXPECT_FALSE(Harmonex_QueueField(producer, &field, nullptr));  // format not filled
  ASSERT_TRUE(RTME_FillNtscFieldFormat(&field.format, 1));
  EXPECT_TRUE(Harmonex_QueueField(producer, &field, nullptr));
  field.engineAddress = address + kNtscFieldBytes + 512;  // runs past the buffer
  EXPECT_FALSE(Harmonex_QueueField(producer, &field, nullptr));
  ASSERT_TRUE(RTME_FillPalFieldFormat(&field.format, 1));  // a PAL field is larger
  field.engineAddress = address + kNtscFieldBytes;
  EXPECT_FALSE(Harmonex_QueueField(producer, &field, nullptr));
  EXPECT_FALSE(Harmonex_QueueField(producer, nullptr, nullptr));
  EXPECT_FALSE(Harmonex_QueueField(0xDEAD, &field, nullptr));
  field.engineAddress = 0x10;
  EXPECT_FALSE(Harmonex_QueueField(producer, &field, nullptr));
  // A freed buffer can no longer be queued; fields queued before stay safe.
  ASSERT_TRUE(RTME_FillNtscFieldFormat(&field.format, 0));
  field.engineAddress = address;
  EXPECT_TRUE(Harmonex_QueueField(producer, &field, nullptr));
  ASSERT_TRUE(Harmonex_FreeBuffer(format.allocator, address, kNtscFrameBytes));
  EXPECT_FALSE(Harmonex_QueueField(producer, &field, nullptr));
  testing::AdvanceFields(4);
}

TEST_F(BadInputTest, UnknownHandlesAndNullPointersFail) {
  const DWORD bogus = 0xFFFFFFF0u;
  EXPECT_FALSE(RTME_CloseEngine(bogus));
  EXPECT_EQ(RTME_GetMediaContext(bogus), 0u);
  EXPECT_EQ(RTME_CreateProbe(bogus, "test.bad.probe"), 0u);
  EXPECT_FALSE(RTME_DestroyProbe(bogus));
  EXPECT_EQ(RTME_GetProbeBufferOwner(bogus), 0u);
  EXPECT_FALSE(RTME_AttachProbe(bogus, RTME_PIN_INPUT));
  EXPECT_FALSE(RTME_SetProbeCallback(
      bogus, nullptr, [](void*, const BYTE*, const RTME_FieldInfo*) -> DWORD { return 0; }));
  EXPECT_FALSE(RTME_SwitcherCommand(bogus, kRtmeCommandShowLiveInput, nullptr));
  EXPECT_FALSE(RTME_ReleaseOutput(bogus));
  BYTE* address = nullptr;
  DWORD bytes = 0;
  EXPECT_EQ(RTME_GetEmptyOutputBuffer(bogus, &address, &bytes), 0u);
  EXPECT_FALSE(RTME_ShowOutputBuffer(bogus, 1, 1));
  EXPECT_FALSE(RTME_ReturnOutputBuffer(bogus, 1, 1));
  EXPECT_EQ(RTME_CreateOutput("test.bad.output", 0, 0, 2), 0u);

  EXPECT_EQ(Harmonex_CreateProducer(bogus, "test.bad.other", &descriptor), 0u);
  EXPECT_EQ(Harmonex_CreateProducer(context, "test.bad.other", nullptr), 0u);
  Harmonex_ProducerDescriptor wrongSize = descriptor;
  wrongSize.recordBytes = 20;
  EXPECT_EQ(Harmonex_CreateProducer(context, "test.bad.other", &wrongSize), 0u);
  Harmonex_SpiderDescriptor spiderDescriptor{8, &format};
  EXPECT_EQ(Harmonex_CreateSpider(bogus, "test.bad.spider", &spiderDescriptor), 0u);
  const DWORD spider = Harmonex_CreateSpider(context, "test.bad.spider", &spiderDescriptor);
  ASSERT_NE(spider, 0u);
  EXPECT_FALSE(Harmonex_ConnectSpider(spider, "no.such.producer", RTME_PIN_OUTPUT_FEED, 0));
  EXPECT_FALSE(Harmonex_ConnectSpider(spider, "test.bad.vidout", RTME_PIN_INPUT, 0));
  EXPECT_FALSE(Harmonex_ConnectSpider(spider, nullptr, RTME_PIN_OUTPUT_FEED, 0));
  EXPECT_TRUE(Harmonex_ConnectSpider(spider, "test.bad.vidout", RTME_PIN_OUTPUT_FEED, 0));
  EXPECT_FALSE(Harmonex_StartSpider(bogus));
  EXPECT_FALSE(Harmonex_StopSpider(bogus));
  EXPECT_FALSE(Harmonex_DestroySpider(bogus));
  EXPECT_TRUE(Harmonex_DestroySpider(spider));
  EXPECT_FALSE(Harmonex_DestroySpider(spider));
  EXPECT_FALSE(Harmonex_FreeBuffer(bogus, 0x100000, 1));
  // A producer destroyed while routed: the board goes on without it.
  const DWORD routing = Harmonex_CreateSpider(context, "test.bad.spider2", &spiderDescriptor);
  ASSERT_TRUE(Harmonex_ConnectSpider(routing, "test.bad.vidout", RTME_PIN_OUTPUT_FEED, 0));
  ASSERT_TRUE(Harmonex_StartSpider(routing));
  ASSERT_TRUE(Harmonex_DestroyProducer(producer));
  testing::AdvanceFields(3);
  EXPECT_TRUE(Harmonex_StopSpider(routing));
  Harmonex_DestroySpider(routing);
}

}  // namespace
}  // namespace quellor::board::tests
