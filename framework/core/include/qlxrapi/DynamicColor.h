// DynamicColor: a colour of four observable float components.
#pragma once

#include <quellor/Export.h>

#include "Dynamic.h"

enum DynamicColor_Component : int {
  DynamicColor_Red = 0,
  DynamicColor_Green = 1,
  DynamicColor_Blue = 2,
  DynamicColor_Alpha = 3,
};

class QUELLOR_EXPORT DynamicColor {
 public:
  explicit DynamicColor(float component0 = 0.0f, float component1 = 0.0f, float component2 = 0.0f,
                        float component3 = 1.0f);
  // Destroys the components; each announces "DynamicTalker::Delete".
  ~DynamicColor();

  // A copy would share the component array.
  DynamicColor(const DynamicColor&) = delete;
  DynamicColor& operator=(const DynamicColor&) = delete;

  // Each throws its "... Invalid color component" text for a component
  // outside 0 to 3.
  Dynamic<float>* GetComponent(DynamicColor_Component component);
  float GetComponentValue(DynamicColor_Component component);
  // Sets the component with the notice "Changed"; returns its former value.
  float SetComponentValue(DynamicColor_Component component, float value);

  // Registers with, respectively removes from, all four components, in the
  // order 0, 1, 2, 3.
  void AddDependant(DynamicListener* listener, long id);
  void DeleteDependant(DynamicListener* listener);

 private:
  Dynamic<float>* m_components;  // one block of four
};
