#include "widgets/ValueControls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace quellor::widgets {
namespace {

constexpr int kEditId = 1;
constexpr int kTrackbarId = 1;

void RegisterHost(const char* name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

// Hides the placeholder, takes its identifier and makes a child over its
// rectangle. Null when there is no such placeholder.
HWND ReplacePlaceholder(HWND dialog, int placeholderId, const char* className, void* self) {
  HWND placeholder = GetDlgItem(dialog, placeholderId);
  if (!placeholder) return nullptr;
  RECT r;
  GetWindowRect(placeholder, &r);
  POINT topLeft{r.left, r.top};
  ScreenToClient(dialog, &topLeft);
  DWORD tabStop = DWORD(GetWindowLongA(placeholder, GWL_STYLE)) & WS_TABSTOP;
  ShowWindow(placeholder, SW_HIDE);
  SetWindowLongPtrA(placeholder, GWLP_ID, 0);
  return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | tabStop, topLeft.x, topLeft.y,
                         r.right - r.left, r.bottom - r.top, dialog,
                         reinterpret_cast<HMENU>(intptr_t(placeholderId)), nullptr, self);
}

std::string Format(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", v);
  return text;
}

}  // namespace

// ---- slider -----------------------------------------------------------------

ValueSlider* ValueSlider::Create(HWND dialog, int placeholderId, DoubleSetting* value,
                                 double minimum, double maximum, int tickFrequency, int) {
  static std::once_flag once;
  std::call_once(once, [] { RegisterHost("QuellorValueSlider", &ValueSlider::HostProc); });
  auto* slider = new ValueSlider;
  slider->minimum_ = std::min(minimum, maximum);
  slider->maximum_ = std::max(minimum, maximum);
  HWND host = ReplacePlaceholder(dialog, placeholderId, "QuellorValueSlider", slider);
  if (!host) {
    delete slider;  // the window never took it
    return nullptr;
  }
  RECT r;
  GetClientRect(host, &r);
  slider->trackbar_ = CreateWindowExA(
      0, TRACKBAR_CLASSA, "",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | (tickFrequency > 0 ? TBS_AUTOTICKS : 0), 0, 0, r.right,
      r.bottom, host, reinterpret_cast<HMENU>(intptr_t(kTrackbarId)), nullptr, nullptr);
  SendMessageA(slider->trackbar_, TBM_SETRANGE, TRUE,
               MAKELPARAM(WORD(SHORT(std::lround(slider->minimum_))),
                          WORD(SHORT(std::lround(slider->maximum_)))));
  SendMessageA(slider->trackbar_, TBM_SETTICFREQ, WPARAM(std::max(0, tickFrequency)), 0);
  slider->Bind(value);
  return slider;
}

void ValueSlider::Bind(DoubleSetting* value) {
  if (value_) value_->RemoveDependant(host_);
  value_ = value;
  if (value_) value_->AddDependant(host_);
  Show();
}

void ValueSlider::Show() {
  if (!value_ || !trackbar_) return;
  double v = std::clamp(value_->Get(), minimum_, maximum_);
  SendMessageA(trackbar_, TBM_SETPOS, TRUE, LPARAM(std::lround(v)));
}

LRESULT CALLBACK ValueSlider::HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    static_cast<ValueSlider*>(cs->lpCreateParams)->host_ = hwnd;
  }
  auto* self = reinterpret_cast<ValueSlider*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case kValueChanged:
      if (reinterpret_cast<DoubleSetting*>(lParam) == self->value_) self->Show();
      return 0;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == self->trackbar_ && self->value_) {
        int pos = int(SendMessageA(self->trackbar_, TBM_GETPOS, 0, 0));
        self->value_->Set(std::clamp(double(pos), self->minimum_, self->maximum_));
      }
      return 0;
    case WM_SETFOCUS:
      SetFocus(self->trackbar_);
      return 0;
    case WM_NCDESTROY:
      if (self->value_) self->value_->RemoveDependant(hwnd);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      delete self;
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- numeric edit -------------------------------------------------------------

NumericEdit* NumericEdit::Create(HWND dialog, int placeholderId, DoubleSetting* value,
                                 double minimum, double maximum) {
  static std::once_flag once;
  std::call_once(once, [] { RegisterHost("QuellorNumericEdit", &NumericEdit::HostProc); });
  auto* field = new NumericEdit;
  field->minimum_ = std::min(minimum, maximum);
  field->maximum_ = std::max(minimum, maximum);
  HWND host = ReplacePlaceholder(dialog, placeholderId, "QuellorNumericEdit", field);
  if (!host) {
    delete field;
    return nullptr;
  }
  RECT r;
  GetClientRect(host, &r);
  field->edit_ = CreateWindowExA(
      WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
      r.right, r.bottom, host, reinterpret_cast<HMENU>(intptr_t(kEditId)), nullptr, nullptr);
  SendMessageA(field->edit_, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
  field->Bind(value);
  return field;
}

void NumericEdit::Bind(DoubleSetting* value) {
  if (value_) value_->RemoveDependant(host_);
  value_ = value;
  if (value_) value_->AddDependant(host_);
  Redraw();
}

void NumericEdit::Redraw() {
  if (!value_ || !edit_) return;
  std::string text = Format(value_->Get());
  char current[64] = "";
  GetWindowTextA(edit_, current, sizeof current);
  if (text == current) return;
  writing_ = true;
  SetWindowTextA(edit_, text.c_str());
  writing_ = false;
}

// A number in range typed into the field becomes the value; anything else
// waits (the user may be half way through typing it).
void NumericEdit::TakeText() {
  if (writing_ || !value_) return;
  char text[64] = "";
  GetWindowTextA(edit_, text, sizeof text);
  char* end = nullptr;
  double v = std::strtod(text, &end);
  while (end && *end == ' ') ++end;
  if (end == text || (end && *end) || !std::isfinite(v) || v < minimum_ || v > maximum_) return;
  value_->Set(v);
}

LRESULT CALLBACK NumericEdit::HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    static_cast<NumericEdit*>(cs->lpCreateParams)->host_ = hwnd;
  }
  auto* self = reinterpret_cast<NumericEdit*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case kValueChanged:
      if (reinterpret_cast<DoubleSetting*>(lParam) == self->value_) self->Redraw();
      return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == self->edit_) {
        if (HIWORD(wParam) == EN_CHANGE) self->TakeText();
        // Leaving the field shows the value it holds (an unfinished or out of
        // range entry is dropped).
        if (HIWORD(wParam) == EN_KILLFOCUS) {
          self->writing_ = true;
          if (self->value_) SetWindowTextA(self->edit_, Format(self->value_->Get()).c_str());
          self->writing_ = false;
        }
      }
      return 0;
    case WM_SETFOCUS:
      SetFocus(self->edit_);
      return 0;
    case WM_NCDESTROY:
      if (self->value_) self->value_->RemoveDependant(hwnd);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      delete self;
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace quellor::widgets
