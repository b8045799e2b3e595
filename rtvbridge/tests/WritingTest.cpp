// Writing clips through the exports: paths, settings and format records,
// every format for NTSC and PAL, refusals, and a drive that fills up.
#include <cstring>
#include <filesystem>
#include <string>

#include "BridgeTestSupport.h"
#include "DriveSpace.h"
#include "PixelFormats.h"
#include "board/ColourConversion.h"
#include "win32/testing/FileFaults.h"

namespace quellor::rtvbridge::testing {
namespace {

using WritingTest = BridgeTest;

// Writes `frames` stored frames through the plug-in in 4:2:2.
void WriteThroughPlugin(const std::string& path, const Standard& standard, int frames) {
  AVFILE_Handle handle = OpenForWrite(path);
  ASSERT_NE(handle, nullptr);
  for (int n = 0; n < frames; ++n) {
    Bytes pixels = FrameBytes(standard, n);
    pixels.resize(pixels.size() + 4, 0);
    ASSERT_EQ(WriteFrame(handle, kGuid422, pixels), 1) << n;
  }
  EXPECT_EQ(AVFILE_CloseFileForWrite(handle), 1);
}

TEST_F(WritingTest, PathsGetTheirExtensionOnlyWhenTheyLackAThreeLetterOne) {
  ASSERT_TRUE(StartPlugin());
  const std::pair<std::string, std::string> cases[] = {{"plain", "plain.rtv"},
                                                       {"other.avi", "other.avi"},
                                                       {"four.abcd", "four.abcd.rtv"},
                                                       {"clip.rtv", "clip.rtv"}};
  for (const auto& [given, used] : cases) {
    AVFILE_Handle handle = OpenForWrite(Path(given));
    ASSERT_NE(handle, nullptr) << given;
    EXPECT_EQ(static_cast<const char*>(handle), Path(used));
    EXPECT_TRUE(std::filesystem::exists(Path(used))) << used;
    EXPECT_EQ(std::filesystem::file_size(Path(used)), 24u + 2 * 24u);
    EXPECT_EQ(AVFILE_CloseFileForWrite(handle), 1);
  }
}

TEST_F(WritingTest, OpenRefusesSmallRecordsAndMissingArguments) {
  ASSERT_TRUE(StartPlugin());
  const std::string path = Path("clip.rtv");
  WriteOpenRecord record{};
  record.size = kMinWriteOpenSize - 1;
  record.path = path.c_str();
  AVFILE_Handle handle = nullptr;
  EXPECT_EQ(AVFILE_OpenFileForWrite(&handle, &record), 0);
  EXPECT_EQ(AVFILE_OpenFileForWrite(&handle, nullptr), 0);
  record.size = sizeof record;
  EXPECT_EQ(AVFILE_OpenFileForWrite(nullptr, &record), 0);
  record.path = nullptr;
  EXPECT_EQ(AVFILE_OpenFileForWrite(&handle, &record), 0);
  EXPECT_EQ(handle, nullptr);
  EXPECT_FALSE(std::filesystem::exists(path));

  // A clip that cannot be created fails silently; the handle holds the path.
  const std::string overlong = Folder() + "/" + std::string(300, 'b') + ".rtv";
  record.path = overlong.c_str();
  EXPECT_EQ(AVFILE_OpenFileForWrite(&handle, &record), 0);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(AVFILE_CloseFileForWrite(handle), 1);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(WritingTest, SettingsAndInformationDescribeTheStoredAndAcceptedFormats) {
  ASSERT_TRUE(StartPlugin(0));
  WritingSettingsRecord settings;
  std::memset(&settings, 0x11, sizeof settings);
  settings.size = kMinWritingSettingsSize - 1;
  EXPECT_EQ(AVFILE_SetWritingSettings(&settings), 0);
  EXPECT_EQ(settings.one, 0x11111111);
  EXPECT_EQ(AVFILE_SetWritingSettings(nullptr), 0);
  settings.size = sizeof settings;
  for (std::size_t i = 0; i < sizeof settings.hostBlock; ++i)
    settings.hostBlock[i] = std::uint8_t(i);
  ASSERT_EQ(AVFILE_SetWritingSettings(&settings), 1);
  EXPECT_EQ(settings.one, 1);
  EXPECT_EQ(settings.storedFormat.size, 236);
  EXPECT_EQ(settings.storedFormat.width, 720);
  EXPECT_EQ(settings.storedFormat.height, 576);
  EXPECT_STREQ(settings.storedFormat.guid, kGuid422);
  EXPECT_EQ(settings.storedFormat.rateNumerator, 25);
  EXPECT_EQ(settings.storedFormat.rateDenominator, 1);
  EXPECT_EQ(settings.storedFormat.bytesPerFrame, 720 * 576 * 2 + 4);
  EXPECT_EQ(settings.storedFormat.flags, 0x802);
  EXPECT_STREQ(settings.storedFormat.name, "4:2:2");
  EXPECT_EQ(std::memcmp(settings.hostBlock, settings.hostBlockCopy, sizeof settings.hostBlock), 0);

  WritingFileInfoRecord info{};
  EXPECT_EQ(AVFILE_GetWritingFileInfo(nullptr, nullptr), 0);
  ASSERT_EQ(AVFILE_GetWritingFileInfo(nullptr, &info), 1);
  EXPECT_EQ(info.formatCount, 3);
  EXPECT_EQ(info.forty, 40);
  EXPECT_EQ(std::memcmp(info.preference, "\0\1\2\0", 4), 0);
  EXPECT_EQ(info.formats[0].flags, 0x812);
  EXPECT_EQ(info.formats[1].flags, 0x110);
  EXPECT_EQ(info.formats[2].flags, 0x100);
  EXPECT_EQ(info.formats[2].bytesPerFrame, 720 * 576 * 4);
  EXPECT_EQ(info.formats[0].height, 576);
}

// A clip written through the plug-in equals, byte for byte, the same frames
// written by the clip writer directly, and reads back as written.
void Check422Writes(BridgeTest& test, const std::string& name, const Standard& standard) {
  (void)test;
  const std::string through = name + "-plugin.rtv";
  const std::string direct = name + "-direct.rtv";
  WriteThroughPlugin(through, standard, 3);
  WriteClip(direct, standard, 3);
  EXPECT_EQ(ReadFile(through), ReadFile(direct));
  AVFILE_Handle handle = OpenForRead(through);
  Bytes buffer(standard.frameBytes() + 4);
  for (int n = 0; n < 3; ++n) {
    ASSERT_EQ(ReadFrame(handle, n, kGuid422, buffer), 1);
    const Bytes expected = FrameBytes(standard, n);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin()));
  }
  AVFILE_CloseReadingFile(handle);
}

TEST_F(WritingTest, Writes422ByteForByteForNtsc) {
  ASSERT_TRUE(StartPlugin(1));
  Check422Writes(*this, Path("ntsc"), kNtsc);
}

TEST_F(WritingTest, Writes422ByteForByteForPal) {
  ASSERT_TRUE(StartPlugin(0));
  Check422Writes(*this, Path("pal"), kPal);
}

TEST_F(WritingTest, TimingCodeBytesBecomeFeInTheClipAndInTheHostsBuffer) {
  ASSERT_TRUE(StartPlugin());
  AVFILE_Handle handle = OpenForWrite(Path("clip.rtv"));
  Bytes pixels(kNtsc.frameBytes() + 4, 0x80);
  pixels[0] = 0xFF;
  pixels[kNtsc.fieldBytes() + 7] = 0xFF;
  pixels[kNtsc.frameBytes() + 2] = 0xFF;  // the trailer too
  ASSERT_EQ(WriteFrame(handle, kGuid422, pixels), 1);
  EXPECT_EQ(pixels[0], 0xFE);
  EXPECT_EQ(pixels[kNtsc.fieldBytes() + 7], 0xFE);
  EXPECT_EQ(pixels[kNtsc.frameBytes() + 2], 0xFE);
  AVFILE_CloseFileForWrite(handle);
  const Bytes file = ReadFile(Path("clip.rtv"));
  EXPECT_EQ(file[512], 0xFE);
  EXPECT_EQ(file[512 + kNtsc.fieldBytes() + 7], 0xFE);
}

TEST_F(WritingTest, FramesOfTheWrongSizeOrFormatAreRefusedAndNothingIsWritten) {
  ASSERT_TRUE(StartPlugin());
  AVFILE_Handle handle = OpenForWrite(Path("clip.rtv"));
  Bytes four_short(kNtsc.frameBytes());
  EXPECT_EQ(WriteFrame(handle, kGuid422, four_short), 0);
  Bytes rgba_big(720 * 480 * 4 + 4);
  EXPECT_EQ(WriteFrame(handle, kGuidRgba32, rgba_big), 0);
  Bytes right(kNtsc.frameBytes() + 4);
  EXPECT_EQ(WriteFrame(handle, "C7E25A13-0000-11d2-94D6-00805F3B1A4E", right), 0);
  VideoFrameRecord no_pixels{};
  CopyText(no_pixels.format.guid, kGuid422);
  no_pixels.format.bytesPerFrame = std::int32_t(right.size());
  EXPECT_EQ(AVFILE_WriteNextVideoFrame(handle, &no_pixels), 0);
  EXPECT_EQ(AVFILE_WriteNextVideoFrame(handle, nullptr), 0);
  EXPECT_EQ(AVFILE_CloseFileForWrite(handle), 1);
  EXPECT_EQ(std::filesystem::file_size(Path("clip.rtv")), 72u);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(WritingTest, UnknownClosedAndTwiceClosedWritingHandlesAreRefused) {
  ASSERT_TRUE(StartPlugin());
  char foreign[] = "/not/a/handle.rtv";
  Bytes pixels(kNtsc.frameBytes() + 4);
  EXPECT_EQ(WriteFrame(foreign, kGuid422, pixels), 0);
  EXPECT_EQ(AVFILE_CloseFileForWrite(foreign), 0);
  EXPECT_EQ(AVFILE_CloseFileForWrite(nullptr), 0);
  AVFILE_Handle handle = OpenForWrite(Path("clip.rtv"));
  EXPECT_EQ(AVFILE_CloseReadingFile(handle), 0);  // not a reading handle
  ASSERT_EQ(AVFILE_CloseFileForWrite(handle), 1);
  EXPECT_EQ(AVFILE_CloseFileForWrite(handle), 0);
  EXPECT_EQ(WriteFrame(handle, kGuid422, pixels), 0);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(WritingTest, Writes444KeepingTheFirstPixelsChroma) {
  for (const Standard& standard : {kNtsc, kPal}) {
    SCOPED_TRACE(standard.height);
    ASSERT_TRUE(StartPlugin(standard.videoMode));
    const std::string source = Path("source" + std::to_string(standard.height) + ".rtv");
    const std::string copy = Path("copy" + std::to_string(standard.height) + ".rtv");
    WriteClip(source, standard, 2);
    AVFILE_Handle reader = OpenForRead(source);
    AVFILE_Handle writer = OpenForWrite(copy);
    Bytes frame(std::size_t(standard.width) * standard.height * 4);
    for (int n = 0; n < 2; ++n) {
      ASSERT_EQ(ReadFrame(reader, n, kGuid444, frame), 1);
      frame[5] = 0x01;  // the second pixel's chroma is dropped
      frame[3] = 0xFF;  // alpha is not stored
      ASSERT_EQ(WriteFrame(writer, kGuid444, frame), 1);
    }
    AVFILE_CloseFileForWrite(writer);
    AVFILE_CloseReadingFile(reader);
    EXPECT_EQ(ReadFile(copy), ReadFile(source));
    TearDown();
    SetUp();
  }
}

TEST_F(WritingTest, WritesRgbaBottomUpThroughTheColourConversion) {
  for (const Standard& standard : {kNtsc, kPal}) {
    SCOPED_TRACE(standard.height);
    ASSERT_TRUE(StartPlugin(standard.videoMode));
    const std::size_t w = std::size_t(standard.width);
    Bytes rgba(w * standard.height * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = std::uint8_t((i * 13) / 7);
    AVFILE_Handle writer = OpenForWrite(Path("rgba.rtv"));
    ASSERT_EQ(WriteFrame(writer, kGuidRgba32, rgba), 1);
    AVFILE_CloseFileForWrite(writer);

    AVFILE_Handle reader = OpenForRead(Path("rgba.rtv"));
    Bytes stored(standard.frameBytes() + 4);
    ASSERT_EQ(ReadFrame(reader, 0, kGuid422, stored), 1);
    Bytes line(w * 2);
    for (std::size_t k : {std::size_t{0}, std::size_t(standard.height / 2 - 1)}) {
      encode_bgra_ycbcr8(line.data(), rgba.data() + (standard.height - 1 - 2 * k) * w * 4, int(w));
      EXPECT_EQ(std::memcmp(line.data(), stored.data() + k * w * 2, w * 2), 0);
      encode_bgra_ycbcr8(line.data(), rgba.data() + (standard.height - 2 - 2 * k) * w * 4, int(w));
      EXPECT_EQ(std::memcmp(line.data(), stored.data() + standard.fieldBytes() + k * w * 2, w * 2),
                0);
    }
    // Reading RGBA back undoes the line order.
    Bytes back(rgba.size());
    ASSERT_EQ(ReadFrame(reader, 0, kGuidRgba32, back), 1);
    Bytes expected(w * 4);
    decode_ycbcr8_bgra(expected.data(), stored.data(), int(w));
    EXPECT_EQ(std::memcmp(expected.data(), back.data() + (standard.height - 1) * w * 4, w * 4), 0);
    AVFILE_CloseReadingFile(reader);
    TearDown();
    SetUp();
  }
}

// The picture the RGBA format delivers for stored 4:2:2 fields: every line
// decoded, bottom-up, the fields interleaved.
Bytes RgbaPictureOf(const Standard& standard, const Bytes& stored) {
  const std::size_t w = std::size_t(standard.width);
  const std::size_t h = std::size_t(standard.height);
  Bytes picture(w * h * 4);
  for (std::size_t k = 0; k < h / 2; ++k) {
    decode_ycbcr8_bgra(picture.data() + (h - 1 - 2 * k) * w * 4, stored.data() + k * w * 2, int(w));
    decode_ycbcr8_bgra(picture.data() + (h - 2 - 2 * k) * w * 4,
                       stored.data() + standard.fieldBytes() + k * w * 2, int(w));
  }
  return picture;
}

TEST_F(WritingTest, EveryRgbaLineLandsInItsFieldForNtscAndPal) {
  for (const Standard& standard : {kNtsc, kPal}) {
    SCOPED_TRACE(standard.height);
    ASSERT_TRUE(StartPlugin(standard.videoMode));
    const std::size_t w = std::size_t(standard.width);
    const std::size_t h = std::size_t(standard.height);
    // Every line differs from its neighbours, so a line converted in the
    // wrong place or left out shows.
    Bytes rgba(w * h * 4);
    for (std::size_t line = 0; line < h; ++line) {
      for (std::size_t i = 0; i < w * 4; ++i) {
        rgba[line * w * 4 + i] = std::uint8_t(line * 5 + i * 3 + (line >> 3));
      }
    }
    AVFILE_Handle writer = OpenForWrite(Path("rgba.rtv"));
    ASSERT_EQ(WriteFrame(writer, kGuidRgba32, rgba), 1);
    AVFILE_CloseFileForWrite(writer);

    AVFILE_Handle reader = OpenForRead(Path("rgba.rtv"));
    Bytes stored(standard.frameBytes() + 4);
    ASSERT_EQ(ReadFrame(reader, 0, kGuid422, stored), 1);
    Bytes line(w * 2);
    for (std::size_t k = 0; k < h / 2; ++k) {
      encode_bgra_ycbcr8(line.data(), rgba.data() + (h - 1 - 2 * k) * w * 4, int(w));
      ASSERT_EQ(std::memcmp(line.data(), stored.data() + k * w * 2, w * 2), 0) << "first " << k;
      encode_bgra_ycbcr8(line.data(), rgba.data() + (h - 2 - 2 * k) * w * 4, int(w));
      ASSERT_EQ(std::memcmp(line.data(), stored.data() + standard.fieldBytes() + k * w * 2, w * 2),
                0)
          << "second " << k;
    }
    AVFILE_CloseReadingFile(reader);
    TearDown();
    SetUp();
  }
}

TEST_F(WritingTest, RgbaReadsAfterARewriteDeliverTheNewFrameNotACachedOne) {
  ASSERT_TRUE(StartPlugin());
  WriteClip(Path("clip.rtv"), kNtsc, 2);
  AVFILE_Handle reader = OpenForRead(Path("clip.rtv"));
  Bytes picture(std::size_t(kNtsc.width) * kNtsc.height * 4);
  ASSERT_EQ(ReadFrame(reader, 0, kGuidRgba32, picture), 1);
  EXPECT_EQ(picture, RgbaPictureOf(kNtsc, FrameBytes(kNtsc, 0)));

  // Rewritten behind the reader, through the unbuffered handle.
  AVFILE_Handle writer = OpenForWrite(Path("clip.rtv"));
  Bytes pixels = FrameBytes(kNtsc, 7);
  pixels.resize(pixels.size() + 4);
  ASSERT_EQ(WriteFrame(writer, kGuid422, pixels), 1);
  AVFILE_CloseFileForWrite(writer);

  ASSERT_EQ(ReadFrame(reader, 0, kGuidRgba32, picture), 1);
  EXPECT_EQ(picture, RgbaPictureOf(kNtsc, FrameBytes(kNtsc, 7)));
  Bytes yuva(picture.size());
  ASSERT_EQ(ReadFrame(reader, 0, kGuid444, yuva), 1);
  const Bytes stored = FrameBytes(kNtsc, 7);
  EXPECT_EQ(yuva[0], stored[1]);  // Y of line 0, from the first field
  EXPECT_EQ(yuva[std::size_t(kNtsc.width) * 4], stored[kNtsc.fieldBytes() + 1]);
  EXPECT_EQ(ReadFrame(reader, 1, kGuidRgba32, picture), 0);  // the new clip has one frame
  AVFILE_CloseReadingFile(reader);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(WritingTest, OpeningForWriteReplacesAClipThatIsBeingRead) {
  ASSERT_TRUE(StartPlugin());
  WriteClip(Path("clip.rtv"), kNtsc, 3);
  AVFILE_Handle reader = OpenForRead(Path("clip.rtv"));
  Bytes buffer(kNtsc.frameBytes() + 4);
  ASSERT_EQ(ReadFrame(reader, 2, kGuid422, buffer), 1);
  AVFILE_Handle writer = OpenForWrite(Path("clip.rtv"));
  Bytes pixels = FrameBytes(kNtsc, 7);
  pixels.resize(pixels.size() + 4);
  ASSERT_EQ(WriteFrame(writer, kGuid422, pixels), 1);
  AVFILE_CloseFileForWrite(writer);
  EXPECT_EQ(ReadFrame(reader, 2, kGuid422, buffer), 0);
  ASSERT_EQ(ReadFrame(reader, 0, kGuid422, buffer), 1);
  EXPECT_TRUE(std::equal(pixels.begin(), pixels.end() - 4, buffer.begin()));
  AVFILE_CloseReadingFile(reader);
}

TEST_F(WritingTest, AFullDiskIsReportedAndTheClipStaysReadableToItsLastWholeFrame) {
  ASSERT_TRUE(StartPlugin());
  AVFILE_Handle handle = OpenForWrite(Path("full.rtv"));
  Bytes frames[4];
  for (int n = 0; n < 4; ++n) {
    frames[n] = FrameBytes(kNtsc, n);
    frames[n].resize(kNtsc.frameBytes() + 4);
  }
  ASSERT_EQ(WriteFrame(handle, kGuid422, frames[0]), 1);
  ASSERT_EQ(WriteFrame(handle, kGuid422, frames[1]), 1);
  {
    // Room for one more field and a half.
    win32::testing::ScopedFileFault full("full.rtv", win32::testing::FileFault::DiskFull, -1);
    full.AfterBytes(kNtsc.fieldBytes() + kNtsc.fieldBytes() / 2);
    EXPECT_EQ(WriteFrame(handle, kGuid422, frames[2]), 0);
    EXPECT_EQ(WriteFrame(handle, kGuid422, frames[3]), 0);
  }
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "AVFILE_WriteNextVideoFrame");
  EXPECT_EQ(boxes[0].text, "Cannot write to output file.");
  EXPECT_EQ(AVFILE_CloseFileForWrite(handle), 1);

  AVFILE_Handle reader = OpenForRead(Path("full.rtv"));
  ReadingFileInfoRecord info{};
  info.size = sizeof info;
  ASSERT_EQ(AVFILE_GetReadingFileInfo(reader, &info), 1);
  EXPECT_EQ(info.frameCount, 2);
  Bytes buffer(kNtsc.frameBytes() + 4);
  for (int n = 0; n < 2; ++n) {
    ASSERT_EQ(ReadFrame(reader, n, kGuid422, buffer), 1);
    EXPECT_TRUE(std::equal(frames[n].begin(), frames[n].end() - 4, buffer.begin()));
  }
  AVFILE_CloseReadingFile(reader);
}

TEST_F(WritingTest, AFailedFrameLeavesItsPlaceAndTheNextFrameKeepsItsOwn) {
  ASSERT_TRUE(StartPlugin());
  AVFILE_Handle handle = OpenForWrite(Path("gap.rtv"));
  Bytes frame = FrameBytes(kNtsc, 0);
  frame.resize(kNtsc.frameBytes() + 4);
  ASSERT_EQ(WriteFrame(handle, kGuid422, frame), 1);
  {
    win32::testing::ScopedFileFault fault("gap.rtv", win32::testing::FileFault::WriteError, 1);
    EXPECT_EQ(WriteFrame(handle, kGuid422, frame), 0);
  }
  ASSERT_EQ(WriteFrame(handle, kGuid422, frame), 1);
  AVFILE_CloseFileForWrite(handle);
  EXPECT_EQ(std::filesystem::file_size(Path("gap.rtv")), 512 + 3 * kNtsc.frameBytes());
}

TEST_F(WritingTest, FreeTimeCountsWholeFramesOfTheDrive) {
  EXPECT_EQ(FramesThatFit(1000000000, 691200), 1446u);
  EXPECT_EQ(FramesThatFit(1000000000, 0), 0u);
  EXPECT_EQ(FramesThatFit(~0ull, 1), 0xFFFFFFFFu);
  EXPECT_EQ(DriveRootFor("D:\\clips\\a.rtv"), "D:\\");
  EXPECT_EQ(DriveRootFor("/video/clips/a.rtv"), "/video/clips");
  EXPECT_EQ(DriveRootFor("a.rtv"), ".");
  EXPECT_EQ(DriveRootFor("/a.rtv"), "/");

  ASSERT_TRUE(StartPlugin());
  FreeSpaceRecord record{};
  record.size = kMinFreeSpaceSize - 1;
  const std::string path = Path("clip.rtv");
  record.path = path.c_str();
  EXPECT_EQ(AVFILE_GetFreeTimeOnDrive(&record), 0);
  EXPECT_EQ(AVFILE_GetFreeTimeOnDrive(nullptr), 0);
  record.size = sizeof record;
  ASSERT_EQ(AVFILE_GetFreeTimeOnDrive(&record), 1);
  EXPECT_EQ(record.hundred, 100);
  const auto space = std::filesystem::space(Folder());
  EXPECT_NEAR(double(record.framesThatFit), double(space.free / 691200), 50.0);
  const std::string nowhere = "/no/such/folder/clip.rtv";
  record.path = nowhere.c_str();
  EXPECT_EQ(AVFILE_GetFreeTimeOnDrive(&record), 0);
}

}  // namespace
}  // namespace quellor::rtvbridge::testing
