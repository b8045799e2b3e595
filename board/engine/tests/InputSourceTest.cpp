// The input signal sources: colour bars, black, no signal and a looped clip.
#include <cstdlib>
#include <cstring>

#include "../TestSignal.h"
#include "BoardTestSupport.h"
#include "board/BoardControl.h"
#include "board/testing/BoardClock.h"
#include "cliplib/clip/ClipWriter.h"

namespace quellor::board::tests {
namespace {

using InputSourceTest = BoardTest;

BYTE LumaAt(const std::vector<BYTE>& field, DWORD line, DWORD pixel) {
  return field[line * kBoardLineBytes + pixel * 2 + 1];
}

void SetSource(InputSourceKind kind, VideoStandard standard = VideoStandard::Ntsc,
               const std::string& clip = "") {
  InputSetting setting;
  setting.kind = kind;
  setting.standard = standard;
  setting.clipPath = clip;
  std::string error;
  ASSERT_TRUE(SetInputSource(setting, error)) << error;
}

TEST_F(InputSourceTest, ColourBarsWithAMovingMarkerAndTheFieldNumber) {
  RecordingProbe probe;
  probe.Open("test.input.bars", RTME_PIN_INPUT);
  testing::AdvanceFields(4);
  ASSERT_EQ(probe.fields.size(), 4u);
  const auto& field = probe.fields[0].pixels;
  // Bars: white 180, yellow 162 (Cb 44, Cr 142), ..., blue 35.
  EXPECT_EQ(LumaAt(field, 10, 45), 180);
  EXPECT_EQ(LumaAt(field, 10, 135), 162);
  EXPECT_EQ(field[10 * kBoardLineBytes + 90 * 2], 44);
  EXPECT_EQ(field[10 * kBoardLineBytes + 90 * 2 + 2], 142);
  EXPECT_EQ(LumaAt(field, 10, 6 * 90 + 5), 35);
  // The marker sits in the strip below the bars, 8 pixels on per frame.
  const DWORD markerLine = (BarsStripTop(VideoStandard::Ntsc) + 16) / 2;
  const DWORD frame1Left = BarsMarkerLeft(probe.fields[1].info.timeStamp);  // field 2: frame 1
  const DWORD frame2Left = BarsMarkerLeft(probe.fields[3].info.timeStamp);  // field 4: frame 2
  EXPECT_EQ(frame2Left, frame1Left + kBarsMarkerStep);
  EXPECT_EQ(LumaAt(probe.fields[1].pixels, markerLine, frame1Left + 1), 235);
  EXPECT_EQ(LumaAt(probe.fields[3].pixels, markerLine, frame1Left + 1), 16);
  EXPECT_EQ(LumaAt(probe.fields[3].pixels, markerLine, frame2Left + 1), 235);
  // Each field's number is burnt in, so no two fields are alike.
  EXPECT_NE(probe.fields[1].pixels, probe.fields[3].pixels);
  probe.Close();
}

TEST_F(InputSourceTest, BlackAndPalFollowTheSetting) {
  RecordingProbe probe;
  probe.Open("test.input.black", RTME_PIN_INPUT);
  SetSource(InputSourceKind::Black, VideoStandard::Pal);
  testing::AdvanceFields(2);
  ASSERT_EQ(probe.fields.size(), 2u);
  EXPECT_EQ(probe.fields[0].info.format.lineCount, 288u);
  EXPECT_EQ(probe.fields[0].info.format.rasterLineBytes, 1728u);
  EXPECT_EQ(probe.fields[0].pixels.size(), kPalFieldBytes);
  for (size_t i = 0; i < kPalFieldBytes; i += 4) {
    ASSERT_EQ(probe.fields[1].pixels[i], 0x80);
    ASSERT_EQ(probe.fields[1].pixels[i + 1], 0x10);
  }
  InputSetting setting;
  std::string error;
  ASSERT_TRUE(ReadInputSource(setting, error));
  EXPECT_EQ(setting.kind, InputSourceKind::Black);
  EXPECT_EQ(setting.standard, VideoStandard::Pal);
  probe.Close();
}

TEST_F(InputSourceTest, NoSignalDeliversNoFields) {
  RecordingProbe probe;
  probe.Open("test.input.none", RTME_PIN_INPUT);
  SetSource(InputSourceKind::None);
  testing::AdvanceFields(5);
  EXPECT_TRUE(probe.fields.empty());
  SetSource(InputSourceKind::Bars);
  testing::AdvanceFields(1);
  EXPECT_EQ(probe.fields.size(), 1u);
  probe.Close();
}

TEST_F(InputSourceTest, AClipLoopsFieldForField) {
  const std::string path = folder() + "/loop.rtv";
  constexpr int kFrames = 3;
  BYTE* frame = static_cast<BYTE*>(std::aligned_alloc(512, kNtscFrameBytes));
  quellor::clip::ClipWriter::Create(path.c_str(), 2, 0, 720, 240, 29.97f);
  for (int n = 0; n < kFrames; ++n) {
    for (DWORD i = 0; i < kNtscFrameBytes; ++i) frame[i] = static_cast<BYTE>(i * 7 + n * 31);
    ASSERT_TRUE(quellor::clip::ClipWriter::WriteFrame(path.c_str(), frame));
  }
  quellor::clip::ClipWriter::Close(path.c_str());

  RecordingProbe probe;
  probe.Open("test.input.clip", RTME_PIN_INPUT);
  testing::AdvanceFields(1);  // field 1: the clip starts at the next frame boundary
  SetSource(InputSourceKind::Clip, VideoStandard::Pal, path);
  probe.fields.clear();
  testing::AdvanceFields(2 * kFrames * 2);
  ASSERT_EQ(probe.fields.size(), 12u);
  for (size_t k = 0; k < probe.fields.size(); ++k) {
    const int n = static_cast<int>(k / 2) % kFrames;
    const DWORD parity = static_cast<DWORD>(k % 2);
    for (DWORD i = 0; i < kNtscFieldBytes; ++i)
      frame[i] = static_cast<BYTE>((i + parity * kNtscFieldBytes) * 7 + n * 31);
    EXPECT_EQ(probe.fields[k].info.format.lineCount, 240u);  // the clip's standard
    EXPECT_EQ(RTME_GetFieldParity(&probe.fields[k].info.format), parity);
    ASSERT_EQ(std::memcmp(probe.fields[k].pixels.data(), frame, kNtscFieldBytes), 0)
        << "field " << k;
  }
  std::free(frame);
  probe.Close();

  InputSetting missing;
  missing.kind = InputSourceKind::Clip;
  missing.clipPath = folder() + "/missing.rtv";
  std::string error;
  EXPECT_FALSE(SetInputSource(missing, error));
  EXPECT_NE(error.find("missing.rtv"), std::string::npos);
}

}  // namespace
}  // namespace quellor::board::tests
