// Named objects are exclusive on the board, across processes, and a dead
// process's names come back.
#include "BoardTestSupport.h"
#include <unistd.h>

#include "board/BoardControl.h"
#include "board/testing/BoardClock.h"

namespace quellor::board::tests {
namespace {

using NamedObjectTest = BoardTest;

DWORD CreateProducer(DWORD context, const char* name, Harmonex_FormatRecord& format) {
  format = Harmonex_FormatRecord{};
  format.recordBytes = 40;
  Harmonex_ProducerDescriptor descriptor{};
  descriptor.recordBytes = 24;
  descriptor.format = &format;
  return Harmonex_CreateProducer(context, name, &descriptor);
}

TEST_F(NamedObjectTest, ASecondProducerOfOneNameFailsHereAndInAnotherProcess) {
  const DWORD context = RTME_GetMediaContext(RTME_OpenEngine());
  Harmonex_FormatRecord format, other;
  const DWORD producer = CreateProducer(context, "media.apps.qlclipboard.vidout", format);
  ASSERT_NE(producer, 0u);
  EXPECT_EQ(CreateProducer(context, "media.apps.qlclipboard.vidout", other), 0u);
  EXPECT_EQ(RunHelper({"hold-producer", "media.apps.qlclipboard.vidout"}), "refused");

  BoardStatus status;
  std::string error;
  ASSERT_TRUE(ReadBoardStatus(status, error));
  ASSERT_EQ(status.objects.size(), 1u);
  EXPECT_EQ(status.objects[0].name, "media.apps.qlclipboard.vidout");
  EXPECT_EQ(status.objects[0].kind, "producer");
  EXPECT_EQ(status.objects[0].processId, static_cast<long>(getpid()));

  ASSERT_TRUE(Harmonex_DestroyProducer(producer));
  EXPECT_FALSE(Harmonex_DestroyProducer(producer));
  EXPECT_EQ(RunHelper({"hold-producer", "media.apps.qlclipboard.vidout"}), "held");
}

TEST_F(NamedObjectTest, ANameHeldByAnotherProcessIsFreeOnceItEnds) {
  const DWORD context = RTME_GetMediaContext(RTME_OpenEngine());
  Harmonex_FormatRecord format;
  HelperProcess holder({"hold-producer", "media.apps.EdgeWright.vidout"});
  ASSERT_EQ(holder.firstLine(), "held");
  EXPECT_EQ(CreateProducer(context, "media.apps.EdgeWright.vidout", format), 0u);
  EXPECT_EQ(holder.Finish(), 0);
  const DWORD producer = CreateProducer(context, "media.apps.EdgeWright.vidout", format);
  EXPECT_NE(producer, 0u);
  Harmonex_DestroyProducer(producer);
}

TEST_F(NamedObjectTest, KindsShareOneNamespace) {
  const DWORD context = RTME_GetMediaContext(RTME_OpenEngine());
  const DWORD probe = RTME_CreateProbe(context, "test.names.shared");
  ASSERT_NE(probe, 0u);
  EXPECT_EQ(RTME_CreateOutput("test.names.shared", 0, 0, 0), 0u);
  EXPECT_EQ(RTME_OpenSwitcherClient("test.names.shared"), 0u);
  RTME_DestroyProbe(probe);
  const DWORD output = RTME_CreateOutput("test.names.shared", 0, 0, 0);
  EXPECT_NE(output, 0u);
  RTME_ReleaseOutput(output);
}

TEST_F(NamedObjectTest, NamesMustBeOneToEightyCharacters) {
  const DWORD context = RTME_GetMediaContext(RTME_OpenEngine());
  const std::string longest(80, 'n');
  const std::string tooLong(81, 'n');
  EXPECT_EQ(RTME_CreateProbe(context, tooLong.c_str()), 0u);
  EXPECT_EQ(RTME_CreateProbe(context, ""), 0u);
  EXPECT_EQ(RTME_CreateProbe(context, nullptr), 0u);
  EXPECT_EQ(RTME_OpenSwitcherClient(tooLong.c_str()), 0u);
  EXPECT_EQ(RTME_CreateOutput(nullptr, 0, 0, 0), 0u);
  const DWORD probe = RTME_CreateProbe(context, longest.c_str());
  EXPECT_NE(probe, 0u);
  // Characters outside file names are kept apart, not mixed up.
  const DWORD slashed = RTME_CreateProbe(context, "a/b c%");
  const DWORD plain = RTME_CreateProbe(context, "a_b_c_");
  EXPECT_NE(slashed, 0u);
  EXPECT_NE(plain, 0u);
  BoardStatus status;
  std::string error;
  ASSERT_TRUE(ReadBoardStatus(status, error));
  ASSERT_EQ(status.objects.size(), 3u);
  EXPECT_EQ(status.objects[0].name, "a/b c%");
  RTME_DestroyProbe(probe);
  RTME_DestroyProbe(slashed);
  RTME_DestroyProbe(plain);
}

TEST_F(NamedObjectTest, WithoutTheBoardTheSwitcherClientCannotOpen) {
  setenv("QUELLOR_BOARD", "none", 1);
  testing::ResetBoard();
  EXPECT_EQ(RTME_OpenSwitcherClient("apps.QLClipboard.Switcher1234"), 0u);
  unsetenv("QUELLOR_BOARD");
  testing::ResetBoard();
  const DWORD client = RTME_OpenSwitcherClient("apps.QLClipboard.Switcher1234");
  EXPECT_NE(client, 0u);
  EXPECT_TRUE(RTME_CloseSwitcherClient(client));
  EXPECT_FALSE(RTME_CloseSwitcherClient(client));
}

}  // namespace
}  // namespace quellor::board::tests
