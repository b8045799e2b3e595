#include "BridgeTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "BridgeProcess.h"
#include "ClipHandles.h"
#include "PixelFormats.h"
#include "board/testing/BoardClock.h"
#include "cliplib/clip/ClipWriter.h"
#include "cliplib/clip/OpenClipTable.h"

namespace quellor::rtvbridge::testing {

void BridgeTest::SetUp() {
  const char* root = std::getenv("QUELLOR_TEST_TMP");
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::filesystem::path folder = std::filesystem::path(root ? root : "/tmp") / "rtvbridge" /
                                       (std::string(info->test_suite_name()) + "." + info->name());
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "windows");
  std::filesystem::create_directories(folder / "board");
  folder_ = folder.string();
  setenv("QUELLOR_WINDIR", (folder / "windows").c_str(), 1);
  setenv("QUELLOR_BOARD_DIR", (folder / "board").c_str(), 1);
  unsetenv("QUELLOR_BOARD");
  board::testing::ResetBoard();
  SetLoadPause([](DWORD) {});
  desktop::SetAnswerHook([this](const desktop::Question& question) {
    boxes.push_back(question);
    return std::optional<desktop::Answer>(desktop::Answer{IDOK, {}, 0});
  });
}

void BridgeTest::TearDown() {
  if (started_) CleanUpStatics();
  clip::OpenClipTable::Instance().CloseAll();
  Process().attachCount = 0;
  desktop::SetAnswerHook({});
  SetLoadPause({});
  board::testing::ResetBoard();
}

void BridgeTest::PutSetting(const std::string& key, const std::string& value) {
  std::ofstream out(folder_ + "/windows/VideoQuellor.ini", std::ios::app);
  if (out.tellp() == 0) out << "[VideoQuellor Configuration]\n";
  out << key << "=" << value << "\n";
}

std::string BridgeTest::SettingsText() const {
  std::ifstream in(folder_ + "/windows/VideoQuellor.ini");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool BridgeTest::StartPlugin(int videoMode) {
  PutSetting("VideoMode", std::to_string(videoMode));
  return StartPluginAsIs();
}

bool BridgeTest::StartPluginAsIs() {
  started_ = InitialiseStatics();
  return started_;
}

Bytes FrameBytes(const Standard& standard, int n) {
  Bytes bytes(standard.frameBytes());
  const std::size_t line_bytes = std::size_t(standard.width) * 2;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::size_t field = i / standard.fieldBytes();
    const std::size_t line = (i % standard.fieldBytes()) / line_bytes;
    const std::size_t x = i % line_bytes;
    bytes[i] = static_cast<std::uint8_t>((n * 37 + field * 101 + line * 7 + x * 3) % 255);
  }
  return bytes;
}

void WriteClip(const std::string& path, const Standard& standard, int frames) {
  clip::ClipWriter::Create(path.c_str(), 2, 0, unsigned(standard.width),
                           unsigned(standard.height / 2), standard.videoMode ? 29.970026f : 25.0f);
  const std::size_t size = standard.frameBytes();
  void* memory = std::aligned_alloc(4096, (size + 4095) / 4096 * 4096);
  for (int n = 0; n < frames; ++n) {
    const Bytes frame = FrameBytes(standard, n);
    std::memcpy(memory, frame.data(), size);
    EXPECT_TRUE(clip::ClipWriter::WriteFrame(path.c_str(), memory));
  }
  std::free(memory);
  clip::ClipWriter::Close(path.c_str());
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

AVFILE_Handle OpenForRead(const std::string& path) {
  AVFILE_Handle handle = nullptr;
  return AVFILE_OpenFileForRead(&handle, path.c_str()) ? handle : nullptr;
}

AVFILE_Handle OpenForWrite(const std::string& path) {
  WriteOpenRecord record{};
  record.size = sizeof record;
  record.path = path.c_str();
  AVFILE_Handle handle = nullptr;
  return AVFILE_OpenFileForWrite(&handle, &record) ? handle : nullptr;
}

int ReadFrame(AVFILE_Handle handle, int n, const char* guid, Bytes& buffer,
              ImageFormatRecord* delivered) {
  FrameRequestRecord request{};
  request.size = sizeof request;
  request.frameNumber = n;
  request.buffer = buffer.data();
  request.bufferSize = static_cast<std::uint32_t>(buffer.size());
  CopyText(request.requested.guid, guid);
  const int result = AVFILE_ReadImageFrame(handle, &request);
  if (delivered != nullptr) *delivered = request.delivered;
  return result;
}

int WriteFrame(AVFILE_Handle handle, const char* guid, Bytes& pixels) {
  VideoFrameRecord frame{};
  frame.size = sizeof frame;
  frame.pixels = pixels.data();
  CopyText(frame.format.guid, guid);
  frame.format.bytesPerFrame = static_cast<std::int32_t>(pixels.size());
  return AVFILE_WriteNextVideoFrame(handle, &frame);
}

}  // namespace quellor::rtvbridge::testing
