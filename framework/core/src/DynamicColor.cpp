#include "qlxrapi/DynamicColor.h"

namespace {

bool IsComponent(DynamicColor_Component component) {
  return component >= DynamicColor_Red && component <= DynamicColor_Alpha;
}

}  // namespace

DynamicColor::DynamicColor(float component0, float component1, float component2, float component3)
    : m_components(new Dynamic<float>[4]) {
  // Nobody listens yet: these announce nothing.
  m_components[0].Set(component0, "Changed");
  m_components[1].Set(component1, "Changed");
  m_components[2].Set(component2, "Changed");
  m_components[3].Set(component3, "Changed");
}

DynamicColor::~DynamicColor() {
  delete[] m_components;
}

Dynamic<float>* DynamicColor::GetComponent(DynamicColor_Component component) {
  if (!IsComponent(component))
    throw const_cast<char*>("DynamicColor::GetComponent Invalid color component");
  return &m_components[component];
}

float DynamicColor::GetComponentValue(DynamicColor_Component component) {
  if (!IsComponent(component))
    throw const_cast<char*>("DynamicColor::GetComponentValue Invalid color component");
  return m_components[component].Get();
}

float DynamicColor::SetComponentValue(DynamicColor_Component component, float value) {
  if (!IsComponent(component))
    throw const_cast<char*>("DynamicColor::SetComponentValue Invalid color component");
  const float before = m_components[component].Get();
  m_components[component].Set(value, "Changed");
  return before;
}

void DynamicColor::AddDependant(DynamicListener* listener, long id) {
  for (int i = 0; i < 4; ++i) m_components[i].AddDependant(listener, id);
}

void DynamicColor::DeleteDependant(DynamicListener* listener) {
  for (int i = 0; i < 4; ++i) m_components[i].DeleteDependant(listener);
}
