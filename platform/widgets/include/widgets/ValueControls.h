// The slider and the numeric edit field of the toolkit, each bound to an
// observable double and kept in step with it both ways: moving the slider or
// typing a number in range sets the value, and any change of the value (from
// anywhere) moves the slider and rewrites the field. Each is created over the
// rectangle of a placeholder control of a dialog, which it hides and whose
// identifier it takes. The window owns the object: it goes with the window.
// A bound value must outlive the control or be unbound (Bind(nullptr)) first.
#pragma once

#include "widgets/SettingValue.h"

namespace quellor::widgets {

class ValueSlider {
 public:
  // `tickFrequency` and `flags` are the toolkit's two further slider
  // parameters: ticks every so many positions (0: none) and style flags
  // (none defined yet). Null when the placeholder does not exist.
  static ValueSlider* Create(HWND dialog, int placeholderId, DoubleSetting* value, double minimum,
                             double maximum, int tickFrequency = 32, int flags = 0);
  void Bind(DoubleSetting* value);
  DoubleSetting* Value() const { return value_; }
  HWND Handle() const { return host_; }
  HWND Trackbar() const { return trackbar_; }

 private:
  ValueSlider() = default;
  static LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM);
  void Show();

  HWND host_ = nullptr;
  HWND trackbar_ = nullptr;
  DoubleSetting* value_ = nullptr;
  double minimum_ = 0;
  double maximum_ = 0;
};

class NumericEdit {
 public:
  static NumericEdit* Create(HWND dialog, int placeholderId, DoubleSetting* value, double minimum,
                             double maximum);
  void Bind(DoubleSetting* value);
  // Rewrites the field from the value.
  void Redraw();
  DoubleSetting* Value() const { return value_; }
  HWND Handle() const { return host_; }
  HWND Edit() const { return edit_; }

 private:
  NumericEdit() = default;
  static LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM);
  void TakeText();

  HWND host_ = nullptr;
  HWND edit_ = nullptr;
  DoubleSetting* value_ = nullptr;
  double minimum_ = 0;
  double maximum_ = 0;
  bool writing_ = false;  // the field is being rewritten from the value
};

}  // namespace quellor::widgets
