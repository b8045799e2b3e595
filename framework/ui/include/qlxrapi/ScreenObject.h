// Screen objects: what a control draws into a rectangle (a picture, a
// colour, a stack of others, nothing). Every change of look is announced as
// "Changed". Named objects belong to the process-wide resource registry.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include "qlxrapi/DynamicListener.h"
#include "qlxrapi/DynamicTalker.h"
#include "qlxrapi/PluginClass.h"
#include "qlxrapi/tList.h"

class QUELLOR_EXPORT ScreenObject : public PluginClass, public DynamicTalker {
 public:
  ScreenObject() = default;
  // Leaves the registry first when this object is a registry entry.
  ~ScreenObject() override;

  // Draws into rect; with clip, drawing is limited to it. True on success.
  virtual bool ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) = 0;
  // The natural size, or -1 for none.
  virtual long ScreenObject_GetPreferedXSize() = 0;
  virtual long ScreenObject_GetPreferedYSize() = 0;

  bool ScreenObject_DrawItem(HWND window);
  bool ScreenObject_DrawItem(HWND window, HDC dc);
  bool ScreenObject_DrawItem(RECT* rect, HDC dc);
  bool ScreenObject_DrawItem(RECT* rect, HDC dc, RECT* clip);
};

// Selects a rectangular clip for its life when one is given.
class QUELLOR_EXPORT ScreenObjectClip {
 public:
  ScreenObjectClip(HDC dc, const RECT* clip);
  ~ScreenObjectClip();
  ScreenObjectClip(const ScreenObjectClip&) = delete;
  ScreenObjectClip& operator=(const ScreenObjectClip&) = delete;

 private:
  HDC m_dc;
  bool m_clipped;
};

class QUELLOR_EXPORT ScreenObjectNull : public ScreenObject {
 public:
  // Registered under name when one is given.
  explicit ScreenObjectNull(char* name = nullptr);
  bool ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) override;
  long ScreenObject_GetPreferedXSize() override { return m_x; }
  long ScreenObject_GetPreferedYSize() override { return m_y; }
  virtual void ScreenObject_SetPreferedXSize(long size);
  virtual void ScreenObject_SetPreferedYSize(long size);

 private:
  long m_x = -1;
  long m_y = -1;
};

class QUELLOR_EXPORT ScreenObjectSolid : public ScreenObject {
 public:
  bool ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) override;
  long ScreenObject_GetPreferedXSize() override { return -1; }
  long ScreenObject_GetPreferedYSize() override { return -1; }
  // Announces nothing: the owner repaints when it changes the colour.
  void ScreenObjectSolid_SetColor(unsigned r, unsigned g, unsigned b);
  void ScreenObjectSolid_GetColor(unsigned& r, unsigned& g, unsigned& b);

 private:
  unsigned m_r = 0, m_g = 0, m_b = 0;
};

// Holds one child (owned) and repeats every notice of it under its name.
class QUELLOR_EXPORT ScreenObject_Container : public ScreenObject, public DynamicListener {
 public:
  explicit ScreenObject_Container(ScreenObject* child = nullptr);
  ~ScreenObject_Container() override;
  bool ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) override;
  long ScreenObject_GetPreferedXSize() override;
  long ScreenObject_GetPreferedYSize() override;
  void DynamicCallback(long id, const char* name, void* args) override;
  ScreenObject* GetChildItem() { return m_child; }
  void ChangeChildItem(ScreenObject* child);
  // Hands the child back without deleting it; the container is empty after.
  ScreenObject* ReleaseChildItem();

 private:
  ScreenObject* m_child = nullptr;
};

// Draws each child in turn into the same rectangle.
class QUELLOR_EXPORT ScreenObject_Composite : public ScreenObject, public DynamicListener {
 public:
  ScreenObject_Composite() = default;
  ~ScreenObject_Composite() override;
  bool ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) override;
  long ScreenObject_GetPreferedXSize() override;
  long ScreenObject_GetPreferedYSize() override;
  void DynamicCallback(long id, const char* name, void* args) override;
  void ScreenObject_Composite_AddChild(ScreenObject* child, bool owned);
  void ScreenObject_Composite_AddChild(unsigned long index, ScreenObject* child, bool owned);
  void ScreenObject_Composite_DeleteChild(unsigned long index);
  void ScreenObject_Composite_DeleteChild(ScreenObject* child);
  unsigned long ScreenObject_Composite_GetNoChildren() { return m_children.GetNoItems(); }
  ScreenObject* ScreenObject_Composite_GetChild(unsigned long index) {
    return m_children.GetItem(static_cast<std::uint32_t>(index));
  }

 private:
  tList<ScreenObject*> m_children;
  tList<bool> m_owned;
};

// The resource registry. Names compare without regard to case; the newest
// entry of a name wins.
QUELLOR_EXPORT ScreenObject* BuildResource(char* name, ScreenObject* object);
QUELLOR_EXPORT ScreenObject* GetResource(char* name);
// False when an entry was deleted, true when there was none.
QUELLOR_EXPORT bool DeleteResource(char* name);
QUELLOR_EXPORT bool DeleteResource(ScreenObject* entry);
QUELLOR_EXPORT char* GetResourceName(ScreenObject* entry);
