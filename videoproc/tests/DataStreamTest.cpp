// Stream items, streams and the item pool.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "videoproc/DataStream.h"
#include "videoproc/DataStreamPool.h"
#include "videoproc/VideoStream_Header.h"

namespace {

static_assert(!std::is_copy_constructible_v<DataStream_Data>, "items share their blocks");
static_assert(!std::is_copy_assignable_v<DataStream_Data>);
static_assert(!std::is_copy_constructible_v<DataStream>, "streams would share their list");
static_assert(!std::is_copy_assignable_v<DataStream>);

TEST(DataStreamData, NewItemsAreEmptyAndOwnTheirBlocks) {
  DataStream_Data item;
  EXPECT_EQ(item.GetName(), nullptr);
  EXPECT_EQ(item.GetData(), nullptr);
  EXPECT_EQ(item.GetHeader(), nullptr);
  EXPECT_EQ(item.GetDataSize(), 0u);
  EXPECT_TRUE(item.OwnsData());
  EXPECT_TRUE(item.OwnsHeader());
}

TEST(DataStreamData, NamesAreCopiesAndNullClearsThem) {
  DataStream_Data item;
  char name[] = "Video";
  item.SetName(name);
  name[0] = 'X';
  EXPECT_STREQ(item.GetName(), "Video");
  item.SetName("A much longer name than before");
  EXPECT_STREQ(item.GetName(), "A much longer name than before");
  item.SetName(item.GetName() + 2);  // a name from inside the old one
  EXPECT_STREQ(item.GetName(), "much longer name than before");
  item.SetName(nullptr);
  EXPECT_EQ(item.GetName(), nullptr);
}

TEST(DataStreamData, ResizingKeepsContentsUpToTheSmallerSize) {
  DataStream_Data item;
  ASSERT_TRUE(item.AllocateData(8));
  std::memcpy(item.GetData(), "abcdefgh", 8);
  ASSERT_TRUE(item.AllocateData(4096));
  EXPECT_EQ(item.GetDataSize(), 4096u);
  EXPECT_EQ(std::memcmp(item.GetData(), "abcdefgh", 8), 0);
  ASSERT_TRUE(item.AllocateData(3));
  EXPECT_EQ(std::memcmp(item.GetData(), "abc", 3), 0);
  EXPECT_FALSE(item.AllocateData(0x100000000ul)) << "past the 32-bit size field";
  EXPECT_EQ(item.GetDataSize(), 3u);

  ASSERT_TRUE(item.AllocateHeader(32));
  EXPECT_EQ(item.GetHeaderSize(), 32u);
  item.FreeHeader();
  EXPECT_EQ(item.GetHeader(), nullptr);
  EXPECT_EQ(item.GetHeaderSize(), 0u);
}

// A new block of a picture's size starts on a page (a clip is read into it
// straight from the disk); it is an ordinary block of the shared heap all
// the same: resized with its contents, given up for foreign memory.
TEST(DataStreamData, NewPictureBlocksStartOnAPage) {
  DataStream_Data item;
  ASSERT_TRUE(item.AllocateData(720 * 240 * 2));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(item.GetData()) % 4096, 0u);
  static_cast<char*>(item.GetData())[720 * 240 * 2 - 1] = 'z';
  std::memcpy(item.GetData(), "field", 5);
  ASSERT_TRUE(item.AllocateData(720 * 288 * 2));
  EXPECT_EQ(std::memcmp(item.GetData(), "field", 5), 0);
  EXPECT_EQ(static_cast<char*>(item.GetData())[720 * 240 * 2 - 1], 'z');
  item.FreeData();
  ASSERT_TRUE(item.AllocateData(100));  // a small block, then grown: contents kept
  std::memcpy(item.GetData(), "small", 5);
  ASSERT_TRUE(item.AllocateData(8192));
  EXPECT_EQ(std::memcmp(item.GetData(), "small", 5), 0);

  DataStream_Data header;
  ASSERT_TRUE(header.AllocateHeader(4096));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(header.GetHeader()) % 4096, 0u);
  char foreign[16] = {};
  header.SetNonLocalHeader(foreign);  // frees the aligned block (LeakSanitizer would tell)
  EXPECT_EQ(header.GetHeader(), foreign);
}

