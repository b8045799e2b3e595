// The field clock, the input pin's fields and the field records.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "../InputSettingStore.h"
#include "BoardTestSupport.h"
#include "board/testing/BoardClock.h"

namespace quellor::board::tests {
namespace {

using FieldClockTest = BoardTest;

TEST_F(FieldClockTest, InputFieldsAlternateParityAndCarryTheClockCounter) {
  RecordingProbe probe;
  probe.Open("test.clock.probe", RTME_PIN_INPUT);
  testing::AdvanceFields(6);
  ASSERT_EQ(probe.fields.size(), 6u);
  for (DWORD i = 0; i < 6; ++i) {
    const RTME_FieldInfo& info = probe.fields[i].info;
    EXPECT_EQ(info.timeStamp, i + 1);
    EXPECT_EQ(RTME_GetFieldParity(&info.format), (i + 1) & 1u);
    EXPECT_EQ(info.recordBytes, 44u);
    EXPECT_EQ(info.format.rasterLineBytes, 1716u);
    EXPECT_EQ(info.format.lineCount, 240u);
    EXPECT_EQ(info.fieldBytes, 345600u);
    EXPECT_NE(info.bufferToken, 0u);
  }
  // The words sit where callers read them.
  const auto* words = reinterpret_cast<const DWORD*>(&probe.fields[0].info);
  EXPECT_EQ(words[1], probe.fields[0].info.bufferToken);
  EXPECT_EQ(words[3], 1u);
  EXPECT_EQ(words[8], 1716u);
  EXPECT_EQ(words[10], 240u);
  probe.Close();
}

TEST_F(FieldClockTest, SwitcherTimeStampIsTheFieldBeingDelivered) {
  struct Check {
    DWORD client;
    DWORD owner;
    int mismatches = 0;
    int calls = 0;
  } check;
  check.client = RTME_OpenSwitcherClient("test.clock.switcher");
  ASSERT_NE(check.client, 0u);
  testing::UseManualClock(1000);
  EXPECT_EQ(RTME_GetFieldTimeStamp(check.client, 0, 0), 1000u);

  const DWORD instance = RTME_OpenEngine();
  const DWORD probe = RTME_CreateProbe(RTME_GetMediaContext(instance), "test.clock.stamp");
  check.owner = RTME_GetProbeBufferOwner(probe);
  ASSERT_TRUE(RTME_AttachProbe(probe, RTME_PIN_INPUT));
  ASSERT_TRUE(RTME_SetProbeCallback(
      probe, &check, [](void* context, const BYTE*, const RTME_FieldInfo* info) -> DWORD {
        auto* self = static_cast<Check*>(context);
        ++self->calls;
        if (RTME_GetFieldTimeStamp(self->client, 0, 0) != info->timeStamp) ++self->mismatches;
        return Harmonex_ReleaseField(self->owner, info->bufferToken);
      }));
  testing::AdvanceFields(5);
  EXPECT_EQ(check.calls, 5);
  EXPECT_EQ(check.mismatches, 0);
  EXPECT_EQ(RTME_GetFieldTimeStamp(check.client, 0, 0), 1005u);
  EXPECT_EQ(RTME_GetFieldTimeStamp(0xBADu, 0, 0), 0u);
  RTME_DestroyProbe(probe);
  RTME_CloseSwitcherClient(check.client);
}

TEST_F(FieldClockTest, FieldFormatRecordsOfBothStandards) {
  RTME_FieldDescriptor descriptor{};
  ASSERT_TRUE(RTME_FillNtscFieldFormat(&descriptor.format, 1));
  const auto* bytes = reinterpret_cast<const BYTE*>(&descriptor);
  DWORD raster, lines;
  std::memcpy(&raster, bytes + 32, 4);
  std::memcpy(&lines, bytes + 40, 4);
  EXPECT_EQ(raster, 1716u);
  EXPECT_EQ(lines, 240u);
  EXPECT_EQ(RTME_GetFieldParity(&descriptor.format), 1u);

  ASSERT_TRUE(RTME_FillPalFieldFormat(&descriptor.format, 0));
  std::memcpy(&raster, bytes + 32, 4);
  std::memcpy(&lines, bytes + 40, 4);
  EXPECT_EQ(raster, 1728u);
  EXPECT_EQ(lines, 288u);
  EXPECT_EQ(RTME_GetFieldParity(&descriptor.format), 0u);

  EXPECT_FALSE(RTME_FillNtscFieldFormat(&descriptor.format, 2));
  EXPECT_FALSE(RTME_FillPalFieldFormat(nullptr, 0));
  const RTME_FieldFormat unfilled{};
  EXPECT_EQ(RTME_GetFieldParity(&unfilled), 0xFFFFFFFFu);
  EXPECT_EQ(RTME_GetFieldParity(nullptr), 0xFFFFFFFFu);
}

TEST_F(FieldClockTest, RealtimeClockDeliversFieldsOnItsOwnThread) {
  // The callback tells the test when the third field has arrived; the wait
  // is bounded only so that a clock that never runs fails instead of hanging.
  struct Seen {
    std::mutex mutex;
    std::condition_variable arrived;
    int count = 0;
    bool otherThread = false;
    std::thread::id testThread;
    DWORD owner = 0;
  } seen;
  seen.testThread = std::this_thread::get_id();
  const DWORD instance = RTME_OpenEngine();
  const DWORD probe = RTME_CreateProbe(RTME_GetMediaContext(instance), "test.clock.realtime");
  seen.owner = RTME_GetProbeBufferOwner(probe);
  ASSERT_TRUE(RTME_SetProbeCallback(
      probe, &seen, [](void* context, const BYTE*, const RTME_FieldInfo* info) -> DWORD {
        auto* self = static_cast<Seen*>(context);
        {
          std::lock_guard<std::mutex> lock(self->mutex);
          if (std::this_thread::get_id() != self->testThread) self->otherThread = true;
          ++self->count;
        }
        self->arrived.notify_all();
        return Harmonex_ReleaseField(self->owner, info->bufferToken);
      }));
  ASSERT_TRUE(RTME_AttachProbe(probe, RTME_PIN_INPUT));
  testing::UseRealtimeClock();
  {
    std::unique_lock<std::mutex> lock(seen.mutex);
    EXPECT_TRUE(
        seen.arrived.wait_for(lock, std::chrono::seconds(30), [&] { return seen.count >= 3; }))
        << "the real-time clock delivered " << seen.count << " fields";
    EXPECT_TRUE(seen.otherThread);
  }
  ASSERT_TRUE(RTME_AttachProbe(probe, nullptr));
  const int afterDetach = [&] {
    std::lock_guard<std::mutex> lock(seen.mutex);
    return seen.count;
  }();
  testing::UseManualClock(0);
  {
    std::lock_guard<std::mutex> lock(seen.mutex);
    EXPECT_EQ(seen.count, afterDetach);
  }
  RTME_DestroyProbe(probe);
}

TEST(FieldClockRateTest, FieldsFollowTheStandardsRates) {
  InputState ntsc;
  ntsc.epochNanoseconds = 5'000'000'000ull;
  ntsc.baseField = 100;
  // 60000/1001 fields a second: 59 fields after one second, 60 after 1.001 s.
  EXPECT_EQ(ntsc.FieldAt(ntsc.epochNanoseconds + 1'000'000'000ull), 159u);
  EXPECT_EQ(ntsc.FieldAt(ntsc.epochNanoseconds + 1'001'000'000ull), 160u);
  EXPECT_EQ(ntsc.FieldAt(ntsc.epochNanoseconds - 1), 100u);
  EXPECT_EQ(ntsc.StartOfField(160), ntsc.epochNanoseconds + 1'001'000'000ull);
  for (std::uint32_t field : {101u, 117u, 5000u})
    EXPECT_EQ(ntsc.FieldAt(ntsc.StartOfField(field)), field);
  InputState pal = ntsc;
  pal.setting.standard = VideoStandard::Pal;
  EXPECT_EQ(pal.FieldAt(pal.epochNanoseconds + 1'000'000'000ull), 150u);
  EXPECT_EQ(pal.StartOfField(101), pal.epochNanoseconds + 20'000'000ull);
  // A day of uptime stays exact.
  EXPECT_EQ(pal.FieldAt(pal.epochNanoseconds + 86'400'000'000'000ull), 100u + 86'400u * 50u);
}

TEST_F(FieldClockTest, ChangingTheInputKeepsTheCounterGoing) {
  InputSettingStore store(folder());
  InputState before;
  ASSERT_TRUE(store.Load(before));
  const std::uint32_t fieldBefore = before.FieldAt(MonotonicNanoseconds());
  InputSetting pal;
  pal.kind = InputSourceKind::Black;
  pal.standard = VideoStandard::Pal;
  ASSERT_TRUE(store.Store(pal));
  InputState after;
  ASSERT_TRUE(store.Load(after));
  EXPECT_EQ(after.setting.kind, InputSourceKind::Black);
  EXPECT_EQ(after.setting.standard, VideoStandard::Pal);
  EXPECT_GE(after.baseField, fieldBefore);
  EXPECT_LE(after.baseField, fieldBefore + 2);  // a few microseconds passed, no jump
}

TEST_F(FieldClockTest, AnInputFileThatCannotBeReadIsNotStartedOver) {
  // An input file whose every read fails, as on a failing disk.
  const std::string path = folder() + "/input";
  unlink(path.c_str());
  ASSERT_EQ(symlink("/proc/self/mem", path.c_str()), 0);
  InputSettingStore store(folder());
  InputState state;
  EXPECT_FALSE(store.Load(state));  // not the power-on input passed off as the stored one
  struct stat info;
  ASSERT_EQ(lstat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));  // the setting nobody could read stays
}

// Two settings stored within one tick of the file system's clock can leave
// the file with the same time, size and inode (the new file takes the inode
// the old one freed): the change must still be seen.
TEST_F(FieldClockTest, AChangeWithinOneClockTickOnTheSameInodeIsSeen) {
  InputSettingStore store(folder());
  InputState state;
  ASSERT_TRUE(store.Load(state));
  const std::string path = folder() + "/input";
  timespec tick;
  clock_gettime(CLOCK_REALTIME, &tick);
  const timespec times[2] = {tick, tick};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  store.Changed();  // takes the file as it is now
  EXPECT_FALSE(store.Changed());
  // The same length, written in place (same inode), the time put back.
  std::string contents;
  {
    std::ifstream in(path);
    contents.assign(std::istreambuf_iterator<char>(in), {});
  }
  const auto source = contents.find("source bars");
  ASSERT_NE(source, std::string::npos);
  contents.replace(source, 11, "source none");
  {
    std::ofstream out(path, std::ios::in | std::ios::out);
    out << contents;
  }
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_TRUE(store.Changed());
  EXPECT_FALSE(store.Changed());
}

}  // namespace
}  // namespace quellor::board::tests
