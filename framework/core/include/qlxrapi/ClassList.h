// The registered class names, for hosts: what a host may create by name and a
// way to create it that needs no C++ names. The functions have C linkage, so
// a host that loads the library at run time finds them by their plain names
// (dlsym, GetProcAddress).
//
// The registry keeps each class's name beside its factory when the plug-in
// registers through RegisterPluginClasses (PluginRegistration.h), as every
// plug-in does; factories registered bare with Orvane_RegisterClass answer
// Orvane_New but have no name to list.
#pragma once

#include <quellor/Export.h>

#include "PluginClass.h"

// What a class is: a plain class, or a window control.
enum OrvaneClassKind { ORVANE_CLASS_PLAIN = 0, ORVANE_CLASS_CONTROL = 1 };

// Appends factory to the registry under name (copied) and kind. Orvane_New
// and Orvane_UnRegisterClass treat the entry like one of Orvane_RegisterClass.
QUELLOR_EXPORT void Orvane_RegisterNamedClass(const char* name, PluginFactory factory,
                                              OrvaneClassKind kind);

// Called once per registered name, in registry order; returns nonzero to go
// on, zero to stop. name is valid during the call only.
typedef int (*OrvaneClassVisitor)(const char* name, int kind, void* context);

// Calls visit for every named registry entry (a class registered twice is
// visited twice), outside the registry's lock: visit may create objects or
// register classes. Returns how many entries were visited. A null visit only
// counts them.
QUELLOR_EXPORT_C unsigned int Orvane_EnumerateClasses(OrvaneClassVisitor visit, void* context);

// Orvane_New(name) with C linkage and a read-only name: null when no factory
// answers name or name is null. May throw what a class's constructor throws.
QUELLOR_EXPORT_C PluginClass* Orvane_NewByName(const char* name);
