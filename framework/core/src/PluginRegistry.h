// The registry's operations that only the framework's own loader and start-up
// use.
#pragma once

#include <vector>

#include "qlxrapi/PluginClass.h"

// The factories registered now, in registry order.
std::vector<PluginFactory> PluginRegistrySnapshot();

// Removes every entry that is not in before (counting repeats): what a plug-in
// registered during a load that then failed. Its code is gone, so its
// factories must not be called and its names not listed.
void DropPluginFactoriesAddedSince(const std::vector<PluginFactory>& before);

// Creates the registry; a start-up step (it is also created on first use,
// should a class register earlier).
void CreatePluginRegistry();

// Destroys the registry when the library unloads; later registrations and
// removals are ignored, Orvane_New answers null and no class is listed.
void DestroyPluginRegistry();
