// The registration pattern every plug-in follows.
//
// For each class X a plug-in offers, ORVANE_PLUGIN_CLASS(X) defines the
// wrapper __X (X plus PluginClass, so X itself need not know the registry) and
// the factory X_PluginFactory. The plug-in lists its classes in a table and
// registers them from its DllMain:
//
//   const PluginClassEntry kClasses[] = {ORVANE_PLUGIN_ENTRY(DataStream), ...};
//   extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
//     return AnswerPluginEntryPoint(reason, kClasses) ? TRUE : FALSE;
//   }
//
// Registering from DllMain, not from static initialisers, keeps a plug-in's
// start-up a step the loader can contain: a DllMain that fails or throws
// fails that one load, and the detach call that follows takes back what the
// plug-in registered.
#pragma once

#include <windows.h>

#include <cstring>
#include <new>
#include <span>
#include <string>

#include "ClassList.h"
#include "PluginClass.h"

// Work a class runs on threads of its own, threads that call its virtual
// operations, must not start in its constructor: the wrapper below is a class
// derived from it, still being built then, and a thread would call through an
// object whose virtual table is not yet final. Such a class declares
//   void PluginClass_Constructed();  // the whole object exists: start
//   void PluginClass_Destroying();   // nothing is taken down yet: stop
// (public); the factory calls the first once the wrapper is complete, and the
// wrapper's destructor calls the second before any part of the object goes.
// A failure of the first (a thrown text) destroys the object again, calling
// the second as every destruction does, and goes on to whoever asked for it.
// Classes without them are made as they are.
template <typename Type>
void PluginClass_AfterConstruction(Type& object) {
  if constexpr (requires { object.PluginClass_Constructed(); }) object.PluginClass_Constructed();
}

template <typename Type>
void PluginClass_BeforeDestruction(Type& object) noexcept {
  if constexpr (requires { object.PluginClass_Destroying(); }) object.PluginClass_Destroying();
}

// The wrapper and the factory have internal linkage: two plug-ins that offer
// classes of one name must each keep their own.
#define ORVANE_PLUGIN_CLASS(Type)                                                      \
  namespace {                                                                          \
  class __##Type final : public Type, public PluginClass {                             \
   public:                                                                             \
    ~__##Type() override { PluginClass_BeforeDestruction(static_cast<Type&>(*this)); } \
  };                                                                                   \
  [[maybe_unused]] PluginClass* Type##_PluginFactory(char* name) {                     \
    if (name == nullptr || std::strcmp(name, #Type) != 0) return nullptr;              \
    void* memory = Orvane_malloc(sizeof(__##Type));                                    \
    if (memory == nullptr) return nullptr;                                             \
    __##Type* object = nullptr;                                                        \
    try {                                                                              \
      object = ::new (memory) __##Type();                                              \
    } catch (...) {                                                                    \
      Orvane_free(memory);                                                             \
      throw;                                                                           \
    }                                                                                  \
    try {                                                                              \
      PluginClass_AfterConstruction(static_cast<Type&>(*object));                      \
    } catch (...) {                                                                    \
      object->~__##Type();                                                             \
      Orvane_free(memory);                                                             \
      throw;                                                                           \
    }                                                                                  \
    return object;                                                                     \
  }                                                                                    \
  }

#define ORVANE_PLUGIN_ENTRY(Type) \
  PluginClassEntry {              \
#Type, &Type##_PluginFactory  \
  }

struct PluginClassEntry {
  const char* name;
  PluginFactory factory;
};

// "Registering Plugin Class : X\n", then the registration under X's name
// (which Orvane_EnumerateClasses lists), for each class.
inline void RegisterPluginClasses(std::span<const PluginClassEntry> classes) {
  for (const PluginClassEntry& entry : classes) {
    OutputDebugStringA((std::string("Registering Plugin Class : ") + entry.name + "\n").c_str());
    Orvane_RegisterNamedClass(entry.name, entry.factory, ORVANE_CLASS_PLAIN);
  }
}

// "UnRegistering Plugin Class : X\n", then the removal, for each class.
inline void UnRegisterPluginClasses(std::span<const PluginClassEntry> classes) {
  for (const PluginClassEntry& entry : classes) {
    OutputDebugStringA((std::string("UnRegistering Plugin Class : ") + entry.name + "\n").c_str());
    Orvane_UnRegisterClass(entry.factory);
  }
}

// The part of a plug-in's DllMain that registers its classes on attach and
// removes them on detach. Always true: registration itself cannot fail.
inline bool AnswerPluginEntryPoint(DWORD reason, std::span<const PluginClassEntry> classes) {
  if (reason == DLL_PROCESS_ATTACH) RegisterPluginClasses(classes);
  if (reason == DLL_PROCESS_DETACH) UnRegisterPluginClasses(classes);
  return true;
}
