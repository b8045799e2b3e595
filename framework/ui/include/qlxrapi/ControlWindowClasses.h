// Window classes that are framework classes: creating a window of such a
// class ("UtilLib_Button", "UtilLib_Resize_Size_T", "UtilLib_MenuButton", ...)
// creates the framework object of the same class name (Orvane_New) and binds
// it to the window while the window is being created, so that the object
// query answers from the first message on. Frames and menus create their
// pieces this way.
#pragma once

#include <quellor/Export.h>

#include <cstring>

#include "qlxrapi/PluginClass.h"

// Registers name as a plug-in class (a control, so hosts can list it) made by
// factory, and as a window class (with double clicks) of the same name.
// False when name is empty or the window class exists already.
QUELLOR_EXPORT bool Orvane_RegisterControlWindowClass(const char* name, PluginFactory factory);
// Takes both registrations back. False when name was not registered here.
QUELLOR_EXPORT bool Orvane_UnRegisterControlWindowClass(const char* name);

namespace quellor::win {

// The library's own control classes, gathered from static initialisers and
// registered in one start-up step once the plug-in registry exists.
struct ControlClassRegistration {
  ControlClassRegistration(const char* name, PluginFactory factory);
};

}  // namespace quellor::win

// Makes Type (a BaseWindowClass with a default constructor) a control window
// class of the library named as the type:
//   QLXRAPI_CONTROL_CLASS(UtilLib_Button);
#define QLXRAPI_CONTROL_CLASS(Type)                                            \
  namespace {                                                                  \
  PluginClass* Type##_ControlFactory(char* name) {                             \
    if (name == nullptr || std::strcmp(name, #Type) != 0) return nullptr;      \
    return new Type();                                                         \
  }                                                                            \
  __attribute__((init_priority(101))) ::quellor::win::ControlClassRegistration \
      g_controlClass##Type(#Type, &Type##_ControlFactory);                     \
  }
