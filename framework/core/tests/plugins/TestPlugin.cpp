// A plug-in for the loader tests, built in several variants. Each registers
// one class named after the variant (TEST_PLUGIN_NAME) the way every plug-in
// does; the broken variants then fail their start-up:
//   TEST_PLUGIN_REFUSES  DllMain returns FALSE after registering;
//   TEST_PLUGIN_THROWS   DllMain throws after registering;
//   TEST_PLUGIN_CARELESS DllMain throws after registering and never removes
//                        its class on detach;
//   TEST_PLUGIN_SILENT   no DllMain at all (a library of another kind).
#include <qlxrapi/PluginRegistration.h>

class TEST_PLUGIN_NAME {};

#define DEFINE_TEST_PLUGIN_CLASS(Type) ORVANE_PLUGIN_CLASS(Type)
#define TEST_PLUGIN_ENTRY(Type) ORVANE_PLUGIN_ENTRY(Type)
DEFINE_TEST_PLUGIN_CLASS(TEST_PLUGIN_NAME)

#ifndef TEST_PLUGIN_SILENT
namespace {

const PluginClassEntry kClasses[] = {TEST_PLUGIN_ENTRY(TEST_PLUGIN_NAME)};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
#ifdef TEST_PLUGIN_CARELESS
  if (reason == DLL_PROCESS_ATTACH) RegisterPluginClasses(kClasses);
  if (reason == DLL_PROCESS_ATTACH) throw "careless plug-in start-up failed";
  return TRUE;
#else
  AnswerPluginEntryPoint(reason, kClasses);
#ifdef TEST_PLUGIN_REFUSES
  if (reason == DLL_PROCESS_ATTACH) return FALSE;
#endif
#ifdef TEST_PLUGIN_THROWS
  if (reason == DLL_PROCESS_ATTACH) throw "plug-in start-up failed";
#endif
  return TRUE;
#endif
}
#endif
