// The registry's operations that only the framework's own loader uses.
#pragma once

#include <vector>

#include "qlxrapi/PluginClass.h"

// The factories registered now, in registry order.
std::vector<PluginFactory> PluginRegistrySnapshot();

// Removes every entry that is not in before (counting repeats): what a plug-in
// registered during a load that then failed. Its code is gone, so its
// factories must not be called.
void DropPluginFactoriesAddedSince(const std::vector<PluginFactory>& before);

// Destroys the registry when the library unloads; later registrations and
// removals are ignored and Orvane_New answers null.
void DestroyPluginRegistry();
