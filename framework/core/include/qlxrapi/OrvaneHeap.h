// The heap shared by the framework, its plug-ins and their hosts. Every block
// or object that crosses a library boundary is allocated and freed here, so a
// block allocated in one module may be freed in another.
#pragma once

#include <quellor/Export.h>

// Sizes are in bytes. A failed allocation returns null; Orvane_free(nullptr)
// does nothing; Orvane_realloc(nullptr, n) allocates.
QUELLOR_EXPORT void* Orvane_malloc(unsigned int size);
QUELLOR_EXPORT void Orvane_free(void* block);
QUELLOR_EXPORT void* Orvane_realloc(void* block, unsigned int size);
