// Reading clips through the exports: refusals, the file description, every
// format for NTSC and PAL, and bad files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <optional>
#include <string>
#include <thread>

#include "BridgeTestSupport.h"
#include "ClipHandles.h"
#include "PixelFormats.h"
#include "board/ColourConversion.h"
#include "cliplib/clip/OpenClipTable.h"

namespace quellor::rtvbridge::testing {
namespace {

class ReadingTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    ASSERT_TRUE(StartPlugin());
  }
};

std::uint32_t U32At(const Bytes& bytes, std::size_t offset) {
  std::uint32_t value;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

TEST_F(ReadingTest, OpenRefusesMissingShortForeignAndOverlongPaths) {
  AVFILE_Handle handle = nullptr;
  EXPECT_EQ(AVFILE_OpenFileForRead(&handle, Path("missing.rtv").c_str()), 0);
  WriteFile(Path("short.rtv"), {'F', 'M', 'T'});
  EXPECT_EQ(AVFILE_OpenFileForRead(&handle, Path("short.rtv").c_str()), 0);
  WriteFile(Path("foreign.rtv"), Bytes(4096, 'x'));
  EXPECT_EQ(AVFILE_OpenFileForRead(&handle, Path("foreign.rtv").c_str()), 0);
  EXPECT_EQ(AVFILE_OpenFileForRead(&handle, (Folder() + "/" + std::string(300, 'a')).c_str()), 0);
  EXPECT_EQ(AVFILE_OpenFileForRead(&handle, nullptr), 0);
  WriteClip(Path("clip.rtv"), kNtsc, 1);
  EXPECT_EQ(AVFILE_OpenFileForRead(nullptr, Path("clip.rtv").c_str()), 0);
  EXPECT_EQ(handle, nullptr);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ReadingTest, OpenRefusesAPipeWithoutWaitingForAWriter) {
  const std::string pipe = Path("pipe.rtv");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  AVFILE_Handle handle = nullptr;
  std::packaged_task<AVFILE_Result()> open(
      [&] { return AVFILE_OpenFileForRead(&handle, pipe.c_str()); });
  std::future<AVFILE_Result> result = open.get_future();
  std::thread opener(std::move(open));
  const bool returned = result.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  // A hung open is ended by opening and closing the pipe's other end.
  if (!returned) ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
  opener.join();
  EXPECT_TRUE(returned) << "the open waited for a writer";
  EXPECT_EQ(result.get(), 0);
  EXPECT_EQ(handle, nullptr);
}

TEST_F(ReadingTest, InfoDescribesTheClipAndItsThreeFormats) {
  WriteClip(Path("clip.rtv"), kPal, 3);
  AVFILE_Handle handle = OpenForRead(Path("clip.rtv"));
  ASSERT_NE(handle, nullptr);
  EXPECT_STREQ(static_cast<const char*>(handle), Path("clip.rtv").c_str());

  ReadingFileInfoRecord info{};
  info.size = kMinReadingFileInfoSize - 1;
  EXPECT_EQ(AVFILE_GetReadingFileInfo(handle, &info), 0);
  EXPECT_EQ(AVFILE_GetReadingFileInfo(handle, nullptr), 0);
  info.size = sizeof info;
  ASSERT_EQ(AVFILE_GetReadingFileInfo(handle, &info), 1);
  EXPECT_EQ(info.eight, 8);
  EXPECT_STREQ(info.producer, "Video Quellor");
  EXPECT_EQ(info.forty, 40);
  EXPECT_EQ(info.mask, 0xFFFF);
  EXPECT_EQ(info.frameCount, 3);
  EXPECT_EQ(info.formatCount, 3);
  EXPECT_EQ(info.handle, handle);
  EXPECT_EQ(std::memcmp(info.preference, "\0\1\2\0", 4), 0);
  const ImageFormatRecord* f = info.formats;
  EXPECT_STREQ(f[0].guid, kGuid422);
  EXPECT_STREQ(f[0].name, "4:2:2");
  EXPECT_EQ(f[0].bytesPerFrame, 720 * 576 * 2 + 4);
  EXPECT_EQ(f[0].flags, 0x812);
  EXPECT_STREQ(f[1].guid, kGuid444);
  EXPECT_EQ(f[1].bytesPerFrame, 720 * 576 * 4);
  EXPECT_EQ(f[1].flags, 0x110);
  EXPECT_STREQ(f[2].guid, kGuidRgba32);
  EXPECT_STREQ(f[2].name, "RGBA-32");
  EXPECT_EQ(f[2].flags, 0x100);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(f[i].size, 236);
    EXPECT_EQ(f[i].width, 720);
    EXPECT_EQ(f[i].height, 576);
    // The process-wide rate (NTSC here), whatever the clip's.
    EXPECT_EQ(f[i].rateNumerator, 29970026);
    EXPECT_EQ(f[i].rateDenominator, 1000000);
  }
  EXPECT_EQ(AVFILE_CloseReadingFile(handle), 1);
}

