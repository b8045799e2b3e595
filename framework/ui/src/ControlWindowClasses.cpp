// Control window classes: a window class per framework control class whose
// procedure creates and binds the control as the window is created.
#include "qlxrapi/ControlWindowClasses.h"

#include <mutex>
#include <string>
#include <vector>

#include "qlxrapi/BaseWindowClass.h"
#include "qlxrapi/ClassList.h"
#include "qlxrapi/StartupSteps.h"
#include "qlxrapi/WindowSystem.h"

namespace {

struct ControlClass {
  std::string name;
  PluginFactory factory;
};

// Static registrations arrive before any dynamic initialisation of this file
// is guaranteed, so they go into a zero-initialised table.
struct PendingClass {
  const char* name;
  PluginFactory factory;
};
constexpr std::size_t kPendingCapacity = 64;
PendingClass g_pending[kPendingCapacity];
std::size_t g_pendingCount = 0;

// Both are made during the library's start-up, so they outlive its
// shut-down steps and are freed when the library unloads.
std::mutex& ClassesLock() {
  static std::mutex lock;
  return lock;
}

std::vector<ControlClass>& Classes() {
  static std::vector<ControlClass> classes;
  return classes;
}

// Every window of a control class starts here. The first message a window
// gets (WM_NCCREATE) makes and binds its object; from then on the
// framework's procedure runs the window. A window whose object could not be
// made is not created.
LRESULT CALLBACK ControlClassProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message != WM_NCCREATE) return DefWindowProcA(window, message, w, l);
  char name[256] = {};
  if (GetClassNameA(window, name, sizeof name) <= 0) return FALSE;
  PluginClass* made = nullptr;
  try {
    made = Orvane_New(name);
  } catch (const char* text) {
    OutputDebugStringA(text);
    return FALSE;
  } catch (...) {
    OutputDebugStringA("Unknown Internal Error");
    return FALSE;
  }
  auto* object = dynamic_cast<BaseWindowClass*>(made);
  if (object == nullptr) {
    delete made;
    return FALSE;
  }
  object->SetupControl(window);
  return quellor::win::FrameworkWindowProcedure(window, message, w, l);
}

bool StartControlClasses() {
  for (std::size_t i = 0; i < g_pendingCount; ++i)
    Orvane_RegisterControlWindowClass(g_pending[i].name, g_pending[i].factory);
  return true;
}

void StopControlClasses() {
  for (std::size_t i = g_pendingCount; i-- > 0;)
    Orvane_UnRegisterControlWindowClass(g_pending[i].name);
}

}  // namespace

QLXRAPI_STARTUP_STEP(ControlClasses, &StartControlClasses, &StopControlClasses);

quellor::win::ControlClassRegistration::ControlClassRegistration(const char* name,
                                                                 PluginFactory factory) {
  if (g_pendingCount < kPendingCapacity) g_pending[g_pendingCount++] = PendingClass{name, factory};
}

bool Orvane_RegisterControlWindowClass(const char* name, PluginFactory factory) {
  if (name == nullptr || *name == '\0' || factory == nullptr) return false;
  std::lock_guard<std::mutex> hold(ClassesLock());
  WNDCLASSA windowClass{};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &ControlClassProcedure;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = name;
  if (RegisterClassA(&windowClass) == 0) return false;
  OutputDebugStringA((std::string("Registering Plugin Class : ") + name + "\n").c_str());
  Orvane_RegisterNamedClass(name, factory, ORVANE_CLASS_CONTROL);
  Classes().push_back(ControlClass{name, factory});
  return true;
}

bool Orvane_UnRegisterControlWindowClass(const char* name) {
  if (name == nullptr) return false;
  std::lock_guard<std::mutex> hold(ClassesLock());
  auto& classes = Classes();
  for (auto it = classes.begin(); it != classes.end(); ++it) {
    if (it->name != name) continue;
    OutputDebugStringA((std::string("UnRegistering Plugin Class : ") + name + "\n").c_str());
    Orvane_UnRegisterClass(it->factory);
    UnregisterClassA(name, nullptr);
    classes.erase(it);
    return true;
  }
  return false;
}
