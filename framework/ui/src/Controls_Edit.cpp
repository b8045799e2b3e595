// The non-virtual part of the edit interface: the text item by name.
#include "qlxrapi/Controls_Edit.h"

void Controls_Edit::Controls_Edit_SetResource(char* name) {
  ScreenObject* entry = GetResource(name);
  auto* item = dynamic_cast<TextItem*>(entry);
  if (auto* container = dynamic_cast<ScreenObject_Container*>(entry))
    item = dynamic_cast<TextItem*>(container->GetChildItem());
  m_itemEntry = item != nullptr ? entry : nullptr;
  Controls_Edit_SetItem(item);
}

char* Controls_Edit::Controls_Edit_GetResourceName() {
  // The entry is only compared, never used: a stale one simply has no name.
  return m_itemEntry == nullptr || Controls_Edit_GetItem() == nullptr
             ? nullptr
             : GetResourceName(m_itemEntry);
}
