// File and memory streams, and the saved form of LoadSave.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include <qlxrapi/FileStream.h>
#include <qlxrapi/LoadSave.h>
#include <qlxrapi/MemoryStream.h>
#include <qlxrapi/OrvaneHeap.h>

#include "quellor/testing/ScratchFolder.h"
#include "StdioCalls.h"

using quellor::testing::WriteFile;

namespace {

std::vector<unsigned char> Bytes(const MemoryStream_Out& stream) {
  const auto* start = static_cast<const unsigned char*>(stream.GetMemory());
  return std::vector<unsigned char>(start, start + stream.GetSize());
}

// Records what LoadSave_LoadAllData was given.
class Recorder : public LoadSave {
 public:
  bool LoadSave_SaveAllData(Stream_Out* out) override { return out->WriteData("DATA", 4); }
  bool LoadSave_LoadAllData(Stream_In* in, unsigned long version) override {
    ++loads;
    loadedVersion = version;
    return in->ReadData(data, 4);
  }
  unsigned long LoadSave_GetPluginVersion() override { return 0x01020304; }
  int loads = 0;
  unsigned long loadedVersion = 0;
  char data[4] = {};
};

TEST(LoadSave, TheBaseSavesOnlyItsLittleEndianVersion) {
  LoadSave object;
  MemoryStream_Out out;
  ASSERT_TRUE(object.SavePlugin(&out));
  EXPECT_EQ(Bytes(out), (std::vector<unsigned char>{0x00, 0x00, 0x01, 0x00}));

  struct VersionReader : LoadSave {
    bool LoadSave_LoadAllData(Stream_In*, unsigned long v) override {
      version = v;
      return true;
    }
    unsigned long version = 0;
  } reader;
  MemoryStream_In in;
  in.SetData(out.GetMemory(), out.GetSize());
  EXPECT_TRUE(reader.LoadPlugin(&in));
  EXPECT_EQ(reader.version, 65536u);
  out.FreeMemory();
}

TEST(LoadSave, VersionThenDataRoundTrip) {
  Recorder saved, loaded;
  MemoryStream_Out out;
  ASSERT_TRUE(saved.SavePlugin(&out));
  EXPECT_EQ(Bytes(out), (std::vector<unsigned char>{0x04, 0x03, 0x02, 0x01, 'D', 'A', 'T', 'A'}));
  MemoryStream_In in;
  in.SetData(out.GetMemory(), out.GetSize());
  EXPECT_TRUE(loaded.LoadPlugin(&in));
  EXPECT_EQ(loaded.loadedVersion, 0x01020304u);
  EXPECT_EQ(std::memcmp(loaded.data, "DATA", 4), 0);
  out.FreeMemory();
}

TEST(LoadSave, AnEmptyFileFailsWithoutLoadingData) {
  const quellor::testing::ScratchFolder scratch("qlxrapi_core");
  WriteFile(scratch / "empty.dat", "");
  FileStream_In in;
  in.SetFilename((scratch / "empty.dat").c_str());
  ASSERT_NE(in.GetFile(), nullptr);
  Recorder object;
  EXPECT_FALSE(object.LoadPlugin(&in));
  EXPECT_EQ(object.loads, 0);
  EXPECT_FALSE(object.LoadPlugin(nullptr));
  EXPECT_FALSE(object.SavePlugin(nullptr));
}

TEST(LoadSave, SavesToAndLoadsFromAFile) {
  const quellor::testing::ScratchFolder scratch("qlxrapi_core");
  const auto path = (scratch / "object.dat").string();
  {
    FileStream_Out out;
    out.SetFilename(path.c_str());
    Recorder object;
    ASSERT_TRUE(object.SavePlugin(&out));
    EXPECT_TRUE(out.Close());
  }
  FileStream_In in;
  in.SetFilename(path.c_str());
  Recorder object;
  EXPECT_TRUE(object.LoadPlugin(&in));
  EXPECT_EQ(object.loadedVersion, 0x01020304u);
  char extra;
  EXPECT_FALSE(in.ReadData(&extra, 1));  // at the end
}

TEST(FileStream, AReadLongerThanTheRestOfTheFileFails) {
  const quellor::testing::ScratchFolder scratch("qlxrapi_core");
  WriteFile(scratch / "short.dat", "abc");
  FileStream_In in;
  in.SetFilename((scratch / "short.dat").c_str());
  char buffer[8];
  EXPECT_FALSE(in.ReadData(buffer, 4));
}

TEST(FileStream, ZeroLengthsSucceedAndNegativeLengthsFail) {
  const quellor::testing::ScratchFolder scratch("qlxrapi_core");
  const auto path = (scratch / "f.dat").string();
  FileStream_Out out;
  out.SetFilename(path.c_str());
  EXPECT_TRUE(out.WriteData(nullptr, 0));
  EXPECT_FALSE(out.WriteData("x", -1));
  out.Close();
  FileStream_In in;
  in.SetFilename(path.c_str());
  EXPECT_TRUE(in.ReadData(nullptr, 0));
  char c;
  EXPECT_FALSE(in.ReadData(&c, -1));
}

// Faults injected at the C file calls.
class FileStreamFaults : public ::testing::Test {
 protected:
  void SetUp() override { m_saved = CurrentStdioCalls(); }
  void TearDown() override { ReplaceStdioCalls(m_saved); }
  StdioCalls m_saved{};
};

TEST_F(FileStreamFaults, AShortReadFails) {
  const quellor::testing::ScratchFolder scratch("qlxrapi_core");
  WriteFile(scratch / "f.dat", "0123456789");
  StdioCalls calls = CurrentStdioCalls();
  calls.read = [](void* buffer, std::size_t size, std::size_t count, std::FILE* file) {
    // Half of what was asked, as a stream cut short would give.
    return std::fread(buffer, 1, size * count / 2, file) == size * count ? count : std::size_t{0};
  };
  ReplaceStdioCalls(calls);
  FileStream_In in;
  in.SetFilename((scratch / "f.dat").c_str());
  char buffer[8];
  EXPECT_FALSE(in.ReadData(buffer, 8));
}

TEST_F(FileStreamFaults, AFullDiskFailsTheWriteAndTheClose) {
  const quellor::testing::ScratchFolder scratch("qlxrapi_core");
  StdioCalls calls = CurrentStdioCalls();
  calls.write = [](const void*, std::size_t, std::size_t, std::FILE*) {
    errno = ENOSPC;
    return std::size_t{0};
  };
  calls.close = [](std::FILE* file) {
    std::fclose(file);
    errno = ENOSPC;
    return EOF;
  };
  ReplaceStdioCalls(calls);
  FileStream_Out out;
  out.SetFilename((scratch / "f.dat").c_str());
  ASSERT_NE(out.GetFile(), nullptr);
  EXPECT_FALSE(out.WriteData("abcd", 4));
  EXPECT_FALSE(out.Close());
  EXPECT_EQ(out.GetFile(), nullptr);
}

TEST(MemoryStream, WritesAppendIntoOneBlock) {
  MemoryStream_Out out;
  EXPECT_EQ(out.GetMemory(), nullptr);
  EXPECT_TRUE(out.WriteData("abc", 3));
  EXPECT_TRUE(out.WriteData("defgh", 5));
  EXPECT_EQ(out.GetSize(), 8u);
  EXPECT_EQ(std::memcmp(out.GetMemory(), "abcdefgh", 8), 0);
  out.FreeMemory();
  EXPECT_EQ(out.GetMemory(), nullptr);
  EXPECT_TRUE(out.WriteData("xy", 2));
  EXPECT_EQ(Bytes(out), (std::vector<unsigned char>{'x', 'y'}));
  // The owner takes the block and frees it on the shared heap.
  Orvane_free(out.GetMemory());
}

TEST(MemoryStream, ReadsAdvanceThroughTheBlock) {
  auto* block = static_cast<char*>(std::malloc(6));
  std::memcpy(block, "abcdef", 6);
  MemoryStream_In in;
  in.SetData(block);
  char part[3];
  EXPECT_TRUE(in.ReadData(part, 2));
  EXPECT_TRUE(in.ReadData(part + 2, 1));
  EXPECT_EQ(std::memcmp(part, "abc", 3), 0);
  EXPECT_EQ(in.GetPosition(), 3u);
  EXPECT_EQ(in.GetMemory(), block);
  in.FreeMemory();
  EXPECT_EQ(in.GetMemory(), nullptr);
  EXPECT_FALSE(in.ReadData(part, 1));
}

TEST(MemoryStream, ABoundedBlockRefusesReadsPastItsEnd) {
  char block[4] = {'w', 'x', 'y', 'z'};
  MemoryStream_In in;
  in.SetData(block, sizeof(block));
  char buffer[8] = {};
  EXPECT_TRUE(in.ReadData(buffer, 3));
  EXPECT_FALSE(in.ReadData(buffer, 2));
  EXPECT_EQ(in.GetPosition(), 3u);  // nothing read by the failed call
  EXPECT_TRUE(in.ReadData(buffer, 1));
  EXPECT_EQ(buffer[0], 'z');
  EXPECT_FALSE(in.ReadData(buffer, 1));
}

}  // namespace
