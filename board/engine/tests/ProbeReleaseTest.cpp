// Field release through the support library, overrun accounting, detaching
// and destroying probes.
#include "BoardTestSupport.h"
#include "board/BoardControl.h"
#include "board/testing/BoardClock.h"

namespace quellor::board::tests {
namespace {

using ProbeReleaseTest = BoardTest;

TEST_F(ProbeReleaseTest, HeldFieldsBecomeOverrunsOnceEveryBufferIsTaken) {
  RecordingProbe probe;
  probe.hold = true;
  probe.Open("test.release.hold", RTME_PIN_INPUT);
  testing::AdvanceFields(10);
  // Eight buffers per probe: fields 9 and 10 found none and were lost.
  ASSERT_EQ(probe.fields.size(), 8u);
  EXPECT_EQ(testing::ProcessOverruns(), 2u);
  BoardStatus status;
  std::string error;
  ASSERT_TRUE(ReadBoardStatus(status, error)) << error;
  EXPECT_EQ(status.overruns, 2u);

  EXPECT_EQ(Harmonex_ReleaseField(probe.owner, probe.fields[3].info.bufferToken), 1u);
  testing::AdvanceFields(2);
  ASSERT_EQ(probe.fields.size(), 9u);
  EXPECT_EQ(probe.fields[8].info.timeStamp, 11u);
  EXPECT_EQ(testing::ProcessOverruns(), 3u);
  probe.Close();
}

TEST_F(ProbeReleaseTest, ReleaseNeedsTheRightOwnerAndWorksOnce) {
  RecordingProbe probe;
  probe.hold = true;
  probe.Open("test.release.once", RTME_PIN_INPUT);
  testing::AdvanceFields(1);
  ASSERT_EQ(probe.fields.size(), 1u);
  const DWORD token = probe.fields[0].info.bufferToken;
  EXPECT_EQ(Harmonex_ReleaseField(probe.probe, token), 0u);  // the probe is not the owner
  EXPECT_EQ(Harmonex_ReleaseField(0, token), 0u);
  EXPECT_EQ(Harmonex_ReleaseField(probe.owner, 0), 0u);
  EXPECT_EQ(Harmonex_ReleaseField(probe.owner, token), 1u);
  EXPECT_EQ(Harmonex_ReleaseField(probe.owner, token), 0u);  // double release
  probe.Close();
}

TEST_F(ProbeReleaseTest, DetachingStopsDeliveriesAndFailsTheSecondTime) {
  RecordingProbe probe;
  probe.Open("test.release.detach", RTME_PIN_INPUT);
  testing::AdvanceFields(2);
  EXPECT_TRUE(RTME_AttachProbe(probe.probe, nullptr));
  EXPECT_FALSE(RTME_AttachProbe(probe.probe, nullptr));
  testing::AdvanceFields(2);
  EXPECT_EQ(probe.fields.size(), 2u);
  EXPECT_TRUE(RTME_AttachProbe(probe.probe, RTME_PIN_INPUT));
  testing::AdvanceFields(1);
  EXPECT_EQ(probe.fields.size(), 3u);
  EXPECT_FALSE(RTME_AttachProbe(probe.probe, "media.pins.quellor.vin1.out"));
  probe.Close();
}

TEST_F(ProbeReleaseTest, ACallbackMayDestroyItsOwnProbe) {
  struct SelfDestroying {
    DWORD probe = 0;
    int calls = 0;
  } state;
  const DWORD instance = RTME_OpenEngine();
  state.probe = RTME_CreateProbe(RTME_GetMediaContext(instance), "test.release.self");
  ASSERT_TRUE(RTME_SetProbeCallback(state.probe, &state,
                                    [](void* context, const BYTE*, const RTME_FieldInfo*) -> DWORD {
                                      auto* self = static_cast<SelfDestroying*>(context);
                                      ++self->calls;
                                      return RTME_DestroyProbe(self->probe);
                                    }));
  ASSERT_TRUE(RTME_AttachProbe(state.probe, RTME_PIN_INPUT));
  const DWORD owner = RTME_GetProbeBufferOwner(state.probe);
  testing::AdvanceFields(3);
  EXPECT_EQ(state.calls, 1);
  EXPECT_FALSE(RTME_DestroyProbe(state.probe));
  EXPECT_EQ(RTME_GetProbeBufferOwner(state.probe), 0u);
  EXPECT_EQ(Harmonex_ReleaseField(owner, 1), 0u);
  // Its name is free again.
  const DWORD again = RTME_CreateProbe(RTME_GetMediaContext(instance), "test.release.self");
  EXPECT_NE(again, 0u);
  RTME_DestroyProbe(again);
}

TEST_F(ProbeReleaseTest, ProbesWithoutCallbackOrPinGetNothing) {
  RecordingProbe attachedOnly;
  attachedOnly.Open("test.release.quiet", RTME_PIN_INPUT);
  const DWORD instance = RTME_OpenEngine();
  const DWORD bare = RTME_CreateProbe(RTME_GetMediaContext(instance), "test.release.bare");
  EXPECT_TRUE(RTME_AttachProbe(bare, RTME_PIN_INPUT));
  EXPECT_FALSE(RTME_SetProbeCallback(bare, nullptr, nullptr));
  testing::AdvanceFields(20);
  EXPECT_EQ(attachedOnly.fields.size(), 20u);
  EXPECT_EQ(testing::ProcessOverruns(), 0u);
  RTME_DestroyProbe(bare);
  attachedOnly.Close();
}

}  // namespace
}  // namespace quellor::board::tests
