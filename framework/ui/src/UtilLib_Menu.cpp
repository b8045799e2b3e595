#include "qlxrapi/UtilLib_Menu.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "UtilLib_MenuPopup.h"
#include "qlxrapi/UtilLib_MenuButton.h"

namespace {

constexpr char kRegisterFailed[] = "UtilLib_Menu::Could not register class";
constexpr char kButtonFailed[] = "UtilLib_Menu::OpenMenuWindow A terrible error has occured !";
// CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC.
constexpr UINT kClassStyle = 0x2B;
constexpr long kDefaultWidth = 135;
constexpr long kDefaultItemHeight = 21;
// How far a cascade's left edge reaches back over its opener.
constexpr long kCascadeOverlap = 8;

std::atomic<int> g_menuClasses{0};

long ItemHeight(UtilLib_MenuItem* item) {
  const long height = item->GetPreferedYSize();
  return height == -1 ? kDefaultItemHeight : height;
}

}  // namespace

UtilLib_Menu::UtilLib_Menu(UtilLib_Menu* parent) : m_parent(parent) {
  m_selection.Set(kNothingSelected);
  std::snprintf(m_className, sizeof m_className, "UtilLib_Menu%d", ++g_menuClasses);
  WNDCLASSA windowClass{};
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = m_className;
  if (RegisterClassA(&windowClass) == 0) throw kRegisterFailed;
  m_classRegistered = true;
}

UtilLib_Menu::~UtilLib_Menu() {
  CloseMenuWindow();
  // Buttons outlive the menus assigned to them.
  while (m_buttons.GetNoItems() > 0) m_buttons[0]->UtilLib_MenuButton_AssignMenu(nullptr);
  // A destructor must not throw: a class that cannot be unregistered (a
  // window of it still exists somewhere) stays registered.
  if (m_classRegistered) UnregisterClassA(m_className, nullptr);
  for (std::uint32_t i = 0; i < m_items.GetNoItems(); ++i) {
    delete m_submenus[i];
    delete m_items[i];
  }
}

UtilLib_MenuItem* UtilLib_Menu::UtilLib_Menu_AddMenuItem() {
  auto* item = new UtilLib_MenuItem();
  m_items.AddItem(item);
  m_submenus.AddItem(nullptr);
  return item;
}

unsigned UtilLib_Menu::UtilLib_Menu_GetNoMenuItems() const {
  return m_items.GetNoItems();
}

UtilLib_MenuItem* UtilLib_Menu::UtilLib_Menu_GetMenuItem(unsigned index) const {
  return m_items.GetItem(index);
}

int UtilLib_Menu::IndexOf(UtilLib_MenuItem* item) const {
  for (std::uint32_t i = 0; i < m_items.GetNoItems(); ++i)
    if (m_items[i] == item) return static_cast<int>(i);
  return -1;
}

void UtilLib_Menu::UtilLib_Menu_DeleteMenuItem(unsigned index) {
  if (index >= m_items.GetNoItems()) return;
  // The open buttons are numbered by position: the pop-up is rebuilt.
  HWND opener = m_popup != nullptr ? GetWindow(m_popup, GW_OWNER) : nullptr;
  CloseMenuWindow();
  delete m_submenus[index];
  delete m_items[index];
  // In order: the items keep their numbers in the selection.
  m_items.RemoveItemAtInOrder(index);
  m_submenus.RemoveItemAtInOrder(index);
  if (opener != nullptr && IsWindow(opener)) OpenMenuWindow(opener);
}

void UtilLib_Menu::UtilLib_Menu_DeleteMenuItem(UtilLib_MenuItem* item) {
  const int index = IndexOf(item);
  if (index >= 0) UtilLib_Menu_DeleteMenuItem(static_cast<unsigned>(index));
}

UtilLib_Menu* UtilLib_Menu::UtilLib_Menu_GetSubMenu(unsigned index) {
  if (index >= m_items.GetNoItems()) return nullptr;
  if (m_submenus[index] == nullptr) {
    m_submenus[index] = new UtilLib_Menu(this);
    m_submenus[index]->SetAlignement(kCascade);
  }
  return m_submenus[index];
}

