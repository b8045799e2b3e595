// Clips on the board's input, written byte for byte here so that the board's
// own reading of the clip format is checked on its own: padded chunks, more
// than one track, a file cut short and the headers the board must refuse.
#include <cstdio>
#include <cstring>

#include "BoardTestSupport.h"
#include "board/BoardControl.h"
#include "board/testing/BoardClock.h"

namespace quellor::board::tests {
namespace {

using ClipInputTest = BoardTest;

struct StreamHeader {
  std::uint16_t kind = 1;     // video
  std::uint16_t subtype = 8;  // 8-bit 4:2:2
  std::uint32_t chunkSize = kNtscFieldBytes;
  std::uint32_t lineBytes = kBoardLineBytes;
  std::uint32_t lines = kNtscFieldLines;
};

struct ClipLayout {
  std::uint32_t magic = 0x52544D46;
  std::uint32_t type = 1;
  std::vector<StreamHeader> streams{StreamHeader{}, StreamHeader{}};
  std::uint32_t frames = 2;
  std::uint32_t extraBytes = 0;  // of a further, cut-off frame set
};

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Byte of chunk `stream` of frame set `frame` at `offset`: every chunk differs.
std::uint8_t ChunkByte(std::uint32_t frame, std::size_t stream, std::size_t offset) {
  return static_cast<std::uint8_t>(offset * 13 + stream * 71 + frame * 29 + 1);
}

void WriteClip(const std::string& path, const ClipLayout& layout) {
  std::uint32_t frameSet = 0;
  for (const StreamHeader& s : layout.streams) frameSet += s.chunkSize;
  std::vector<std::uint8_t> bytes(512 + std::size_t(frameSet) * layout.frames + layout.extraBytes);
  PutU32(bytes, 0, layout.magic);
  PutU32(bytes, 4, layout.type);
  PutU32(bytes, 8, 512);
  PutU32(bytes, 12, static_cast<std::uint32_t>(layout.streams.size()));
  PutU32(bytes, 16, frameSet);
  for (std::size_t s = 0; s < layout.streams.size(); ++s) {
    const std::size_t at = 24 + 24 * s;
    PutU16(bytes, at, layout.streams[s].kind);
    PutU16(bytes, at + 2, layout.streams[s].subtype);
    PutU32(bytes, at + 4, layout.streams[s].chunkSize);
    PutU32(bytes, at + 16, layout.streams[s].lineBytes);
    PutU32(bytes, at + 20, layout.streams[s].lines);
  }
  std::size_t at = 512;
  for (std::uint32_t frame = 0; at < bytes.size(); ++frame) {
    for (std::size_t s = 0; s < layout.streams.size() && at < bytes.size(); ++s) {
      for (std::size_t i = 0; i < layout.streams[s].chunkSize && at < bytes.size(); ++i)
        bytes[at++] = ChunkByte(frame, s, i);
    }
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  std::fclose(file);
}

bool UseClip(const std::string& path, std::string& error) {
  InputSetting setting;
  setting.kind = InputSourceKind::Clip;
  setting.clipPath = path;
  return SetInputSource(setting, error);
}

// Records `count` input fields from the next frame boundary on.
std::vector<RecordingProbe::Field> InputFields(const std::string& clip, std::uint32_t count) {
  RecordingProbe probe;
  probe.Open("test.clip.input", RTME_PIN_INPUT);
  testing::AdvanceFields(1);
  std::string error;
  EXPECT_TRUE(UseClip(clip, error)) << error;
  probe.fields.clear();
  testing::AdvanceFields(count);
  probe.Close();
  return probe.fields;
}

// True when `field` holds the first `bytes` of chunk `stream` of `frame`.
bool HoldsChunk(const RecordingProbe::Field& field, std::uint32_t frame, std::size_t stream,
                std::size_t bytes) {
  if (field.pixels.size() != bytes) return false;
  for (std::size_t i = 0; i < bytes; ++i)
    if (field.pixels[i] != ChunkByte(frame, stream, i)) return false;
  return true;
}

TEST_F(ClipInputTest, TrackZeroOfPaddedChunksAndASecondTrack) {
  ClipLayout layout;
  const std::uint32_t padded = kPalFieldBytes + 3 * 512;
  layout.streams.resize(4);
  for (auto& s : layout.streams) {
    s.chunkSize = padded;
    s.lineBytes = kBoardLineBytes;
    s.lines = kPalFieldLines;
  }
  layout.frames = 2;
  const std::string path = folder() + "/tracks.rtv";
  WriteClip(path, layout);

  const auto fields = InputFields(path, 6);
  ASSERT_EQ(fields.size(), 6u);
  for (std::size_t k = 0; k < fields.size(); ++k) {
    EXPECT_EQ(fields[k].info.format.lineCount, kPalFieldLines);  // the clip's standard
    EXPECT_TRUE(HoldsChunk(fields[k], static_cast<std::uint32_t>(k / 2 % 2), k % 2, kPalFieldBytes))
        << "field " << k;
  }
}

TEST_F(ClipInputTest, AFileCutShortLoopsItsWholeFramesOnly) {
  ClipLayout layout;
  layout.frames = 2;
  layout.extraBytes = kNtscFieldBytes + 512;  // a third frame's first field and a bit
  const std::string path = folder() + "/cut.rtv";
  WriteClip(path, layout);

  const auto fields = InputFields(path, 8);
  ASSERT_EQ(fields.size(), 8u);
  for (std::size_t k = 0; k < fields.size(); ++k) {
    EXPECT_TRUE(
        HoldsChunk(fields[k], static_cast<std::uint32_t>(k / 2 % 2), k % 2, kNtscFieldBytes))
        << "field " << k;
  }
}

TEST_F(ClipInputTest, ClipsTheBoardCannotPlayAreRefusedWithTheirName) {
  struct Case {
    const char* name;
    void (*change)(ClipLayout&);
  };
  const Case cases[] = {
      {"magic", [](ClipLayout& l) { l.magic = 0x46464952; }},
      {"type", [](ClipLayout& l) { l.type = 2; }},
      {"audio", [](ClipLayout& l) { l.streams[1].kind = 2; }},
      {"invalid-kind", [](ClipLayout& l) { l.streams[0].kind = 0; }},
      {"subtype", [](ClipLayout& l) { l.streams[0].subtype = 10; }},
      {"odd-streams", [](ClipLayout& l) { l.streams.pop_back(); }},
      {"no-streams", [](ClipLayout& l) { l.streams.clear(); }},
      {"width", [](ClipLayout& l) { l.streams[0].lineBytes = l.streams[1].lineBytes = 1280; }},
      {"lines", [](ClipLayout& l) { l.streams[0].lines = l.streams[1].lines = 243; }},
      {"fields-differ", [](ClipLayout& l) { l.streams[1].lines = kPalFieldLines; }},
      {"unaligned-chunk", [](ClipLayout& l) { l.streams[1].chunkSize = kNtscFieldBytes + 100; }},
      // Chunks shorter than their lines would have the board copy past them.
      {"short-chunk", [](ClipLayout& l) { l.streams[0].chunkSize = l.streams[1].chunkSize = 512; }},
      {"no-frame", [](ClipLayout& l) { l.frames = 0; }},
      {"half-a-frame",
       [](ClipLayout& l) {
         l.frames = 0;
         l.extraBytes = kNtscFieldBytes;
       }},
  };
  for (const Case& c : cases) {
    ClipLayout layout;
    c.change(layout);
    const std::string path = folder() + "/" + c.name + ".rtv";
    WriteClip(path, layout);
    std::string error;
    EXPECT_FALSE(UseClip(path, error)) << c.name;
    EXPECT_NE(error.find(path), std::string::npos) << c.name << ": " << error;
  }
  // A file shorter than its headers, and a folder.
  const std::string stub = folder() + "/stub.rtv";
  std::FILE* file = std::fopen(stub.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("FMTR", file);
  std::fclose(file);
  std::string error;
  EXPECT_FALSE(UseClip(stub, error));
  EXPECT_FALSE(UseClip(folder(), error));
  // The input keeps its previous source.
  InputSetting setting;
  ASSERT_TRUE(ReadInputSource(setting, error));
  EXPECT_NE(setting.kind, InputSourceKind::Clip);
}

}  // namespace
}  // namespace quellor::board::tests
