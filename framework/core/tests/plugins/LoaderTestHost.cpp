// A host program for the loader tests, copied into a scratch folder with
// plug-ins around it. Usage: LoaderTestHost <path of libQLXRAPI.so> NAME...
// Loads the framework (which loads the plug-ins beside this program), prints
// every debug text written meanwhile, then one line per NAME:
// "NAME: created" or "NAME: none", and last "classes:" with every listed
// class name after a space each. Exit status 3 with "framework refused: N"
// (the last error) when the framework does not load.
#include <win32/testing/DebugOutput.h>
#include <windows.h>

#include <qlxrapi/ClassList.h>

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
  // Looked up by their plain C names, as any host does.
  auto create = reinterpret_cast<decltype(&Orvane_NewByName)>(
      reinterpret_cast<void (*)()>(GetProcAddress(framework, "Orvane_NewByName")));
  auto enumerate = reinterpret_cast<decltype(&Orvane_EnumerateClasses)>(
      reinterpret_cast<void (*)()>(GetProcAddress(framework, "Orvane_EnumerateClasses")));
  if (create == nullptr || enumerate == nullptr) return 4;
  for (int i = 2; i < argc; ++i) {
    PluginClass* object = create(argv[i]);
    std::printf("%s: %s\n", argv[i], object != nullptr ? "created" : "none");
    delete object;
  }
  std::fputs("classes:", stdout);
  enumerate(
      [](const char* name, int, void*) {
        std::printf(" %s", name);
        return 1;
      },
      nullptr);
  std::fputs("\n", stdout);
  return 0;
}
