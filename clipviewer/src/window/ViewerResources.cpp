#include "window/ViewerResources.h"

#include "app/ViewerTexts.h"
#include "win32/menus.h"
#include "win32/resources.h"

namespace quellor::clipviewer {
namespace {

using win32::MenuTemplateItem;

MenuTemplateItem Item(const char* text, UINT id) {
  return {text, id, 0, {}};
}
MenuTemplateItem Separator() {
  return {"", 0, MF_SEPARATOR, {}};
}

std::vector<MenuTemplateItem> TrayMenuTemplate() {
  MenuTemplateItem popup{"Clipboard", 0, MF_POPUP, {}};
  popup.items = {Item("&Enabled", kCmdEnabled),
                 Separator(),
                 Item("Stretch &Fit", kCmdStretchFit),
                 Item("&1-to-1 Pixels", kCmdOneToOne),
                 Item("&De-Interlace", kCmdDeInterlace),
                 Separator(),
                 Item("&Play ...", kCmdPlay),
                 Item("&Record ...", kCmdRecord),
                 Separator(),
                 Item("On Screen Video &Input Preview", kCmdInputPreview),
                 Item("On Screen Video &Output Preview", kCmdOutputPreview),
                 Separator(),
                 Item("Input &Settings ...", kCmdInputSettings),
                 Item("Output Se&ttings ...", kCmdOutputSettings),
                 Separator(),
                 Item("E&xit", kCmdExit)};
  return {popup};
}

// 16 x 16: a white "board" frame on broadcast blue.
win32::PixelTemplate TrayIconPixels() {
  win32::PixelTemplate icon{16, 16, std::vector<uint32_t>(256, 0xFF1030A0u)};
  for (int i = 0; i < 16; ++i) {
    icon.pixels[i] = icon.pixels[15 * 16 + i] = 0xFFFFFFFFu;
    icon.pixels[i * 16] = icon.pixels[i * 16 + 15] = 0xFFFFFFFFu;
  }
  return icon;
}

}  // namespace

void RegisterViewerResources(HMODULE module) {
  win32::RegisterMenuResource(module, MAKEINTRESOURCEA(kMenuResource), TrayMenuTemplate());
  win32::RegisterIconResource(module, MAKEINTRESOURCEA(kIconResource), TrayIconPixels());
}

}  // namespace quellor::clipviewer