// 4:2:2 reads give the stored bytes exactly, with the trailer right behind
// the pixels of the frame (at 691200 for NTSC, 829440 for PAL).
void Check422RoundTrip(const std::string& path, const Standard& standard) {
  WriteClip(path, standard, 3);
  AVFILE_Handle handle = OpenForRead(path);
  ASSERT_NE(handle, nullptr);
  for (int n : {2, 0, 1}) {
    Bytes buffer(standard.frameBytes() + 4, 0xFF);
    ImageFormatRecord delivered{};
    ASSERT_EQ(ReadFrame(handle, n, kGuid422, buffer, &delivered), 1) << n;
    const Bytes expected = FrameBytes(standard, n);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin())) << n;
    EXPECT_EQ(U32At(buffer, standard.frameBytes()), standard.fieldBytes());
    EXPECT_EQ(delivered.flags, 0x812);
    EXPECT_EQ(delivered.width, standard.width);
    EXPECT_EQ(delivered.height, standard.height);
    EXPECT_STREQ(delivered.guid, kGuid422);
  }
  EXPECT_EQ(AVFILE_CloseReadingFile(handle), 1);
}

TEST_F(ReadingTest, Reads422ByteForByteForNtscAndPal) {
  Check422RoundTrip(Path("ntsc.rtv"), kNtsc);
  Check422RoundTrip(Path("pal.rtv"), kPal);
}

TEST_F(ReadingTest, Reads444InterleavedTopDown) {
  for (const Standard& standard : {kNtsc, kPal}) {
    const std::string path = Path(standard.videoMode ? "ntsc.rtv" : "pal.rtv");
    WriteClip(path, standard, 2);
    AVFILE_Handle handle = OpenForRead(path);
    Bytes buffer(std::size_t(standard.width) * standard.height * 4);
    ImageFormatRecord delivered{};
    ASSERT_EQ(ReadFrame(handle, 1, kGuid444, buffer, &delivered), 1);
    EXPECT_EQ(delivered.flags, 0x110);
    const Bytes stored = FrameBytes(standard, 1);
    const std::size_t w = std::size_t(standard.width);
    for (std::size_t line : {std::size_t{0}, std::size_t{1}, std::size_t(standard.height - 1)}) {
      const std::uint8_t* src =
          stored.data() + (line & 1) * standard.fieldBytes() + (line / 2) * w * 2;
      const std::uint8_t* out = buffer.data() + line * w * 4;
      for (std::size_t pair = 0; pair < w / 2; pair += 97) {
        const std::uint8_t* s = src + pair * 4;
        const std::uint8_t* o = out + pair * 8;
        EXPECT_EQ(Bytes(o, o + 8), (Bytes{s[1], s[0], s[2], 255, s[3], s[0], s[2], 255}))
            << line << " " << pair;
      }
    }
    AVFILE_CloseReadingFile(handle);
  }
}

TEST_F(ReadingTest, ReadsRgbaBottomUpThroughTheColourConversion) {
  for (const Standard& standard : {kNtsc, kPal}) {
    const std::string path = Path(standard.videoMode ? "ntsc.rtv" : "pal.rtv");
    WriteClip(path, standard, 1);
    AVFILE_Handle handle = OpenForRead(path);
    Bytes buffer(std::size_t(standard.width) * standard.height * 4);
    ImageFormatRecord delivered{};
    ASSERT_EQ(ReadFrame(handle, 0, kGuidRgba32, buffer, &delivered), 1);
    EXPECT_EQ(delivered.flags, 0x100);
    const Bytes stored = FrameBytes(standard, 0);
    const std::size_t w = std::size_t(standard.width);
    Bytes line(w * 4);
    for (std::size_t k : {std::size_t{0}, std::size_t{5}}) {
      decode_ycbcr8_bgra(line.data(), stored.data() + k * w * 2, int(w));
      EXPECT_EQ(
          std::memcmp(line.data(), buffer.data() + (standard.height - 1 - 2 * k) * w * 4, w * 4),
          0);
      decode_ycbcr8_bgra(line.data(), stored.data() + standard.fieldBytes() + k * w * 2, int(w));
      EXPECT_EQ(
          std::memcmp(line.data(), buffer.data() + (standard.height - 2 - 2 * k) * w * 4, w * 4),
          0);
    }
    AVFILE_CloseReadingFile(handle);
  }
}

