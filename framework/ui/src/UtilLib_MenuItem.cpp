#include "qlxrapi/UtilLib_MenuItem.h"

#include <algorithm>

#include "qlxrapi/DefaultResources.h"

namespace {

// Left, centred vertically on one line.
constexpr unsigned long kItemTextAlignment = 33;

ScreenObject* DefaultLook(int state) {
  ScreenObject_Resource* const looks[UtilLib_MenuItem::kStates] = {
      DefaultButton_Up, DefaultButton_Dn, DefaultButton_Ro, DefaultButton_RoDn};
  return looks[state];
}

}  // namespace

UtilLib_MenuItem::UtilLib_MenuItem()
    : m_text(new TextItem(const_cast<char*>("A Menu Item"), const_cast<char*>("Verdena"), -1.0f,
                          false, false, false, false, 0, 0, 0, kItemTextAlignment)) {
  for (int state = 0; state < kStates; ++state) {
    m_looks[state] = new ScreenObject_Composite();
    // The default looks belong to the registry, the text to the item.
    if (ScreenObject* look = DefaultLook(state))
      m_looks[state]->ScreenObject_Composite_AddChild(look, false);
    m_looks[state]->ScreenObject_Composite_AddChild(m_text, false);
    m_shown[state] = m_looks[state];
  }
}

UtilLib_MenuItem::~UtilLib_MenuItem() {
  for (ScreenObject_Composite* look : m_looks) delete look;
  delete m_text;
}

void UtilLib_MenuItem::AssignScreenObject(int state, ScreenObject* object) {
  if (state < 0 || state >= kStates) return;
  m_shown[state] = object != nullptr ? object : m_looks[state];
}

ScreenObject* UtilLib_MenuItem::GetScreenObject(int state) const {
  return state < 0 || state >= kStates ? nullptr : m_shown[state];
}

ScreenObject_Composite* UtilLib_MenuItem::GetLook(int state) const {
  return state < 0 || state >= kStates ? nullptr : m_looks[state];
}

bool UtilLib_MenuItem::SetText(char* text) {
  return m_text->SetText(text != nullptr ? text : const_cast<char*>(""));
}

long UtilLib_MenuItem::GetPreferedXSize() {
  long size = m_text->ScreenObject_GetPreferedXSize();
  for (ScreenObject* shown : m_shown) size = std::max(size, shown->ScreenObject_GetPreferedXSize());
  return size;
}

long UtilLib_MenuItem::GetPreferedYSize() {
  long size = m_text->ScreenObject_GetPreferedYSize();
  for (ScreenObject* shown : m_shown) size = std::max(size, shown->ScreenObject_GetPreferedYSize());
  return size;
}
