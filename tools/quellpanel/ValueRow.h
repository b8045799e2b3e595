// One adjustable value of a node on the panel: a label, a slider and an edit
// bound to one observable value, which is handed to the node whenever it
// changes (by the slider, the edit or a script).
#pragma once

#include <qlxrapi/Dynamic.h>
#include <qlxrapi/DynamicListener.h>
#include <qlxrapi/TextItem.h>

#include <functional>
#include <string>

class UtilLib_Slider;
class UtilLib_Edit;

namespace quellor::quellpanel {

class ValueRow : public DynamicListener {
 public:
  using Apply = std::function<void(float)>;
  // name as "node.value"; the value starts at start and stays in low..high.
  ValueRow(std::string name, float low, float high, float start, Apply apply);
  ~ValueRow() override;
  ValueRow(const ValueRow&) = delete;
  ValueRow& operator=(const ValueRow&) = delete;

  // Makes the row's controls in panel at height y.
  bool Open(HWND panel, long y);

  const std::string& Name() const { return m_name; }
  Dynamic<float>* Value() { return &m_value; }
  UtilLib_Slider* Slider() { return m_slider; }
  void DynamicCallback(long id, const char* name, void* args) override;

 private:
  std::string m_name;
  Dynamic<float> m_value, m_low, m_high, m_step, m_width;
  Apply m_apply;
  TextItem m_label;
  // The slider's looks: a groove and a thumb per state.
  ScreenObjectSolid m_groove;
  ScreenObjectSolid m_thumbs[4];
  UtilLib_Slider* m_slider = nullptr;
  UtilLib_Edit* m_edit = nullptr;
};

}  // namespace quellor::quellpanel
