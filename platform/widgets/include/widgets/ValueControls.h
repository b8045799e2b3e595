// The slider and the numeric edit field of the toolkit, each bound to an
// observable double and kept in step with it both ways: moving the slider or
// typing a number in range sets the value, and any change of the value (from
// anywhere) moves the slider and rewrites the field. Each is created over the
// rectangle of a placeholder control of a dialog, which it hides and whose
// identifier it takes. The window owns the object: it goes with the window.
// A bound value must outlive the control or be unbound (Bind(nullptr)) first.
#pragma once

#include <quellor/Export.h>

#include <string>

#include "widgets/SettingValue.h"

namespace quellor::widgets {

// What the slider and the numeric edit share: a host window over the
// placeholder that owns the object, the bound value (the host is its
// dependant), the range, and the host's common messages.
class QUELLOR_EXPORT BoundValueControl {
 public:
  virtual ~BoundValueControl() = default;
  BoundValueControl(const BoundValueControl&) = delete;
  BoundValueControl& operator=(const BoundValueControl&) = delete;

  void Bind(DoubleSetting* value);
  DoubleSetting* Value() const { return value_; }
  HWND Handle() const { return host_; }

 protected:
  BoundValueControl(double minimum, double maximum);
  // Registers the host class once per name and makes the host over the
  // placeholder. False (and the caller deletes the object) when there is no
  // such placeholder.
  bool CreateHost(HWND dialog, int placeholderId, const char* className);
  // Shows the bound value in the control's own child window.
  virtual void ShowValue() = 0;
  // The child window that takes the host's focus.
  virtual HWND Inner() const = 0;
  // The control's own host messages (WM_HSCROLL, WM_COMMAND).
  virtual void HostMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

  HWND host_ = nullptr;
  DoubleSetting* value_ = nullptr;
  double minimum_;
  double maximum_;

 private:
  static LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM);
};

class QUELLOR_EXPORT ValueSlider : public BoundValueControl {
 public:
  // `tickFrequency` and `flags` are the toolkit's two further slider
  // parameters: ticks every so many positions (0: none) and style flags
  // (none defined yet). Null when the placeholder does not exist.
  static ValueSlider* Create(HWND dialog, int placeholderId, DoubleSetting* value, double minimum,
                             double maximum, int tickFrequency = 32, int flags = 0);
  HWND Trackbar() const { return trackbar_; }

 private:
  using BoundValueControl::BoundValueControl;
  void ShowValue() override;
  HWND Inner() const override { return trackbar_; }
  void HostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  HWND trackbar_ = nullptr;
};

class QUELLOR_EXPORT NumericEdit : public BoundValueControl {
 public:
  static NumericEdit* Create(HWND dialog, int placeholderId, DoubleSetting* value, double minimum,
                             double maximum);
  // Rewrites the field from the value.
  void Redraw() { ShowValue(); }
  HWND Edit() const { return edit_; }

 private:
  using BoundValueControl::BoundValueControl;
  void ShowValue() override;
  HWND Inner() const override { return edit_; }
  void HostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void TakeText();
  void WriteText(const std::string& text);

  HWND edit_ = nullptr;
  bool writing_ = false;  // the field is being rewritten from the value
};

}  // namespace quellor::widgets