TEST_F(ReadingTest, RefusesShortBuffersUnknownFormatsAndFramesPastTheEnd) {
  WriteClip(Path("clip.rtv"), kNtsc, 2);
  AVFILE_Handle handle = OpenForRead(Path("clip.rtv"));
  Bytes exact(kNtsc.frameBytes() + 4);
  Bytes short_by_one(kNtsc.frameBytes() + 3, 0x55);
  EXPECT_EQ(ReadFrame(handle, 0, kGuid422, short_by_one), 0);
  EXPECT_EQ(short_by_one, Bytes(kNtsc.frameBytes() + 3, 0x55));
  Bytes rgba_short(720 * 480 * 4 - 1);
  EXPECT_EQ(ReadFrame(handle, 0, kGuidRgba32, rgba_short), 0);
  EXPECT_EQ(ReadFrame(handle, 0, kGuid444, rgba_short), 0);
  EXPECT_EQ(ReadFrame(handle, 0, "00000000-0000-0000-0000-000000000000", exact), 0);
  EXPECT_EQ(ReadFrame(handle, 2, kGuid422, exact), 0);
  EXPECT_EQ(ReadFrame(handle, -1, kGuid422, exact), 0);
  EXPECT_EQ(ReadFrame(handle, 1, kGuid422, exact), 1);

  FrameRequestRecord small{};
  small.size = kMinFrameRequestSize - 1;
  EXPECT_EQ(AVFILE_ReadImageFrame(handle, &small), 0);
  EXPECT_EQ(AVFILE_ReadImageFrame(handle, nullptr), 0);
  EXPECT_EQ(AVFILE_CloseReadingFile(handle), 1);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ReadingTest, UnknownClosedAndTwiceClosedHandlesAreRefused) {
  WriteClip(Path("clip.rtv"), kNtsc, 1);
  char foreign[] = "/not/a/handle.rtv";
  Bytes buffer(kNtsc.frameBytes() + 4);
  ReadingFileInfoRecord info{};
  info.size = sizeof info;
  EXPECT_EQ(ReadFrame(foreign, 0, kGuid422, buffer), 0);
  EXPECT_EQ(AVFILE_GetReadingFileInfo(foreign, &info), 0);
  EXPECT_EQ(AVFILE_CloseReadingFile(foreign), 0);
  EXPECT_EQ(AVFILE_CloseReadingFile(nullptr), 0);

  AVFILE_Handle handle = OpenForRead(Path("clip.rtv"));
  ASSERT_EQ(AVFILE_CloseReadingFile(handle), 1);
  EXPECT_EQ(AVFILE_CloseReadingFile(handle), 0);
  EXPECT_EQ(ReadFrame(handle, 0, kGuid422, buffer), 0);
  EXPECT_EQ(AVFILE_GetReadingFileInfo(handle, &info), 0);
  // A reading handle is no writing handle.
  AVFILE_Handle reader = OpenForRead(Path("clip.rtv"));
  EXPECT_EQ(AVFILE_CloseFileForWrite(reader), 0);
  EXPECT_EQ(AVFILE_CloseReadingFile(reader), 1);
  EXPECT_TRUE(boxes.empty());
}

// A host that closes a handle on one thread while another still reads
// through it: every read either reads the frame or is refused, and the path
// a call looked up stays its own even when the close frees the handle.
TEST_F(ReadingTest, AHandleClosedWhileAnotherThreadReadsThroughItIsRefusedSafely) {
  WriteClip(Path("clip.rtv"), kNtsc, 2);
  AVFILE_Handle handle = OpenForRead(Path("clip.rtv"));
  std::atomic<bool> read_once{false};
  std::atomic<int> refused{0};
  std::thread reader([&] {
    Bytes buffer(kNtsc.frameBytes() + 4);
    for (int i = 0; i < 100000; ++i) {
      if (ReadFrame(handle, i % 2, kGuid422, buffer) == 0) {
        refused = 1;
        return;
      }
      read_once = true;
    }
  });
  while (!read_once && refused == 0) std::this_thread::yield();
  EXPECT_EQ(AVFILE_CloseReadingFile(handle), 1);
  reader.join();
  EXPECT_EQ(refused, 1);
  EXPECT_TRUE(boxes.empty());

  const std::optional<std::string> path =
      ClipHandles::Reading().PathOf(OpenForRead(Path("clip.rtv")));
  ASSERT_TRUE(path.has_value());
  ClipHandles::Reading().CloseAll();
  EXPECT_EQ(*path, Path("clip.rtv"));
}

