#include "ValueRow.h"

#include <qlxrapi/ClassList.h>
#include <qlxrapi/UtilLib_Canvas.h>
#include <qlxrapi/UtilLib_Edit.h>
#include <qlxrapi/UtilLib_Slider.h>

#include <cstring>

namespace quellor::quellpanel {
namespace {

// Left, centred vertically on one line.
constexpr unsigned long kLabelAlignment = 33;

template <typename Control>
Control* MakeControl(const char* className, HWND parent, long x, long y, long width, long height) {
  return dynamic_cast<Control*>(Orvane_New(const_cast<char*>(className), parent, x, y, width,
                                           height, const_cast<char*>(""), WS_CHILD | WS_VISIBLE,
                                           0));
}

}  // namespace

ValueRow::ValueRow(std::string name, float low, float high, float start, Apply apply)
    : m_name(std::move(name)), m_apply(std::move(apply)) {
  m_low.Set(low);
  m_high.Set(high);
  m_step.Set((high - low) / 10.0f);
  m_width.Set(0.1f * (high - low));  // a thumb a tenth of the track
  m_groove.ScreenObjectSolid_SetColor(14, 18, 30);
  // Up, down, rollover, down with rollover: steel, amber, light steel, light amber.
  const unsigned colours[4][3] = {{150, 168, 200}, {240, 160, 60}, {190, 206, 236}, {255, 190, 90}};
  for (int state = 0; state < 4; ++state)
    m_thumbs[state].ScreenObjectSolid_SetColor(colours[state][0], colours[state][1],
                                               colours[state][2]);
  m_value.Set(start);
  m_label.SetText(const_cast<char*>(m_name.c_str()));
  m_label.SetAlignment(kLabelAlignment);
  m_label.SetColor(230, 236, 248);
  m_value.AddDependant(this, 0);
}

ValueRow::~ValueRow() {
  RemoveAllDependantsToThis();
  // Controls still bound to the values hear them go and let go of them.
}

bool ValueRow::Open(HWND panel, long y) {
  auto* label = MakeControl<UtilLib_Canvas>("UtilLib_Canvas", panel, 12, y, 130, 24);
  m_slider = MakeControl<UtilLib_Slider>("UtilLib_Slider", panel, 146, y, 220, 24);
  m_edit = MakeControl<UtilLib_Edit>("UtilLib_Edit", panel, 372, y, 64, 24);
  if (label == nullptr || m_slider == nullptr || m_edit == nullptr) return false;
  label->Canvas_SetResource(&m_label);
  m_slider->Canvas_SetResource(&m_groove);
  for (int state = 0; state < 4; ++state) m_slider->Button_SetResource(state, &m_thumbs[state]);
  m_slider->Slider_SetSliderWidth(&m_width);
  m_slider->Slider_SetMinVariable(&m_low);
  m_slider->Slider_SetMaxVariable(&m_high);
  m_slider->Slider_SetVariable(&m_value);
  m_edit->Slider_SetMinVariable(&m_low);
  m_edit->Slider_SetMaxVariable(&m_high);
  m_edit->Slider_SetSliderWidth(&m_step);
  m_edit->Slider_SetVariable(&m_value);
  return true;
}

void ValueRow::DynamicCallback(long, const char* name, void*) {
  if (name == nullptr || std::strcmp(name, "DynamicTalker::Delete") == 0) return;
  if (m_apply) m_apply(m_value.Get());
}

}  // namespace quellor::quellpanel
