// Creation by name through the registry, in this process: exact names, the
// order factories answer in, removal, and the window form.
#include <win32/testing/DebugOutput.h>
#include <windows.h>

#include <qlxrapi/PluginRegistration.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ChromaKey {
 public:
  int marker = 1;
};
class LumaEffect {
 public:
  static inline int destroyed = 0;
  ~LumaEffect() { ++destroyed; }
};

// A class with work of its own to start and stop: each step records whether
// the object was whole then (the wrapper's PluginClass part is reachable only
// from a complete wrapper; it is gone once the wrapper's destructor is over).
class VideoGradient {
 public:
  static inline std::vector<std::string> steps;
  static inline bool refuse = false;
  virtual ~VideoGradient() { steps.push_back("destroyed"); }
  void PluginClass_Constructed() {
    steps.push_back(Whole() ? "started whole" : "started in part");
    if (refuse) throw "no threads";
  }
  void PluginClass_Destroying() { steps.push_back(Whole() ? "stopped whole" : "stopped in part"); }

 private:
  bool Whole() { return dynamic_cast<PluginClass*>(this) != nullptr; }
};

ORVANE_PLUGIN_CLASS(ChromaKey)
ORVANE_PLUGIN_CLASS(LumaEffect)
ORVANE_PLUGIN_CLASS(VideoGradient)

// A second factory for "ChromaKey" that makes its objects recognisable.
class SecondChromaKey : public PluginClass {};
PluginClass* SecondChromaKeyFactory(char* name) {
  return std::string(name) == "ChromaKey" ? new SecondChromaKey : nullptr;
}

PluginClass* New(const char* name) {
  std::string copy = name;
  return Orvane_New(copy.data());
}

// Each test leaves the registry as it found it.
class PluginRegistry : public ::testing::Test {
 protected:
  void TearDown() override {
    for (PluginFactory factory : {&ChromaKey_PluginFactory, &LumaEffect_PluginFactory,
                                  &VideoGradient_PluginFactory, &SecondChromaKeyFactory}) {
      for (int i = 0; i < 4; ++i) Orvane_UnRegisterClass(factory);
    }
  }
};

TEST_F(PluginRegistry, NamesMatchExactlyAndObjectsDieThroughPluginClass) {
  Orvane_RegisterClass(&ChromaKey_PluginFactory);
  Orvane_RegisterClass(&LumaEffect_PluginFactory);
  EXPECT_EQ(New("chromakey"), nullptr);
  EXPECT_EQ(New("ChromaKey "), nullptr);
  EXPECT_EQ(New("Chroma"), nullptr);
  EXPECT_EQ(New("Unknown"), nullptr);
  EXPECT_EQ(Orvane_New(nullptr), nullptr);

  PluginClass* key = New("ChromaKey");
  ASSERT_NE(key, nullptr);
  auto* asKey = dynamic_cast<ChromaKey*>(key);
  ASSERT_NE(asKey, nullptr);
  EXPECT_EQ(asKey->marker, 1);
  delete key;

  int before = LumaEffect::destroyed;
  delete New("LumaEffect");
  EXPECT_EQ(LumaEffect::destroyed, before + 1);
}

TEST_F(PluginRegistry, WorkStartsOnceTheObjectIsWholeAndStopsBeforeAnyPartGoes) {
  Orvane_RegisterClass(&VideoGradient_PluginFactory);
  VideoGradient::steps.clear();
  VideoGradient::refuse = false;
  PluginClass* gradient = New("VideoGradient");
  ASSERT_NE(gradient, nullptr);
  EXPECT_EQ(VideoGradient::steps, std::vector<std::string>{"started whole"});
  delete gradient;
  EXPECT_EQ(VideoGradient::steps,
            (std::vector<std::string>{"started whole", "stopped whole", "destroyed"}));

  // A start that fails takes the object down again and reaches the caller.
  VideoGradient::steps.clear();
  VideoGradient::refuse = true;
  const char* thrown = nullptr;
  try {
    New("VideoGradient");
  } catch (const char* text) {
    thrown = text;
  }
  VideoGradient::refuse = false;
  EXPECT_STREQ(thrown, "no threads");
  EXPECT_EQ(VideoGradient::steps,
            (std::vector<std::string>{"started whole", "stopped whole", "destroyed"}));
}

