// Discovery of the four interfaces, the exports with fixed results and the
// calls whose contexts are not built yet.
#include <cstring>

#include "BridgeTestSupport.h"
#include "win32/testing/DebugOutput.h"

namespace quellor::rtvbridge::testing {
namespace {

using Query = AVFILE_Result (*)(InterfaceRecord*);

InterfaceRecord RecordAtLevel(std::int32_t level) {
  InterfaceRecord record;
  std::memset(&record, 0xAB, sizeof record);
  record.hostLevel = level;
  return record;
}

bool Untouched(const InterfaceRecord& record, std::int32_t level) {
  InterfaceRecord expected = RecordAtLevel(level);
  return std::memcmp(&record, &expected, sizeof record) == 0;
}

struct QueryCase {
  Query query;
  std::int32_t minimum;
  const char* guid;
  const char* name;
  std::int32_t capability;
  bool fileTypes;
};

const QueryCase kQueries[] = {
    {AVFILE_QueryInterfaceReading, 224, "4E19A7C2-B3D5-11d2-8F21-0060B3C47D19",
     "Video Quellor RTV File Input", 9, true},
    {AVFILE_QueryInterfaceWriting, 224, "4E19A7C3-B3D5-11d2-8F21-0060B3C47D19",
     "Video Quellor RTV File Output", 1, true},
    {AVFILE_QueryInterfaceRecording, 224, "4E19A7C2-B3D5-11d2-8F21-0060B3C47D19",
     "Video Quellor Record Device", 1, true},
    {AVFILE_QueryInterfaceSink, 324, "4E19A7C1-B3D5-11d2-8F21-0060B3C47D19",
     "Video Quellor Output Device", 1, false},
};

using DiscoveryTest = BridgeTest;

TEST_F(DiscoveryTest, EachQueryRefusesALevelBelowItsMinimumAndLeavesTheRecordAlone) {
  ASSERT_TRUE(StartPlugin());
  for (const QueryCase& c : kQueries) {
    InterfaceRecord record = RecordAtLevel(c.minimum - 1);
    EXPECT_EQ(c.query(&record), 0) << c.name;
    EXPECT_TRUE(Untouched(record, c.minimum - 1)) << c.name;
    EXPECT_EQ(c.query(nullptr), 0) << c.name;
  }
}

TEST_F(DiscoveryTest, EachQueryFillsItsRecordAtTheMinimumLevel) {
  ASSERT_TRUE(StartPlugin());
  for (const QueryCase& c : kQueries) {
    InterfaceRecord record = RecordAtLevel(c.minimum);
    ASSERT_EQ(c.query(&record), 1) << c.name;
    EXPECT_EQ(record.hostLevel, c.minimum);
    EXPECT_STREQ(record.familyGuid, "4E19A7C0-B3D5-11d2-8F21-0060B3C47D19");
    EXPECT_STREQ(record.interfaceGuid, c.guid);
    EXPECT_EQ(record.capability, c.capability);
    EXPECT_STREQ(record.displayName, c.name);
    EXPECT_EQ(record.constantTwo, 2);
    EXPECT_EQ(record.fileTypeCount, 1);
    if (c.fileTypes) {
      EXPECT_STREQ(record.extensions[0], "rtv");
      EXPECT_STREQ(record.descriptions[0], "Video Quellor - rtv");
    } else {
      InterfaceRecord untouched = RecordAtLevel(c.minimum);
      EXPECT_EQ(record.extensions, untouched.extensions);
      EXPECT_EQ(record.descriptions, untouched.descriptions);
    }
  }
  EXPECT_EQ(AVFILE_CloseInterfaceSink(), 1);
}

TEST_F(DiscoveryTest, FixedExportsGiveTheirResultWhateverTheArguments) {
  using Fixed = AVFILE_Result (*)(void*, void*);
  const Fixed ones[] = {AVFILE_CloseInterfaceReading,
                        AVFILE_CloseInterfaceRecording,
                        AVFILE_CloseInterfaceWriting,
                        AVFILE_EnablePassThrough,
                        AVFILE_QueueRecording,
                        AVFILE_ReleaseFormatFromReadImageFrame,
                        AVFILE_ReleaseFormatFromSetSinkSettings,
                        AVFILE_ReleaseFormatFromSetWritingSettings,
                        AVFILE_ReleaseFormatsFromGetReadingFileInfo,
                        AVFILE_ReleaseFormatsFromGetRecordingInfo,
                        AVFILE_ReleaseFormatsFromGetSinkInfo,
                        AVFILE_ReleaseFormatsFromGetWritingFileInfo,
                        AVFILE_ReleaseFormatsFromSetRecordingSettings};
  const Fixed zeros[] = {AVFILE_GetVUMeterRecording,
                         AVFILE_GrabAudioToBuffer,
                         AVFILE_GrabImageToBuffer,
                         AVFILE_ReadAudioSamples,
                         AVFILE_ReleaseFormatFromReadAudioSamples,
                         AVFILE_WriteNextAudioSamples,
                         AVFILE_WriteSegment};
  int some = 0;
  for (Fixed f : ones) {
    EXPECT_EQ(f(nullptr, nullptr), 1);
    EXPECT_EQ(f(&some, reinterpret_cast<void*>(1)), 1);
  }
  for (Fixed f : zeros) {
    EXPECT_EQ(f(nullptr, nullptr), 0);
    EXPECT_EQ(f(&some, reinterpret_cast<void*>(1)), 0);
  }
}

TEST_F(DiscoveryTest, RecordingAndSinkCallsRefuseHandlesTheyDidNotGiveOut) {
  ASSERT_TRUE(StartPlugin());
  AVFILE_Handle handle = nullptr;
  int record[300] = {};
  EXPECT_EQ(AVFILE_OpenRecording(&handle, record), 0);  // size 0, not 480
  EXPECT_EQ(AVFILE_SetRecordingSettings(record), 0);
  EXPECT_EQ(AVFILE_StartRecording(record), 0);
  EXPECT_EQ(AVFILE_StopRecording(record), 0);
  EXPECT_EQ(AVFILE_CloseRecording(record), 0);
  EXPECT_EQ(AVFILE_SinkGetEmptyBuffer(record, record), 0);
  EXPECT_EQ(AVFILE_StopSink(record), 0);
  EXPECT_EQ(AVFILE_CloseSink(record), 0);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(AVFILE_QueueSink(record), 1);
  EXPECT_EQ(AVFILE_QueueSink(nullptr), 0);
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace quellor::rtvbridge::testing
