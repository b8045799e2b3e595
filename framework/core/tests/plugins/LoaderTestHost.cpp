// A host program for the loader tests, copied into a scratch folder with
// plug-ins around it. Usage: LoaderTestHost <path of libQLXRAPI.so> NAME...
// Loads the framework (which loads the plug-ins beside this program), prints
// every debug text written meanwhile, then one line per NAME:
// "NAME: created" or "NAME: none". Exit status 3 with "framework refused: N"
// (the last error) when the framework does not load.
#include <win32/testing/DebugOutput.h>
#include <windows.h>

#include <qlxrapi/PluginClass.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HMODULE framework = nullptr;
  {
    quellor::win32::testing::ScopedDebugOutputCapture texts;
    framework = LoadLibraryA(argv[1]);
    std::fputs(texts.Text().c_str(), stdout);
  }
  if (framework == nullptr) {
    std::printf("framework refused: %u\n", static_cast<unsigned>(GetLastError()));
    return 3;
  }
  using NewByName = PluginClass* (*)(char*);
  auto create = reinterpret_cast<NewByName>(
      reinterpret_cast<void (*)()>(GetProcAddress(framework, "_Z10Orvane_NewPc")));
  if (create == nullptr) return 4;
  for (int i = 2; i < argc; ++i) {
    PluginClass* object = create(argv[i]);
    std::printf("%s: %s\n", argv[i], object != nullptr ? "created" : "none");
    delete object;
  }
  return 0;
}
