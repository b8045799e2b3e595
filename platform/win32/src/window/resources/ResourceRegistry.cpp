#include "ResourceRegistry.h"

#include <map>
#include <mutex>
#include <tuple>

#include "win32/kernel.h"

namespace quellor::win32 {
namespace {

using Key = std::tuple<int, uintptr_t, std::string>;

struct Registry {
  std::mutex mutex;
  std::map<Key, std::vector<MenuTemplateItem>> menus;
  std::map<Key, PixelTemplate> pixels;
  std::map<Key, DialogTemplate> dialogs;
};

Registry& R() {
  static Registry* registry = new Registry;  // modules register from static initialisers
  return *registry;
}

Key MakeKey(ResourceKind kind, HMODULE module, LPCSTR name) {
  return Key{int(kind), reinterpret_cast<uintptr_t>(ResourceModule(module)), ResourceKey(name)};
}

}  // namespace

std::string ResourceKey(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
  if (name && name[0] == '#') return name;  // "#123" names a number too
  return name ? std::string(name) : std::string();
}

HMODULE ResourceModule(HINSTANCE instance) {
  return instance ? instance : GetModuleHandleA(nullptr);
}

void RegisterMenuResource(HMODULE module, LPCSTR name, std::vector<MenuTemplateItem> items) {
  std::lock_guard<std::mutex> lock(R().mutex);
  R().menus[MakeKey(ResourceKind::Menu, module, name)] = std::move(items);
}

void RegisterIconResource(HMODULE module, LPCSTR name, PixelTemplate icon) {
  std::lock_guard<std::mutex> lock(R().mutex);
  R().pixels[MakeKey(ResourceKind::Icon, module, name)] = std::move(icon);
}

void RegisterCursorResource(HMODULE module, LPCSTR name, PixelTemplate cursor) {
  std::lock_guard<std::mutex> lock(R().mutex);
  R().pixels[MakeKey(ResourceKind::Cursor, module, name)] = std::move(cursor);
}

void RegisterBitmapResource(HMODULE module, LPCSTR name, PixelTemplate bitmap) {
  std::lock_guard<std::mutex> lock(R().mutex);
  R().pixels[MakeKey(ResourceKind::Bitmap, module, name)] = std::move(bitmap);
}

void RegisterDialogResource(HMODULE module, LPCSTR name, DialogTemplate dialog) {
  std::lock_guard<std::mutex> lock(R().mutex);
  R().dialogs[MakeKey(ResourceKind::Dialog, module, name)] = std::move(dialog);
}

std::optional<DialogTemplate> FindDialogResource(HMODULE module, LPCSTR name) {
  std::lock_guard<std::mutex> lock(R().mutex);
  auto it = R().dialogs.find(MakeKey(ResourceKind::Dialog, module, name));
  if (it == R().dialogs.end()) return std::nullopt;
  return it->second;
}

std::optional<std::vector<MenuTemplateItem>> FindMenuResource(HMODULE module, LPCSTR name) {
  std::lock_guard<std::mutex> lock(R().mutex);
  auto it = R().menus.find(MakeKey(ResourceKind::Menu, module, name));
  if (it == R().menus.end()) return std::nullopt;
  return it->second;
}

std::optional<PixelTemplate> FindPixelResource(ResourceKind kind, HMODULE module, LPCSTR name) {
  std::lock_guard<std::mutex> lock(R().mutex);
  auto it = R().pixels.find(MakeKey(kind, module, name));
  if (it == R().pixels.end()) return std::nullopt;
  return it->second;
}

}  // namespace quellor::win32
