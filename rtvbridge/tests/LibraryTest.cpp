// rtvbridge.so as the editing host sees it: loaded by path, exactly the 53
// AVFILE_ exports, every one resolved, a clip written and read back through
// them, and a machine without the board ending the host with exit code 1.
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "rtvbridge/AvFileRecords.h"

namespace quellor::rtvbridge::testing {
namespace {

const std::set<std::string> kExports = {
    "AVFILE_AddRecordingFile",
    "AVFILE_CloseFileForWrite",
    "AVFILE_CloseInterfaceReading",
    "AVFILE_CloseInterfaceRecording",
    "AVFILE_CloseInterfaceSink",
    "AVFILE_CloseInterfaceWriting",
    "AVFILE_CloseReadingFile",
    "AVFILE_CloseRecording",
    "AVFILE_CloseSink",
    "AVFILE_EnablePassThrough",
    "AVFILE_GetFreeTimeOnDrive",
    "AVFILE_GetPositionRecording",
    "AVFILE_GetReadingFileInfo",
    "AVFILE_GetRecordingInfo",
    "AVFILE_GetSinkInfo",
    "AVFILE_GetVUMeterRecording",
    "AVFILE_GetWritingFileInfo",
    "AVFILE_GrabAudioToBuffer",
    "AVFILE_GrabImageToBuffer",
    "AVFILE_OpenFileForRead",
    "AVFILE_OpenFileForWrite",
    "AVFILE_OpenRecording",
    "AVFILE_OpenSink",
    "AVFILE_QueryInterfaceReading",
    "AVFILE_QueryInterfaceRecording",
    "AVFILE_QueryInterfaceSink",
    "AVFILE_QueryInterfaceWriting",
    "AVFILE_QueueRecording",
    "AVFILE_QueueSink",
    "AVFILE_ReadAudioSamples",
    "AVFILE_ReadImageFrame",
    "AVFILE_ReleaseFormatFromReadAudioSamples",
    "AVFILE_ReleaseFormatFromReadImageFrame",
    "AVFILE_ReleaseFormatFromSetSinkSettings",
    "AVFILE_ReleaseFormatFromSetWritingSettings",
    "AVFILE_ReleaseFormatsFromGetReadingFileInfo",
    "AVFILE_ReleaseFormatsFromGetRecordingInfo",
    "AVFILE_ReleaseFormatsFromGetSinkInfo",
    "AVFILE_ReleaseFormatsFromGetWritingFileInfo",
    "AVFILE_ReleaseFormatsFromSetRecordingSettings",
    "AVFILE_RemoveRecordingFile",
    "AVFILE_SetRecordingSettings",
    "AVFILE_SetSinkSettings",
    "AVFILE_SetWritingSettings",
    "AVFILE_SinkAddFullBuffer",
    "AVFILE_SinkGetEmptyBuffer",
    "AVFILE_StartRecording",
    "AVFILE_StartSink",
    "AVFILE_StopRecording",
    "AVFILE_StopSink",
    "AVFILE_WriteNextAudioSamples",
    "AVFILE_WriteNextVideoFrame",
    "AVFILE_WriteSegment",
};

// A private settings folder (refresh warning off) and board for the load.
std::string PrepareWorld(const std::string& name) {
  const char* root = std::getenv("QUELLOR_TEST_TMP");
  const std::filesystem::path folder =
      std::filesystem::path(root ? root : "/tmp") / "rtvbridge_library" / name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "windows");
  std::filesystem::create_directories(folder / "board");
  std::ofstream(folder / "windows" / "VideoQuellor.ini")
      << "[VideoQuellor Configuration]\nRefresh Rate Warning=0\n";
  setenv("QUELLOR_WINDIR", (folder / "windows").c_str(), 1);
  setenv("QUELLOR_BOARD_DIR", (folder / "board").c_str(), 1);
  unsetenv("QUELLOR_BOARD");
  return folder.string();
}

TEST(RtvBridgeLibrary, ExportsExactlyTheFiftyThreeAvfileFunctions) {
  const std::string command = "nm -D --defined-only \"" RTVBRIDGE_PATH "\"";
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> names;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::istringstream words(line);
    std::string address, kind, name;
    if (words >> address >> kind >> name) names.insert(name);
  }
  ASSERT_EQ(pclose(pipe), 0);
  EXPECT_EQ(kExports.size(), 53u);
  EXPECT_EQ(names, kExports);
}

using Open = std::int32_t (*)(void**, const void*);
using Call1 = std::int32_t (*)(void*);
using Call2 = std::int32_t (*)(void*, void*);

