// A loadable module that reports its start-up and clean-up through the debug
// output, in the order they happen.
#include <windows.h>

#include <stdexcept>

namespace {

struct ReportsStaticLifetime {
  ReportsStaticLifetime() { OutputDebugStringA("static init\n"); }
  ~ReportsStaticLifetime() { OutputDebugStringA("static exit\n"); }
} reporter;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  OutputDebugStringA(reason == DLL_PROCESS_ATTACH   ? "DllMain attach\n"
                     : reason == DLL_PROCESS_DETACH ? "DllMain detach\n"
                                                    : "DllMain other\n");
  if (module == nullptr) return FALSE;
#if defined(TEST_MODULE_REFUSING)
  return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
#elif defined(TEST_MODULE_THROWING)
  if (reason == DLL_PROCESS_ATTACH) throw std::runtime_error("start-up failed");
  return TRUE;
#else
  return TRUE;
#endif
}

extern "C" int TestModuleAnswer() {
  return 42;
}

extern "C" const void* TestModuleOwnAddress() {
  return reinterpret_cast<const void*>(&reporter);
}
