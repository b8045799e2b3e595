// UtilLib_MenuItem: one entry of a UtilLib_Menu. It keeps the screen object
// shown in each of the four button states; at first each is a composite of
// the default button look under one shared line of text.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/ScreenObject.h"
#include "qlxrapi/TextItem.h"

class QUELLOR_EXPORT UtilLib_MenuItem {
 public:
  static constexpr int kStates = 4;  // up, down, up rollover, down rollover

  UtilLib_MenuItem();
  virtual ~UtilLib_MenuItem();
  UtilLib_MenuItem(const UtilLib_MenuItem&) = delete;
  UtilLib_MenuItem& operator=(const UtilLib_MenuItem&) = delete;

  // Shows object (not owned; null: the state's own composite again) in
  // state 0..3; other states are ignored.
  void AssignScreenObject(int state, ScreenObject* object);
  // The object shown in state, null outside 0..3.
  ScreenObject* GetScreenObject(int state) const;
  // The composite the item made for state (owned by the item).
  ScreenObject_Composite* GetLook(int state) const;

  // The shared text; false when it cannot be copied.
  bool SetText(char* text);
  char* GetText() { return m_text->GetText(); }
  TextItem* GetTextItem() { return m_text; }

  // The largest preference (-1: none) among the four shown objects and the
  // text.
  long GetPreferedXSize();
  long GetPreferedYSize();

 private:
  TextItem* m_text;
  ScreenObject_Composite* m_looks[kStates];
  ScreenObject* m_shown[kStates];
};
