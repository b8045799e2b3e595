// Services of the Win32 subset beyond Win32 itself, for modules that need to
// map between the Windows view of the system and the host's.
#pragma once

#include <quellor/Export.h>

#include "types.h"

#include <optional>
#include <string>
#include <string_view>

namespace quellor::win32 {

// Translates a Windows-style path to a host path: '\' and '/' both separate,
// "X:" maps to the folder given for X in QUELLOR_DRIVES ("C=/home/me;D=/mnt"),
// C: defaulting to $HOME. Host paths pass unchanged. Returns nothing for a
// drive that is not mapped.
QUELLOR_EXPORT std::optional<std::string> ToHostPath(std::string_view windows_path);

// The folder of a drive letter ('A' to 'Z', either case), or nothing.
QUELLOR_EXPORT std::optional<std::string> DriveFolder(char letter);

// The "Windows directory" that bare private-profile file names live in:
// QUELLOR_WINDIR, else $XDG_CONFIG_HOME/quellor, else ~/.config/quellor;
// empty when none of the three variables is set.
QUELLOR_EXPORT std::string WindowsDirectory();

// The module (program or shared library) whose code or data holds `address`,
// as the HMODULE that GetModuleHandleA/LoadLibraryA give for it; null when the
// address belongs to no module.
QUELLOR_EXPORT HMODULE ModuleFromAddress(const void* address);

}  // namespace quellor::win32
