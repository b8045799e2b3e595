// The pop-up window of an open UtilLib_Menu: a free-form layout holding the
// menu's buttons, which tells its menu when its window goes (also when its
// owner takes it down).
#pragma once

#include "qlxrapi/UtilLib_FreeFormLayout.h"
#include "qlxrapi/UtilLib_Menu.h"

class UtilLib_MenuPopup : public UtilLib_FreeFormLayout {
 public:
  explicit UtilLib_MenuPopup(UtilLib_Menu* menu) : m_menu(menu) {}
  void ForgetMenu() { m_menu = nullptr; }

 protected:
  void DestroyWindow() override {
    UtilLib_FreeFormLayout::DestroyWindow();
    if (m_menu != nullptr) m_menu->PopupDestroyed();
  }

 private:
  UtilLib_Menu* m_menu;
};
