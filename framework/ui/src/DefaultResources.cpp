// The default screen objects, made from the library's own pictures when the
// library loads, in the order buttons, canvas background, sliders, menus,
// frame pieces with the do-nothing object. A group that cannot be made stops
// the load with its message.
#include "qlxrapi/DefaultResources.h"

#include <win32/quellor_host.h>

#include "DefaultPictures.h"
#include "DefaultResourceSlots.h"
#include "qlxrapi/StartupSteps.h"

ScreenObject_Resource* DefaultButton_Up = nullptr;
ScreenObject_Resource* DefaultButton_Dn = nullptr;
ScreenObject_Resource* DefaultButton_Ro = nullptr;
ScreenObject_Resource* DefaultButton_RoDn = nullptr;
ScreenObject_Resource* DefaultMenu_Up = nullptr;
ScreenObject_Resource* DefaultMenu_Dn = nullptr;
ScreenObject_Resource* DefaultMenu_Ro = nullptr;
ScreenObject_Resource* DefaultMenu_RoDn = nullptr;

namespace quellor::win {

namespace {

// Slider looks in creation order: horizontal thumbs, vertical thumbs, tracks.
constexpr unsigned short kSliderIds[] = {108, 111, 110, 109, 115, 112, 114, 113, 116, 117};
ScreenObject_Resource* g_sliders[std::size(kSliderIds)] = {};
BitmapItem* g_canvas = nullptr;

ScreenObject_Resource** const kExported[] = {
    &DefaultButton_Up, &DefaultButton_Dn, &DefaultButton_Ro, &DefaultButton_RoDn,
    &DefaultMenu_Up,   &DefaultMenu_Dn,   &DefaultMenu_Ro,   &DefaultMenu_RoDn};

ScreenObject_Resource* MakeResource(unsigned short id, unsigned long flags, const char* name,
                                    const char* failure) {
  auto* made = new ScreenObject_Resource(FrameworkModule(), id, flags, const_cast<char*>(name));
  if (made->GetBitmapWidth() <= 0) {
    if (name == nullptr) delete made;  // a named one belongs to the registry
    throw failure;
  }
  return made;
}

void MakeButtons() {
  const char* failure = "UtilLib_Button_Init::Could not alloc bitmap.";
  DefaultButton_Up = MakeResource(101, 192, "DEFAULTRESOURCE_BUTTON_UP", failure);
  DefaultButton_Dn = MakeResource(103, 192, "DEFAULTRESOURCE_BUTTON_DOWN", failure);
  DefaultButton_Ro = MakeResource(104, 192, "DEFAULTRESOURCE_BUTTON_UP_ROLLOVER", failure);
  DefaultButton_RoDn = MakeResource(106, 192, "DEFAULTRESOURCE_BUTTON_DOWN_ROLLOVER", failure);
}

void MakeCanvas() {
  try {
    g_canvas = new BitmapItem(FrameworkModule(), kBitmapWindow, nullptr);
  } catch (const char*) {
    throw "Error, UtilLib_Canvas_Init";
  }
  g_canvas->SetAlignment(3);
}

void MakeSliders() {
  const char* failure = "UtilLib_Slider_Init::Could not allocate bitmap memory.";
  for (std::size_t i = 0; i < std::size(kSliderIds); ++i)
    g_sliders[i] = MakeResource(kSliderIds[i], 192, nullptr, failure);
  g_sliders[8]->SetAlignment(258);  // track: stretched across, tiled along
  g_sliders[9]->SetAlignment(513);
}

void MakeMenus() {
  const char* failure = "Error, UtilLib_Menu_Init";
  DefaultMenu_Up = MakeResource(157, 384, nullptr, failure);
  DefaultMenu_Dn = MakeResource(160, 384, nullptr, failure);
  DefaultMenu_Ro = MakeResource(158, 384, nullptr, failure);
  DefaultMenu_RoDn = MakeResource(159, 384, nullptr, failure);
}

struct FramePiece {
  const char* name;
  long x, y, width, height;  // width and height relative to W and H when <= 0
  unsigned long flags;
};

void MakeFrame() {
  BitmapItem window(0ul, nullptr);
  if (!window.ResourceLoad(FrameworkModule(), kBitmapWindow)) throw "Error, Window_Init";
  const long W = static_cast<long>(window.GetBitmap()->GetWidth());
  const long H = static_cast<long>(window.GetBitmap()->GetHeight());
  const FramePiece pieces[] = {
      {"DEFAULTRESOURCE_WINDOWCENTRE", 10, 25, W - 20, H - 30, 3},
      {"DEFAULTRESOURCE_WINDOWTOP", 10, 0, W - 20, 10, 129},
      {"DEFAULTRESOURCE_WINDOWTOPLEFT", 0, 0, 10, 10, 192},
      {"DEFAULTRESOURCE_WINDOWTOPRIGHT", W - 10, 0, 10, 10, 192},
      {"DEFAULTRESOURCE_WINDOWBOTTOM", 10, H - 5, W - 20, 5, 129},
      {"DEFAULTRESOURCE_WINDOWBOTTOMLEFT", 0, H - 5, 10, 5, 192},
      {"DEFAULTRESOURCE_WINDOWBOTTOMRIGHT", W - 10, H - 5, 10, 5, 192},
      {"DEFAULTRESOURCE_WINDOWLEFT", 0, 10, 10, H - 15, 66},
      {"DEFAULTRESOURCE_WINDOWRIGHT", W - 10, 10, 10, H - 15, 66},
      {"DEFAULTRESOURCE_WINDOWTITLE", 10, 10, W - 20, 15, 129},
  };
  for (const FramePiece& piece : pieces) {
    if (piece.width <= 0 || piece.height <= 0) throw "Error, Window_Init";
    auto* cut = new BitmapItem(&window, static_cast<unsigned>(piece.x),
                               static_cast<unsigned>(piece.y), static_cast<unsigned>(piece.width),
                               static_cast<unsigned>(piece.height), const_cast<char*>(piece.name));
    cut->SetAlignment(piece.flags);
  }
  new ScreenObjectNull(const_cast<char*>("DEFAULT_DONOTHING"));
}

void DeleteOwned() {
  for (auto*& slider : g_sliders) {
    delete slider;
    slider = nullptr;
  }
  delete g_canvas;
  g_canvas = nullptr;
  for (ScreenObject_Resource** menu :
       {&DefaultMenu_Up, &DefaultMenu_Dn, &DefaultMenu_Ro, &DefaultMenu_RoDn}) {
    delete *menu;
    *menu = nullptr;
  }
}

bool StartDefaultSkins() {
  RegisterDefaultPictures(FrameworkModule());
  try {
    MakeButtons();
    MakeCanvas();
    MakeSliders();
    MakeMenus();
    MakeFrame();
  } catch (const char* message) {
    OutputDebugStringA(message);
    OutputDebugStringA("\n");
    DeleteOwned();
    return false;
  }
  return true;
}

// Runs after the registry has let go of the named objects (the registry's
// step comes later at load, so earlier at unload).
void StopDefaultSkins() {
  DeleteOwned();
  DefaultButton_Up = DefaultButton_Dn = DefaultButton_Ro = DefaultButton_RoDn = nullptr;
}

}  // namespace

void ForgetDefaultResource(ScreenObject_Resource* object) {
  for (ScreenObject_Resource** exported : kExported)
    if (*exported == object) *exported = nullptr;
  for (auto*& slider : g_sliders)
    if (slider == object) slider = nullptr;
}

HINSTANCE FrameworkModule() {
  static const HMODULE module =
      win32::ModuleFromAddress(reinterpret_cast<const void*>(&FrameworkModule));
  return module;
}

ScreenObject_Resource* DefaultSliderPicture(unsigned short id) {
  for (std::size_t i = 0; i < std::size(kSliderIds); ++i)
    if (kSliderIds[i] == id) return g_sliders[i];
  return nullptr;
}

BitmapItem* DefaultCanvasBackground() {
  return g_canvas;
}

}  // namespace quellor::win

QLXRAPI_STARTUP_STEP(DefaultSkins, &quellor::win::StartDefaultSkins,
                     &quellor::win::StopDefaultSkins);
