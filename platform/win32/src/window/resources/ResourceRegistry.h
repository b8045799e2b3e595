// The registered resources of every module, by kind, module and name.
#pragma once

#include <optional>
#include <string>

#include "win32/resources.h"

namespace quellor::win32 {

enum class ResourceKind { Menu, Icon, Cursor, Bitmap, Dialog };

// The key of a resource name: "#123" for numbers, the text otherwise.
std::string ResourceKey(LPCSTR name);
// The module a Load function means: null stands for the program.
HMODULE ResourceModule(HINSTANCE instance);

std::optional<std::vector<MenuTemplateItem>> FindMenuResource(HMODULE module, LPCSTR name);
std::optional<DialogTemplate> FindDialogResource(HMODULE module, LPCSTR name);
std::optional<PixelTemplate> FindPixelResource(ResourceKind kind, HMODULE module, LPCSTR name);

}  // namespace quellor::win32
