// Plug-in controls: a window class of the control's name whose creation makes
// (or takes) the control object and hands it the window, and a factory in the
// registry under the same name.
#include "WaveformPlugin.h"

#include <qlxrapi/ClassList.h>
#include <qlxrapi/PluginClass.h>

#include <cstring>
#include <string>

#include "WaveformTexts.h"
#include "videoproc/WaveformMonitor.h"

namespace {

using namespace quellor::videoproc;

// The registered classes: the controls themselves already are PluginClass
// objects (through BaseWindowClass), so the wrapper adds nothing but the name.
class __WaveformMonitor final : public WaveformMonitor {};
class __WaveformMonitorOut final : public WaveformMonitorOut {};

template <typename Wrapper>
struct ControlName;
template <>
struct ControlName<__WaveformMonitor> {
  static constexpr char kText[] = "WaveformMonitor";
};
template <>
struct ControlName<__WaveformMonitorOut> {
  static constexpr char kText[] = "WaveformMonitorOut";
};

template <typename Wrapper>
PluginClass* ControlFactory(char* name) {
  if (name == nullptr || std::strcmp(name, ControlName<Wrapper>::kText) != 0) return nullptr;
  return new Wrapper();  // PluginClass's operator new: the shared heap
}

// The object comes with the window's creation data, or is made by name; it
// must be a window object. A failure to make it destroys the half-made window
// before the text goes on to whoever created the window.
template <typename Wrapper>
LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_CREATE) {
    try {
      const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(l);
      auto* object =
          static_cast<PluginClass*>(creation != nullptr ? creation->lpCreateParams : nullptr);
      if (object == nullptr) {
        std::string name = ControlName<Wrapper>::kText;
        object = Orvane_New(name.data());
      }
      if (object == nullptr) throw kControlNoObject;
      auto* control = dynamic_cast<BaseWindowClass*>(object);
      if (control == nullptr) {
        delete object;
        throw kControlNotAWindow;
      }
      control->SetupControl(window);
    } catch (...) {
      ::DestroyWindow(window);
      throw;
    }
  }
  return DefWindowProcA(window, message, w, l);
}

template <typename Wrapper>
void RegisterControl() {
  WNDCLASSA windowClass{};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = &ControlProcedure<Wrapper>;
  windowClass.lpszClassName = ControlName<Wrapper>::kText;
  if (RegisterClassA(&windowClass) == 0) throw kControlNoWindowClass;
  OutputDebugStringA(
      (std::string("Registering Plugin Control : ") + ControlName<Wrapper>::kText + "\n").c_str());
  Orvane_RegisterNamedClass(ControlName<Wrapper>::kText, &ControlFactory<Wrapper>,
                            ORVANE_CLASS_CONTROL);
}

// The window class goes too, so that a later load can register it again.
template <typename Wrapper>
void UnRegisterControl() {
  OutputDebugStringA(
      (std::string("UnRegistering Plugin Control : ") + ControlName<Wrapper>::kText + "\n")
          .c_str());
  Orvane_UnRegisterClass(&ControlFactory<Wrapper>);
  UnregisterClassA(ControlName<Wrapper>::kText, nullptr);
}

}  // namespace

namespace quellor::videoproc {

bool AnswerScopeEntryPoint(DWORD reason) {
  if (reason == DLL_PROCESS_ATTACH) {
    RegisterControl<__WaveformMonitor>();
    try {
      RegisterControl<__WaveformMonitorOut>();
    } catch (...) {
      UnRegisterControl<__WaveformMonitor>();
      throw;
    }
    WaveFormVectorScopeInit();
  }
  if (reason == DLL_PROCESS_DETACH) {
    WaveFormVectorScopeFree();
    UnRegisterControl<__WaveformMonitor>();
    UnRegisterControl<__WaveformMonitorOut>();
  }
  return true;
}

}  // namespace quellor::videoproc
