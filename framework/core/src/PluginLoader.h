// The plug-in loader: the last step of the framework library's start-up.
#pragma once

// Loads every "*.quell" library in the host program's folder tree: each
// folder's sub-folders first (depth first, names starting with "." skipped),
// then the folder's own plug-ins. A plug-in that cannot be loaded is skipped.
// False when the program's path cannot be read: the library then refuses to
// load (its DllMain fails the attach).
bool RunPluginLoaderStep();

// True when the loader could not read the program's path.
bool PluginLoaderFailed();
