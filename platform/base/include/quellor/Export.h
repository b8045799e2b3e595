// Marks what a shared library or plug-in exports. Every shared object of the
// suite is built with hidden visibility, so only declarations carrying this
// mark are seen by its hosts; static copies of the same library inside two
// modules (each deliverable keeps its own open clip table) never bind to each
// other. On ELF the same mark serves the library that defines a symbol and
// the code that calls it.
#pragma once

#define QUELLOR_EXPORT __attribute__((visibility("default")))

// C entry points looked up by name (dlsym, GetProcAddress).
#ifdef __cplusplus
#define QUELLOR_EXPORT_C extern "C" QUELLOR_EXPORT
#else
#define QUELLOR_EXPORT_C QUELLOR_EXPORT
#endif
