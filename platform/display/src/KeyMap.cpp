#include "KeyMap.h"

#include <X11/keysym.h>

#include "win32/user.h"

namespace quellor::display {

namespace {

struct KeyPair {
  KeySym symbol;
  int virtualKey;
};

// The keys that are not letters, digits or function keys.
constexpr KeyPair kKeys[] = {
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},
    {XK_Return, VK_RETURN},
    {XK_KP_Enter, VK_RETURN},
    {XK_Pause, VK_PAUSE},
    {XK_Escape, VK_ESCAPE},
    {XK_space, VK_SPACE},
    {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_End, VK_END},
    {XK_Home, VK_HOME},
    {XK_Left, VK_LEFT},
    {XK_Up, VK_UP},
    {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},
    {XK_Print, VK_SNAPSHOT},
    {XK_Insert, VK_INSERT},
    {XK_Delete, VK_DELETE},
    {XK_Help, VK_HELP},
    {XK_Shift_L, VK_LSHIFT},
    {XK_Shift_R, VK_RSHIFT},
    {XK_Control_L, VK_LCONTROL},
    {XK_Control_R, VK_RCONTROL},
    {XK_Alt_L, VK_LMENU},
    {XK_Alt_R, VK_RMENU},
    {XK_Caps_Lock, VK_CAPITAL},
    {XK_Num_Lock, VK_NUMLOCK},
    {XK_Scroll_Lock, VK_SCROLL},
    {XK_Super_L, VK_LWIN},
    {XK_Super_R, VK_RWIN},
    {XK_Menu, VK_APPS},
    {XK_KP_Multiply, VK_MULTIPLY},
    {XK_KP_Add, VK_ADD},
    {XK_KP_Separator, VK_SEPARATOR},
    {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Decimal, VK_DECIMAL},
    {XK_KP_Divide, VK_DIVIDE},
    // The US layout's punctuation keys (VK_OEM_*).
    {XK_semicolon, 0xBA},
    {XK_equal, 0xBB},
    {XK_comma, 0xBC},
    {XK_minus, 0xBD},
    {XK_period, 0xBE},
    {XK_slash, 0xBF},
    {XK_grave, 0xC0},
    {XK_bracketleft, 0xDB},
    {XK_backslash, 0xDC},
    {XK_bracketright, 0xDD},
    {XK_apostrophe, 0xDE},
};

}  // namespace

int KeySymToVirtualKey(KeySym symbol) {
  if (symbol >= XK_a && symbol <= XK_z) return int('A' + (symbol - XK_a));
  if (symbol >= XK_A && symbol <= XK_Z) return int('A' + (symbol - XK_A));
  if (symbol >= XK_0 && symbol <= XK_9) return int('0' + (symbol - XK_0));
  if (symbol >= XK_F1 && symbol <= XK_F12) return VK_F1 + int(symbol - XK_F1);
  if (symbol >= XK_KP_0 && symbol <= XK_KP_9) return VK_NUMPAD0 + int(symbol - XK_KP_0);
  for (const KeyPair& pair : kKeys)
    if (pair.symbol == symbol) return pair.virtualKey;
  return 0;
}

}  // namespace quellor::display
