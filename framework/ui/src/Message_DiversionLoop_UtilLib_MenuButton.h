// The menu loop: a nested loop holding the mouse while menus are open. Mouse
// messages go to the menu button under the cursor when it belongs to an open
// menu (re-addressed into its client coordinates) and nowhere else; a button
// release there ends the loop unless that button opens a submenu; a release
// elsewhere, Escape, or the opening button's window going away ends it too.
#pragma once

#include "qlxrapi/MessageQueue.h"

class UtilLib_MenuButton;

class Message_DiversionLoop_UtilLib_MenuButton : public Message_DiversionLoop {
 public:
  explicit Message_DiversionLoop_UtilLib_MenuButton(UtilLib_MenuButton* owner) : m_owner(owner) {}
  int DiversionLoop(MSG* message, UINT* number, WPARAM* wParam, LPARAM* lParam) override;

  UtilLib_MenuButton* GetOwner() const { return m_owner; }
  // The opening button's window is gone: the loop ends at its next message.
  void OwnerGone();

  // The menu button of an open menu at screen point, or null.
  static UtilLib_MenuButton* OpenMenuButtonAt(POINT screen);

 private:
  UtilLib_MenuButton* m_owner;
  bool m_ownerGone = false;
};