TEST_F(ReadingTest, TwoHandlesShareASlotAndANinthClipEvictsTransparently) {
  WriteClip(Path("clip.rtv"), kNtsc, 1);
  AVFILE_Handle a = OpenForRead(Path("clip.rtv"));
  AVFILE_Handle b = OpenForRead(Path("clip.rtv"));
  Bytes buffer(kNtsc.frameBytes() + 4);
  ASSERT_EQ(ReadFrame(a, 0, kGuid422, buffer), 1);
  ASSERT_EQ(ReadFrame(b, 0, kGuid422, buffer), 1);
  EXPECT_EQ(clip::OpenClipTable::Instance().OpenPaths().size(), 1u);
  EXPECT_EQ(AVFILE_CloseReadingFile(a), 1);
  EXPECT_TRUE(clip::OpenClipTable::Instance().OpenPaths().empty());
  EXPECT_EQ(ReadFrame(b, 0, kGuid422, buffer), 1);  // reopened

  std::vector<AVFILE_Handle> handles;
  for (int i = 0; i < 9; ++i) {
    const std::string path = Path("clip" + std::to_string(i) + ".rtv");
    WriteClip(path, kNtsc, 1);
    handles.push_back(OpenForRead(path));
    ASSERT_EQ(ReadFrame(handles.back(), 0, kGuid422, buffer), 1);
  }
  for (AVFILE_Handle h : handles) EXPECT_EQ(ReadFrame(h, 0, kGuid422, buffer), 1);
  for (AVFILE_Handle h : handles) EXPECT_EQ(AVFILE_CloseReadingFile(h), 1);
  EXPECT_EQ(AVFILE_CloseReadingFile(b), 1);
}

TEST_F(ReadingTest, TruncatedClipsReadUpToTheirLastWholeFrame) {
  WriteClip(Path("clip.rtv"), kNtsc, 3);
  Bytes bytes = ReadFile(Path("clip.rtv"));
  bytes.resize(512 + 2 * kNtsc.frameBytes() + kNtsc.fieldBytes() + 100);  // 5 fields and a bit
  WriteFile(Path("cut.rtv"), bytes);
  AVFILE_Handle handle = OpenForRead(Path("cut.rtv"));
  ReadingFileInfoRecord info{};
  info.size = sizeof info;
  ASSERT_EQ(AVFILE_GetReadingFileInfo(handle, &info), 1);
  EXPECT_EQ(info.frameCount, 2);
  Bytes buffer(kNtsc.frameBytes() + 4);
  EXPECT_EQ(ReadFrame(handle, 1, kGuid422, buffer), 1);
  EXPECT_EQ(ReadFrame(handle, 2, kGuid422, buffer), 0);
  EXPECT_EQ(AVFILE_CloseReadingFile(handle), 1);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ReadingTest, HostileHeadersAreRefusedWithoutAMessage) {
  WriteClip(Path("clip.rtv"), kNtsc, 1);
  const Bytes good = ReadFile(Path("clip.rtv"));
  struct Damage {
    std::size_t offset;
    std::uint32_t value;
  };
  // Chunk size not a sector multiple; lines claiming more than the chunk
  // holds; a zero stream count; an unknown type.
  const Damage damages[] = {{24 + 4, 345601}, {24 + 20, 100000}, {12, 0}, {4, 7}};
  for (const Damage& d : damages) {
    Bytes bad = good;
    std::memcpy(bad.data() + d.offset, &d.value, 4);
    const std::string path = Path("bad" + std::to_string(d.offset) + ".rtv");
    WriteFile(path, bad);
    AVFILE_Handle handle = OpenForRead(path);
    ASSERT_NE(handle, nullptr);  // the magic is right
    ReadingFileInfoRecord info{};
    info.size = sizeof info;
    Bytes buffer(720 * 480 * 4);
    EXPECT_EQ(ReadFrame(handle, 0, kGuid422, buffer), 0) << d.offset;
    EXPECT_EQ(ReadFrame(handle, 0, kGuidRgba32, buffer), 0) << d.offset;
    if (d.offset != 24 + 20) {
      EXPECT_EQ(AVFILE_GetReadingFileInfo(handle, &info), 0) << d.offset;
      EXPECT_EQ(info.eight, 8);  // the fixed fields are written anyway
    }
    EXPECT_EQ(AVFILE_CloseReadingFile(handle), 1);
  }
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace quellor::rtvbridge::testing
