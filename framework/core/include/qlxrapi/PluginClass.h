// Creation of objects by class name. Plug-in libraries hand the framework one
// factory per class while they load; hosts then create objects by name.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include <cstddef>

#include "OrvaneHeap.h"

// The common root of everything a host can create by name. Objects made by a
// factory live on the shared heap and are destroyed through this class, so
// `delete pluginObject` is right whichever module made the object.
class QUELLOR_EXPORT PluginClass {
 public:
  PluginClass() = default;
  virtual ~PluginClass();

  static void* operator new(std::size_t size);
  static void operator delete(void* block) { Orvane_free(block); }
};

// A factory answers with a new object when name is its own class name (case
// matters), and with null for every other name.
using PluginFactory = PluginClass* (*)(char* name);

// Appends factory to the registry. Registering it twice makes it answer twice.
QUELLOR_EXPORT void Orvane_RegisterClass(PluginClass* (*factory)(char*));

// Removes the first registry entry equal to factory (the last entry moves into
// its place). An unknown factory is ignored.
QUELLOR_EXPORT void Orvane_UnRegisterClass(PluginClass* (*factory)(char*));

// Asks the factories in registry order; the first object made wins. Null when
// no factory knows name.
QUELLOR_EXPORT PluginClass* Orvane_New(char* name);

// Creates a window of the registered window class className (style gets
// WS_CLIPSIBLINGS added; no menu, instance or creation data) and returns the
// framework object behind it, or null when the window cannot be created or
// has no object.
QUELLOR_EXPORT PluginClass* Orvane_New(char* className, HWND parent, long x, long y, long width,
                                       long height, char* windowName, long style, long exStyle);

// The framework's query-object message: the receiver writes its window object
// (a BaseWindowClass*) into the pointer-sized slot that wParam points to.
constexpr UINT WM_ORVANE_QUERY_OBJECT = 7024;

// Turns the object a window answered to the query-object message into its
// PluginClass part. The window framework sets it when it starts, because only
// it knows its window classes; until then the window form of Orvane_New
// answers null.
using WindowObjectToPluginClass = PluginClass* (*)(void* windowObject);
QUELLOR_EXPORT void Orvane_SetWindowObjectConverter(WindowObjectToPluginClass converter);