UtilLib_Menu* UtilLib_Menu::UtilLib_Menu_GetSubMenu(UtilLib_MenuItem* item) {
  const int index = IndexOf(item);
  return index < 0 ? nullptr : UtilLib_Menu_GetSubMenu(static_cast<unsigned>(index));
}

long UtilLib_Menu::GetMenuWidth() {
  long width = -1;
  for (std::uint32_t i = 0; i < m_items.GetNoItems(); ++i)
    width = std::max(width, m_items[i]->GetPreferedXSize());
  return width == -1 ? kDefaultWidth : width;
}

long UtilLib_Menu::GetMenuHeight() {
  long height = 0;
  for (std::uint32_t i = 0; i < m_items.GetNoItems(); ++i) height += ItemHeight(m_items[i]);
  return height;
}

POINT UtilLib_Menu::PopupPosition(HWND opener) {
  POINT at{};
  GetCursorPos(&at);
  RECT edges{};
  GetWindowRect(opener, &edges);
  if (m_alignment & kAlignLeftToLeft) at.x = edges.left;
  if (m_alignment & kAlignLeftToRight) at.x = edges.right - kCascadeOverlap;
  if (m_alignment & kAlignTopToTop) at.y = edges.top;
  if (m_alignment & kAlignTopToBottom) at.y = edges.bottom;
  return at;
}

void UtilLib_Menu::OpenMenuWindow(HWND opener) {
  if (m_popup != nullptr) return;
  const long width = GetMenuWidth();
  const long height = GetMenuHeight();
  const POINT at = PopupPosition(opener);
  auto* module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(opener, GWLP_HINSTANCE));
  HWND popup = CreateWindowExA(0, m_className, "", WS_POPUP, at.x, at.y, width, height, opener,
                               nullptr, module, nullptr);
  if (popup == nullptr) throw kButtonFailed;
  m_popupObject = new UtilLib_MenuPopup(this);
  m_popupObject->SetupControl(popup);
  m_popup = popup;
  m_selection.Set(kNothingSelected);

  long y = 0;
  for (std::uint32_t i = 0; i < m_items.GetNoItems(); ++i) {
    UtilLib_MenuItem* item = m_items[i];
    const long itemHeight = ItemHeight(item);
    HWND child = m_popupObject->OpenChild(const_cast<char*>("UtilLib_MenuButton"), 0, y, width,
                                          itemHeight, WS_CHILD | WS_VISIBLE);
    auto* button = dynamic_cast<UtilLib_MenuButton*>(Orvane_GetWindowObject(child));
    if (button == nullptr) {
      CloseMenuWindow();
      throw kButtonFailed;
    }
    for (int state = 0; state < UtilLib_MenuItem::kStates; ++state)
      button->Button_SetResource(state, item->GetScreenObject(state));
    button->Button_UseVariable(&m_selection);
    button->Button_SetSelectedState(static_cast<int>(i) + 1);
    button->UtilLib_MenuButton_AssignMenu(m_submenus[i]);
    y += itemHeight;
  }
  ShowWindow(popup, SW_SHOWNA);
}

void UtilLib_Menu::CloseMenuWindow() {
  UtilLib_MenuButton::ForgetOpenValue(&m_selection);
  if (m_popup == nullptr) return;
  HWND popup = m_popup;
  m_popup = nullptr;
  m_popupObject->ForgetMenu();
  m_popupObject = nullptr;
  ::DestroyWindow(popup);
}

void UtilLib_Menu::PopupDestroyed() {
  UtilLib_MenuButton::ForgetOpenValue(&m_selection);
  m_popup = nullptr;
  m_popupObject = nullptr;
}

void UtilLib_Menu::AttachButton(UtilLib_MenuButton* button) {
  for (std::uint32_t i = 0; i < m_buttons.GetNoItems(); ++i)
    if (m_buttons[i] == button) return;
  m_buttons.AddItem(button);
}

void UtilLib_Menu::DetachButton(UtilLib_MenuButton* button) {
  m_buttons.RemoveItem(button);
}
