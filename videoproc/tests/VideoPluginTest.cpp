// Video.quell as the framework loads it: its classes registered by name while
// it is loaded, and removed when it unloads.
#include <win32/testing/DebugOutput.h>
#include <windows.h>

#include <qlxrapi/PluginClass.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "videoproc/DataStream.h"
#include "videoproc/DataStream_Data.h"

namespace {

PluginClass* New(const char* name) {
  std::string copy = name;
  return Orvane_New(copy.data());
}

TEST(VideoPlugin, RegistersItsClassesWhileLoaded) {
  const char* bin = std::getenv("QUELLOR_BIN");
  ASSERT_NE(bin, nullptr);
  std::string path = std::string(bin) + "/Video.quell";
  quellor::win32::testing::ScopedDebugOutputCapture capture;
  HMODULE plugin = LoadLibraryA(path.c_str());
  ASSERT_NE(plugin, nullptr) << GetLastError();
  EXPECT_EQ(capture.Text(),
            "Registering Plugin Class : DataStream\n"
            "Registering Plugin Class : DataStream_Data\n"
            "Registering Plugin Class : ChromaKey\n"
            "Registering Plugin Class : LumaEffect\n"
            "Registering Plugin Class : VideoGradient\n"
            "Registering Plugin Class : RTVFileInput\n"
            "Registering Plugin Class : VideoQuellorOutput\n"
            "Registering Plugin Control : WaveformMonitor\n"
            "Registering Plugin Control : WaveformMonitorOut\n");

  PluginClass* stream = New("DataStream");
  ASSERT_NE(stream, nullptr);
  auto* asStream = dynamic_cast<DataStream*>(stream);
  ASSERT_NE(asStream, nullptr);
  DataStream_Data local;
  asStream->AddStream(&local);
  EXPECT_EQ(asStream->GetStream(nullptr, 0), &local);
  delete stream;

  PluginClass* item = New("DataStream_Data");
  ASSERT_NE(item, nullptr);
  auto* asItem = dynamic_cast<DataStream_Data*>(item);
  ASSERT_NE(asItem, nullptr);
  asItem->SetName("Video");
  ASSERT_TRUE(asItem->AllocateData(64));
  delete item;  // frees its name and block through the shared heap

  EXPECT_EQ(New("datastream"), nullptr);
  EXPECT_EQ(New("DataStream_Processor"), nullptr) << "abstract: not registered";

  EXPECT_TRUE(FreeLibrary(plugin));
  EXPECT_NE(capture.Text().find("UnRegistering Plugin Class : DataStream\n"
                                "UnRegistering Plugin Class : DataStream_Data\n"),
            std::string::npos)
      << capture.Text();
  EXPECT_EQ(New("DataStream"), nullptr);
}

}  // namespace