TEST_F(PluginRegistry, FirstRegisteredAnswersAndRemovalTakesOneEntry) {
  Orvane_RegisterClass(&ChromaKey_PluginFactory);
  Orvane_RegisterClass(&SecondChromaKeyFactory);
  PluginClass* first = New("ChromaKey");
  EXPECT_NE(dynamic_cast<ChromaKey*>(first), nullptr);
  delete first;

  // Registered twice, it answers until both entries are gone.
  Orvane_RegisterClass(&LumaEffect_PluginFactory);
  Orvane_RegisterClass(&LumaEffect_PluginFactory);
  Orvane_UnRegisterClass(&LumaEffect_PluginFactory);
  PluginClass* still = New("LumaEffect");
  EXPECT_NE(still, nullptr);
  delete still;
  Orvane_UnRegisterClass(&LumaEffect_PluginFactory);
  EXPECT_EQ(New("LumaEffect"), nullptr);
  Orvane_UnRegisterClass(&LumaEffect_PluginFactory);  // unknown now: ignored

  Orvane_UnRegisterClass(&ChromaKey_PluginFactory);
  PluginClass* second = New("ChromaKey");
  EXPECT_NE(dynamic_cast<SecondChromaKey*>(second), nullptr);
  delete second;
}

TEST_F(PluginRegistry, RegistrationHelpersAnnounceEachClass) {
  const PluginClassEntry classes[] = {ORVANE_PLUGIN_ENTRY(ChromaKey),
                                      ORVANE_PLUGIN_ENTRY(LumaEffect)};
  quellor::win32::testing::ScopedDebugOutputCapture capture;
  EXPECT_TRUE(AnswerPluginEntryPoint(DLL_PROCESS_ATTACH, classes));
  EXPECT_EQ(capture.Text(),
            "Registering Plugin Class : ChromaKey\nRegistering Plugin Class : LumaEffect\n");
  PluginClass* effect = New("LumaEffect");
  EXPECT_NE(effect, nullptr);
  delete effect;
  EXPECT_TRUE(AnswerPluginEntryPoint(DLL_PROCESS_DETACH, classes));
  EXPECT_EQ(capture.Text(),
            "Registering Plugin Class : ChromaKey\nRegistering Plugin Class : LumaEffect\n"
            "UnRegistering Plugin Class : ChromaKey\nUnRegistering Plugin Class : LumaEffect\n");
  EXPECT_EQ(New("LumaEffect"), nullptr);
  EXPECT_EQ(New("ChromaKey"), nullptr);
}

// A window class whose windows answer the query-object message with a
// ChromaKey-like object, and record the style they were created with.
PluginClass* g_windowObject = nullptr;
DWORD g_createdStyle = 0;

LRESULT CALLBACK QueryAnsweringProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ORVANE_QUERY_OBJECT) {
    *reinterpret_cast<void**>(wParam) = g_windowObject;
    return 0;
  }
  if (message == WM_CREATE) {
    g_createdStyle = reinterpret_cast<CREATESTRUCTA*>(lParam)->style;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(PluginRegistry, WindowFormCreatesTheWindowAndAnswersItsObject) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = QueryAnsweringProc;
  windowClass.lpszClassName = "RegistryTestControl";
  ASSERT_NE(RegisterClassA(&windowClass), 0);

  char className[] = "RegistryTestControl";
  char title[] = "control";
  char unknown[] = "NoSuchWindowClass";
  EXPECT_EQ(Orvane_New(unknown, nullptr, 0, 0, 10, 10, title, 0, 0), nullptr);

  SecondChromaKey object;
  g_windowObject = &object;
  // Without the window framework's converter the object cannot be reached.
  Orvane_SetWindowObjectConverter(nullptr);
  EXPECT_EQ(Orvane_New(className, nullptr, 0, 0, 10, 10, title, 0, 0), nullptr);

  Orvane_SetWindowObjectConverter(
      [](void* windowObject) { return static_cast<PluginClass*>(windowObject); });
  EXPECT_EQ(Orvane_New(className, nullptr, 1, 2, 30, 40, title, WS_POPUP, 0), &object);
  EXPECT_EQ(g_createdStyle & WS_CLIPSIBLINGS, static_cast<DWORD>(WS_CLIPSIBLINGS));

  g_windowObject = nullptr;  // a window with no object
  EXPECT_EQ(Orvane_New(className, nullptr, 0, 0, 10, 10, title, 0, 0), nullptr);
  Orvane_SetWindowObjectConverter(nullptr);
}

}  // namespace