TEST(RtvBridgeLibrary, LoadsResolvedAndRoundTripsAClipThroughTheExports) {
  const std::string folder = PrepareWorld("RoundTrip");
  void* library = dlopen(RTVBRIDGE_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const std::string& name : kExports) {
    EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name;
  }
  auto sym = [&](const char* name) { return dlsym(library, name); };

  InterfaceRecord query{};
  query.hostLevel = 224;
  EXPECT_EQ(reinterpret_cast<Call1>(sym("AVFILE_QueryInterfaceReading"))(&query), 1);

  const std::string path = folder + "/loaded.rtv";
  WriteOpenRecord open{};
  open.size = sizeof open;
  open.path = path.c_str();
  void* writer = nullptr;
  ASSERT_EQ(reinterpret_cast<Open>(sym("AVFILE_OpenFileForWrite"))(&writer, &open), 1);
  std::vector<std::uint8_t> pixels(720 * 480 * 2 + 4);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = std::uint8_t(i % 251);
  VideoFrameRecord frame{};
  frame.pixels = pixels.data();
  std::strcpy(frame.format.guid, "81A3D6E5-2C47-11d1-94D6-00805F3B1A4E");
  frame.format.bytesPerFrame = std::int32_t(pixels.size());
  ASSERT_EQ(reinterpret_cast<Call2>(sym("AVFILE_WriteNextVideoFrame"))(writer, &frame), 1);
  ASSERT_EQ(reinterpret_cast<Call1>(sym("AVFILE_CloseFileForWrite"))(writer), 1);

  void* reader = nullptr;
  ASSERT_EQ(reinterpret_cast<Open>(sym("AVFILE_OpenFileForRead"))(&reader, path.c_str()), 1);
  std::vector<std::uint8_t> back(pixels.size());
  FrameRequestRecord request{};
  request.size = sizeof request;
  request.buffer = back.data();
  request.bufferSize = std::uint32_t(back.size());
  std::strcpy(request.requested.guid, frame.format.guid);
  ASSERT_EQ(reinterpret_cast<Call2>(sym("AVFILE_ReadImageFrame"))(reader, &request), 1);
  EXPECT_TRUE(std::equal(pixels.begin(), pixels.end() - 4, back.begin()));
  EXPECT_EQ(reinterpret_cast<Call1>(sym("AVFILE_CloseReadingFile"))(reader), 1);
  EXPECT_EQ(dlclose(library), 0);

  // The board settings were saved at unload.
  std::ifstream in(folder + "/windows/VideoQuellor.ini");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("Contrast_Composite="), std::string::npos);
}

// A host that unloads the plug-in with everything still open (a sink with a
// borrowed buffer, the sink interface, a recording, a clip being written and
// one being read): the unload stops and frees all of it, so that the engine's
// output and input probe are free for the next load and the leak check at
// exit finds nothing.
TEST(RtvBridgeLibrary, AnUnloadWithEverythingStillOpenFreesIt) {
  const std::string folder = PrepareWorld("OpenAtUnload");
  std::ofstream(folder + "/windows/VideoQuellor.ini")
      << "[VideoQuellor Configuration]\nRefresh Rate Warning=0\nEdgeWrightVideoPreviewOut=0\n"
      << "EdgeWrightVideoPreviewIn=0\n";
  const std::string clip = folder + "/left-open.rtv";
  for (int load = 0; load < 2; ++load) {
    void* library = dlopen(RTVBRIDGE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto sym = [&](const char* name) { return dlsym(library, name); };
    InterfaceRecord query{};
    query.hostLevel = 324;
    ASSERT_EQ(reinterpret_cast<Call1>(sym("AVFILE_QueryInterfaceSink"))(&query), 1) << load;
    void* sink = nullptr;
    SinkOpenRecord open{};
    ASSERT_EQ(reinterpret_cast<Open>(sym("AVFILE_OpenSink"))(&sink, &open), 1) << load;
    SinkBufferRecord buffer{};
    buffer.size = sizeof buffer;
    std::strcpy(buffer.format.guid, "81A3D6E5-2C47-11d1-94D6-00805F3B1A4E");
    ASSERT_EQ(reinterpret_cast<Call2>(sym("AVFILE_SinkGetEmptyBuffer"))(sink, &buffer), 1);
    EXPECT_NE(buffer.pixels, nullptr);

    void* recording = nullptr;
    RecordingOpenRecord recordingOpen{kRecordingOpenSize};
    ASSERT_EQ(reinterpret_cast<Open>(sym("AVFILE_OpenRecording"))(&recording, &recordingOpen), 1)
        << load;

    WriteOpenRecord write{};
    write.size = sizeof write;
    write.path = clip.c_str();
    void* writer = nullptr;
    ASSERT_EQ(reinterpret_cast<Open>(sym("AVFILE_OpenFileForWrite"))(&writer, &write), 1);
    if (load == 1) {
      void* reader = nullptr;
      ASSERT_EQ(reinterpret_cast<Open>(sym("AVFILE_OpenFileForRead"))(&reader, clip.c_str()), 1);
    }
    EXPECT_EQ(dlclose(library), 0);
  }
}

TEST(RtvBridgeLibrary, AMachineWithoutTheBoardEndsTheHostWithExitCodeOne) {
  const std::string folder = PrepareWorld("NoBoard");
  const std::string errors = folder + "/stderr.txt";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::freopen(errors.c_str(), "w", stderr);
    setenv("QUELLOR_BOARD", "none", 1);
    dlopen(RTVBRIDGE_PATH, RTLD_NOW | RTLD_LOCAL);
    _exit(42);  // not reached when the load ends the process
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  std::ifstream in(errors);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("Error: The Video Quellor board was not found"), std::string::npos)
      << text.str();
}

}  // namespace
}  // namespace quellor::rtvbridge::testing
