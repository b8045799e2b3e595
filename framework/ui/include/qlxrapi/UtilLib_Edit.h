// UtilLib_Edit: a canvas holding a system "Edit" control, bound to a TextItem
// (the text) and/or to a Dynamic<float> value with an optional minimum,
// maximum and step (the slider interface; the width is the step). Keys
// typed into a value edit set the value with the notice
// "UtilLib_Edit::Changed"; the arrows move it by a tenth of the step, Page
// Up and Page Down by the step.
#pragma once

#include <quellor/Export.h>

#include <string>

#include "qlxrapi/Controls_Edit.h"
#include "qlxrapi/Controls_Slider.h"
#include "qlxrapi/UtilLib_Canvas.h"

class QUELLOR_EXPORT UtilLib_Edit : public UtilLib_Canvas,
                                    public Controls_Edit,
                                    public Controls_Slider {
 public:
  // The longest text the edit reads back.
  static constexpr int kMaxText = 2048;

  UtilLib_Edit();
  ~UtilLib_Edit() override;

  using Controls_Edit::Controls_Edit_GetResourceName;
  using Controls_Edit::Controls_Edit_SetResource;
  void Controls_Edit_SetItem(TextItem* item) override;
  TextItem* Controls_Edit_GetItem() override { return m_item; }

  void Slider_SetVariable(Dynamic<float>* value) override;
  void Slider_SetMinVariable(Dynamic<float>* minimum) override;
  void Slider_SetMaxVariable(Dynamic<float>* maximum) override;
  Dynamic<float>* Slider_GetVariable() override { return m_value; }
  Dynamic<float>* Slider_GetMinVariable() override { return m_minimum; }
  Dynamic<float>* Slider_GetMaxVariable() override { return m_maximum; }
  void Slider_SetSliderWidth(Dynamic<float>* step) override;
  Dynamic<float>* Slider_GetSliderWidth() override { return m_step; }

  // True while the edit control has the keyboard focus.
  bool Button_IsPressed();
  HWND GetEditWindow() const { return m_edit; }

  // Shows the item's text, or else the value ("%1.1f"), when the edit shows
  // something else.
  void RefreshText();

  // Notices of the bound item and values that come on another thread than
  // the window's show the text from the window's thread, a deferred message
  // later.
  void DynamicCallback(long id, const char* name, void* args) override;
  void ReceiveDeferredMessage(unsigned wParam, unsigned lParam) override;

 protected:
  // Creates the edit control; throws "UtilLib_Edit::UtilLib_Edit Could not
  // open Edit Control." when it cannot be made.
  void InitialiseWindow() override;
  void WindowSized(long width, long height) override;
  // The system edit control filling the client area; null on failure.
  virtual HWND CreateEditControl();

 private:
  static LRESULT CALLBACK EditProcedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT EditMessage(HWND window, UINT message, WPARAM w, LPARAM l);
  void ReadKeys(UINT message, WPARAM key);
  void Bind(Dynamic<float>*& slot, Dynamic<float>* value);
  void ReleaseEdit();

  // Registrations of the bound item and values.
  static constexpr long kBindingId = 1;
  // The deferred message that refreshes the text on the window's thread.
  static constexpr unsigned kRefreshTextLater = 0x45444954;  // "EDIT"

  HWND m_edit = nullptr;
  // The text the edit last showed for the value.
  std::string m_shownValueText;
  WNDPROC m_editProcedure = nullptr;
  TextItem* m_item = nullptr;
  Dynamic<float>* m_value = nullptr;
  Dynamic<float>* m_minimum = nullptr;
  Dynamic<float>* m_maximum = nullptr;
  Dynamic<float>* m_step = nullptr;
};
