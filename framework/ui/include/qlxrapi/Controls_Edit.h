// The interface of controls that edit the text of a TextItem.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/TextItem.h"

class QUELLOR_EXPORT Controls_Edit {
 public:
  virtual ~Controls_Edit() = default;

  // Not owned; null unbinds.
  virtual void Controls_Edit_SetItem(TextItem* item) = 0;
  virtual TextItem* Controls_Edit_GetItem() = 0;

  // Binds the registered TextItem of that name (a name that is not a text
  // item unbinds).
  void Controls_Edit_SetResource(char* name);
  // The registry name of the bound item, or null.
  char* Controls_Edit_GetResourceName();

 private:
  ScreenObject* m_itemEntry = nullptr;
};
