// UtilLib_MenuButton: a button that opens the menu assigned to it while it is
// pressed, and the entries of open menus. A press outside any menu starts
// the menu loop, which holds the mouse and passes mouse messages only to the
// menu buttons of the open menus; hovering over an entry selects it (with a
// MouseEnterContext in place), releasing over an entry without a submenu
// ends the loop with that entry's number in its menu's selection, releasing
// elsewhere (or Escape) ends it without a choice.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/UtilLib_Button.h"
#include "qlxrapi/tList.h"

class UtilLib_Menu;
class Message_DiversionLoop_UtilLib_MenuButton;

class QUELLOR_EXPORT UtilLib_MenuButton : public UtilLib_Button {
 public:
  UtilLib_MenuButton();
  ~UtilLib_MenuButton() override;

  // The menu opened while the button is pressed (not owned; null: none).
  void UtilLib_MenuButton_AssignMenu(UtilLib_Menu* menu);
  UtilLib_Menu* UtilLib_MenuButton_GetMenu() const { return m_menu; }

  void DynamicCallback(long id, const char* name, void* args) override;

  // The selection values of the menus open now (and of the buttons that
  // opened them): the loop passes mouse messages to buttons bound to these.
  static tList<Dynamic<int>*> ListOfVars;
  static bool IsOpenValue(Dynamic<int>* value);
  static void ForgetOpenValue(Dynamic<int>* value);
  // True while the menu loop runs.
  static bool IsMenuLoopRunning();

 protected:
  // Falls back to the library's menu looks before the registry defaults.
  ScreenObject* ResolveResource(int state) override;
  void DestroyWindow() override;
  void MouseEnter() override;
  void MouseExit() override;
  void MouseLButtonClick(long keys, long x, long y) override;
  void MouseLButtonDblClick(long keys, long x, long y) override;
  void MouseLButtonRelease(long keys, long x, long y) override;
  void MouseRButtonClick(long keys, long x, long y) override;
  void MouseRButtonRelease(long keys, long x, long y) override;

 private:
  friend class Message_DiversionLoop_UtilLib_MenuButton;
  void Press();
  void Release();
  // Opens or closes the menu to match the pressed state.
  void FollowPressedState();
  static void JoinOpenValues(Dynamic<int>* value);

  UtilLib_Menu* m_menu = nullptr;
  bool m_over = false;
};