TEST(DataStreamData, ForeignMemoryIsNeverFreedNorResizedInPlace) {
  // Runs under AddressSanitizer too: a free or realloc of these stack blocks
  // would be reported.
  std::uint32_t pixels[4] = {kVideoUYVYBlack, kVideoUYVYBlack, 1, 2};
  VideoStream_Header header{720, 240, 0, kVideoAspectRatio, 0.0, 0.0};
  DataStream_Data item;
  ASSERT_TRUE(item.AllocateData(16));  // owned, then replaced: must not leak
  item.SetNonLocalData(pixels);
  item.SetNonLocalHeader(&header);
  EXPECT_EQ(item.GetDataSize(), 16u) << "the caller sets the size";
  EXPECT_FALSE(item.OwnsData());
  EXPECT_FALSE(item.OwnsHeader());
  item.FreeData();
  item.FreeHeader();
  EXPECT_EQ(item.GetData(), pixels);
  EXPECT_EQ(item.GetHeader(), &header);
  EXPECT_EQ(item.GetDataSize(), 16u);

  // Growing a foreign block copies it into an owned one.
  ASSERT_TRUE(item.AllocateData(32));
  EXPECT_TRUE(item.OwnsData());
  EXPECT_NE(item.GetData(), pixels);
  EXPECT_EQ(std::memcmp(item.GetData(), pixels, 16), 0);
}  // the destructor leaves the foreign header alone

TEST(DataStream, GetStreamCountsAmongItemsOfTheSameNameWithCase) {
  DataStream_Data first, audio, second, unnamed;
  first.SetName("Video");
  audio.SetName("Audio");
  second.SetName("Video");
  DataStream stream;
  stream.AddStream(&first);
  stream.AddStream(&audio);
  stream.AddStream(&second);
  stream.AddStream(&unnamed);

  EXPECT_EQ(stream.GetStream("Video", 0), &first);
  EXPECT_EQ(stream.GetStream("Video", 1), &second);
  EXPECT_EQ(stream.GetStream("Video", 2), nullptr);
  EXPECT_EQ(stream.GetStream("video", 0), nullptr);
  EXPECT_EQ(stream.GetStream("Audio", 0), &audio);
  EXPECT_EQ(stream.GetStream(nullptr, 1), &audio);
  EXPECT_EQ(stream.GetStream(nullptr, 3), &unnamed);
  EXPECT_EQ(stream.GetStream(nullptr, 4), nullptr);
  EXPECT_EQ(stream.GetStream(nullptr, 0x100000000ul), nullptr);
}  // the stream does not own its items: no double free here

// The pool is process-wide; each test uses sizes no other test uses.
TEST(DataStreamPool, ReleasedItemsComeBackForTheSameSizesOnly) {
  DataStream_Data* item = GetDataStreamData("Video", 32, 691200);
  ASSERT_NE(item, nullptr);
  EXPECT_STREQ(item->GetName(), "Video");
  EXPECT_EQ(item->GetHeaderSize(), 32u);
  EXPECT_EQ(item->GetDataSize(), 691200u);
  ASSERT_NE(item->GetData(), nullptr);
  void* block = item->GetData();
  ReleaseDataStreamData(item);

  DataStream_Data* other = GetDataStreamData("Video", 32, 829440);
  EXPECT_NE(other, item) << "another data size makes a new item";
  DataStream_Data* again = GetDataStreamData("Key", 32, 691200);
  EXPECT_EQ(again, item);
  EXPECT_STREQ(again->GetName(), "Key");
  EXPECT_EQ(again->GetData(), block) << "blocks stay with pooled items";

  // The wildcard takes any size, newest release first.
  ReleaseDataStreamData(again);
  ReleaseDataStreamData(other);
  EXPECT_EQ(GetDataStreamData("Any", kAnyDataStreamSize, kAnyDataStreamSize), other);
  EXPECT_EQ(GetDataStreamData("Any", 32, kAnyDataStreamSize), again);
  // Nothing left that matches: a wildcard cannot size a new item.
  EXPECT_EQ(GetDataStreamData("Any", 7777, kAnyDataStreamSize), nullptr);
  ReleaseDataStreamData(again);
  ReleaseDataStreamData(other);
}

TEST(VideoUYVY, BlackAndTheHeaderLayout) {
  const std::uint8_t pair[4] = {128, 16, 128, 16};  // U, Y0, V, Y1
  std::uint32_t word;
  std::memcpy(&word, pair, 4);
  EXPECT_EQ(word, kVideoUYVYBlack);
  std::uint32_t aspectBits;
  std::memcpy(&aspectBits, &kVideoAspectRatio, 4);
  EXPECT_EQ(aspectBits, 0x3FAAAAABu);
  EXPECT_EQ(VideoUYVY_BlockBytes(720, 240), 345600u);
}

}  // namespace
