#include "qlxrapi/UtilLib_MenuButton.h"

#include "ControlSupport.h"
#include "Message_DiversionLoop_UtilLib_MenuButton.h"
#include "qlxrapi/ControlWindowClasses.h"
#include "qlxrapi/DefaultResources.h"
#include "qlxrapi/UtilLib_Menu.h"

QLXRAPI_CONTROL_CLASS(UtilLib_MenuButton);

using quellor::win::IsDeleteNotice;
using quellor::win::IsWindowNotice;

tList<Dynamic<int>*> UtilLib_MenuButton::ListOfVars;

namespace {

// The one menu loop running (menus run on the window thread), or null.
Message_DiversionLoop_UtilLib_MenuButton* g_menuLoop = nullptr;

}  // namespace

UtilLib_MenuButton::UtilLib_MenuButton() = default;

UtilLib_MenuButton::~UtilLib_MenuButton() {
  RemoveAllDependantsToThis();
  if (g_menuLoop != nullptr && g_menuLoop->GetOwner() == this) g_menuLoop->OwnerGone();
  if (m_menu != nullptr) m_menu->DetachButton(this);
}

bool UtilLib_MenuButton::IsOpenValue(Dynamic<int>* value) {
  if (value == nullptr) return false;
  for (std::uint32_t i = 0; i < ListOfVars.GetNoItems(); ++i)
    if (ListOfVars[i] == value) return true;
  return false;
}

void UtilLib_MenuButton::ForgetOpenValue(Dynamic<int>* value) {
  while (ListOfVars.RemoveItem(value)) {
  }
}

void UtilLib_MenuButton::JoinOpenValues(Dynamic<int>* value) {
  if (value != nullptr && !IsOpenValue(value)) ListOfVars.AddItem(value);
}

bool UtilLib_MenuButton::IsMenuLoopRunning() {
  return g_menuLoop != nullptr;
}

void UtilLib_MenuButton::UtilLib_MenuButton_AssignMenu(UtilLib_Menu* menu) {
  if (menu == m_menu) return;
  if (m_menu != nullptr) {
    m_menu->CloseMenuWindow();
    m_menu->DetachButton(this);
  }
  m_menu = menu;
  if (m_menu != nullptr) m_menu->AttachButton(this);
}

ScreenObject* UtilLib_MenuButton::ResolveResource(int state) {
  if (ScreenObject* own = StateResource(state)) return own;
  ScreenObject_Resource* const looks[kStates] = {DefaultMenu_Up, DefaultMenu_Dn, DefaultMenu_Ro,
                                                 DefaultMenu_RoDn};
  if (state < 0 || state >= kStates) return nullptr;
  return looks[state];
}

void UtilLib_MenuButton::FollowPressedState() {
  if (m_menu == nullptr) return;
  HWND window = GetWindowHandle();
  if (Button_IsPressed() && window != nullptr && IsWindow(window)) {
    m_menu->OpenMenuWindow(window);
    JoinOpenValues(Button_GetVariable());
    JoinOpenValues(m_menu->GetSelection());
  } else if (!Button_IsPressed()) {
    m_menu->CloseMenuWindow();
  }
}

void UtilLib_MenuButton::DynamicCallback(long id, const char* name, void* args) {
  UtilLib_Button::DynamicCallback(id, name, args);
  if (IsDeleteNotice(name) || IsWindowNotice(name)) return;
  FollowPressedState();
}

void UtilLib_MenuButton::Press() {
  Dynamic<int>* variable = Button_GetVariable();
  const int state = Button_GetSelectedState();
  if (g_menuLoop != nullptr) {
    // Inside the loop a press toggles the entry.
    variable->Set(variable->Get() == state ? UtilLib_Menu::kNothingSelected : state);
    return;
  }
  variable->Set(state);
  Message_DiversionLoop_UtilLib_MenuButton loop(this);
  g_menuLoop = &loop;
  loop.LoopDiversion(GetWindowHandle());
  g_menuLoop = nullptr;
  // This object outlives its own handler even when its window went away
  // during the loop; its variable falls back to its own when the bound one
  // was deleted.
  Button_GetVariable()->Set(UtilLib_Menu::kNothingSelected);
  if (m_menu != nullptr) m_menu->CloseMenuWindow();
  ListOfVars.Clear();
}

void UtilLib_MenuButton::Release() {
  if (m_menu == nullptr)
    Button_GetVariable()->Set(Button_GetSelectedState(), "Button::ReleasedOff");
}

void UtilLib_MenuButton::DestroyWindow() {
  UtilLib_Button::DestroyWindow();
  // A submenu does not outlive the entry that opened it, nor the loop the
  // button that started it.
  if (m_menu != nullptr) m_menu->CloseMenuWindow();
  if (g_menuLoop != nullptr && g_menuLoop->GetOwner() == this) g_menuLoop->OwnerGone();
}

void UtilLib_MenuButton::MouseEnter() {
  m_over = true;
  SetRolloverLook(true);
  if (g_menuLoop != nullptr)
    Button_GetVariable()->Set(Button_GetSelectedState());
  else
    RePaint();
}

void UtilLib_MenuButton::MouseExit() {
  m_over = false;
  SetRolloverLook(false);
  if (Button_GetVariable()->Get() != Button_GetSelectedState()) RePaint();
}

void UtilLib_MenuButton::MouseLButtonClick(long, long, long) {
  Press();
}

void UtilLib_MenuButton::MouseLButtonDblClick(long, long, long) {
  Press();
}

void UtilLib_MenuButton::MouseLButtonRelease(long, long, long) {
  Release();
}

void UtilLib_MenuButton::MouseRButtonClick(long, long, long) {
  Press();
}

void UtilLib_MenuButton::MouseRButtonRelease(long, long, long) {
  Release();
}
