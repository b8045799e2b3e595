// UtilLib_Menu: a skinned pop-up menu. Its items become menu buttons in a
// pop-up window while it is open; the buttons share the menu's selection
// value, which holds the number (from 1) of the item chosen last, or
// kNothingSelected. An item may own a submenu that cascades from it.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include "qlxrapi/Dynamic.h"
#include "qlxrapi/UtilLib_MenuItem.h"
#include "qlxrapi/tList.h"

class UtilLib_FreeFormLayout;
class UtilLib_MenuButton;
class UtilLib_MenuPopup;

class QUELLOR_EXPORT UtilLib_Menu {
 public:
  static constexpr int kNothingSelected = static_cast<int>(0x80000000u);

  // Placement of the pop-up against the window that opens it; without a
  // horizontal (vertical) bit the cursor's x (y) is used.
  static constexpr unsigned kAlignLeftToLeft = 1;    // left edge at its left
  static constexpr unsigned kAlignLeftToRight = 2;   // left edge at its right minus 8
  static constexpr unsigned kAlignTopToTop = 8;      // top at its top
  static constexpr unsigned kAlignTopToBottom = 16;  // top at its bottom
  static constexpr unsigned kDropDown = 17;          // a menu's default
  static constexpr unsigned kCascade = 10;           // a submenu's default

  // Registers the menu's own window class "UtilLib_Menu<n>"; throws
  // "UtilLib_Menu::Could not register class" when it cannot.
  explicit UtilLib_Menu(UtilLib_Menu* parent = nullptr);
  // Closes the pop-up, lets go of the buttons the menu was assigned to and
  // deletes the items and submenus.
  virtual ~UtilLib_Menu();
  UtilLib_Menu(const UtilLib_Menu&) = delete;
  UtilLib_Menu& operator=(const UtilLib_Menu&) = delete;

  UtilLib_MenuItem* UtilLib_Menu_AddMenuItem();
  unsigned UtilLib_Menu_GetNoMenuItems() const;
  // Null past the end.
  UtilLib_MenuItem* UtilLib_Menu_GetMenuItem(unsigned index) const;
  // Deletes the item and its submenu; an unknown index or item is ignored.
  void UtilLib_Menu_DeleteMenuItem(unsigned index);
  void UtilLib_Menu_DeleteMenuItem(UtilLib_MenuItem* item);
  // The item's submenu, made (cascading) on the first request; null for an
  // unknown index or item.
  UtilLib_Menu* UtilLib_Menu_GetSubMenu(unsigned index);
  UtilLib_Menu* UtilLib_Menu_GetSubMenu(UtilLib_MenuItem* item);

  // Opens the pop-up by opener (no-op when open); throws
  // "UtilLib_Menu::OpenMenuWindow A terrible error has occured !" when a
  // button cannot be made.
  void OpenMenuWindow(HWND opener);
  void CloseMenuWindow();
  bool IsOpen() const { return m_popup != nullptr; }
  HWND GetMenuWindow() const { return m_popup; }

  void SetAlignement(unsigned alignment) { m_alignment = alignment; }
  unsigned GetAlignement() const { return m_alignment; }

  Dynamic<int>* GetSelection() { return &m_selection; }
  UtilLib_Menu* GetParentMenu() const { return m_parent; }
  const char* GetWindowClassName() const { return m_className; }

  // The width and height the pop-up opens with: the widest item (135 when
  // none prefers a width) by the items' heights (21 for an item without
  // one).
  long GetMenuWidth();
  long GetMenuHeight();

  // Kept by the buttons the menu is assigned to, so that the menu can let
  // go of them when it goes first.
  void AttachButton(UtilLib_MenuButton* button);
  void DetachButton(UtilLib_MenuButton* button);

 private:
  POINT PopupPosition(HWND opener);
  int IndexOf(UtilLib_MenuItem* item) const;
  // The pop-up's window went away under the menu (its owner was destroyed).
  friend class UtilLib_MenuPopup;
  void PopupDestroyed();

  UtilLib_Menu* m_parent;
  char m_className[32] = {};
  bool m_classRegistered = false;
  tList<UtilLib_MenuItem*> m_items;
  tList<UtilLib_Menu*> m_submenus;
  tList<UtilLib_MenuButton*> m_buttons;
  Dynamic<int> m_selection;
  unsigned m_alignment = kDropDown;
  HWND m_popup = nullptr;
  UtilLib_MenuPopup* m_popupObject = nullptr;
};
