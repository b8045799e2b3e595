#include "widgets/ValueControls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

// ---- shared host ---------------------------------------------------------------

BoundValueControl::BoundValueControl(double minimum, double maximum)
    : minimum_(std::min(minimum, maximum)), maximum_(std::max(minimum, maximum)) {}

bool BoundValueControl::CreateHost(HWND dialog, int placeholderId, const char* className) {
  // Every control registers its class; all but the first registration of a
  // name fail with ERROR_CLASS_ALREADY_EXISTS and change nothing.
  RegisterHost(className, &HostProc);
  return ReplacePlaceholder(dialog, placeholderId, className, this) != nullptr;
}

void BoundValueControl::Bind(DoubleSetting* value) {
  if (value_) value_->RemoveDependant(host_);
  value_ = value;
  if (value_) value_->AddDependant(host_);
  ShowValue();
}

LRESULT CALLBACK BoundValueControl::HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    static_cast<BoundValueControl*>(cs->lpCreateParams)->host_ = hwnd;
  }
  auto* self = reinterpret_cast<BoundValueControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case kValueChanged:
      if (reinterpret_cast<DoubleSetting*>(lParam) == self->value_) self->ShowValue();
      return 0;
    case WM_HSCROLL:
    case WM_COMMAND:
      self->HostMessage(msg, wParam, lParam);
      return 0;
    case WM_SETFOCUS:
      SetFocus(self->Inner());
      return 0;
    case WM_NCDESTROY:
      if (self->value_) self->value_->RemoveDependant(hwnd);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      delete self;
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- slider -----------------------------------------------------------------

ValueSlider* ValueSlider::Create(HWND dialog, int placeholderId, DoubleSetting* value,
                                 double minimum, double maximum, int tickFrequency, int) {
  auto* slider = new ValueSlider(minimum, maximum);
  if (!slider->CreateHost(dialog, placeholderId, "QuellorValueSlider")) {
    delete slider;  // the window never took it
    return nullptr;
  }
  RECT r;
  GetClientRect(slider->host_, &r);
  slider->trackbar_ = CreateWindowExA(
      0, TRACKBAR_CLASSA, "",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | (tickFrequency > 0 ? TBS_AUTOTICKS : 0), 0, 0, r.right,
      r.bottom, slider->host_, reinterpret_cast<HMENU>(intptr_t(kTrackbarId)), nullptr, nullptr);
  SendMessageA(slider->trackbar_, TBM_SETRANGE, TRUE,
               MAKELPARAM(WORD(SHORT(std::lround(slider->minimum_))),
                          WORD(SHORT(std::lround(slider->maximum_)))));
  SendMessageA(slider->trackbar_, TBM_SETTICFREQ, WPARAM(std::max(0, tickFrequency)), 0);
  slider->Bind(value);
  return slider;
}

void ValueSlider::ShowValue() {
  if (!value_ || !trackbar_) return;
  double v = std::clamp(value_->Get(), minimum_, maximum_);
  SendMessageA(trackbar_, TBM_SETPOS, TRUE, LPARAM(std::lround(v)));
}

void ValueSlider::HostMessage(UINT msg, WPARAM, LPARAM lParam) {
  if (msg != WM_HSCROLL || reinterpret_cast<HWND>(lParam) != trackbar_ || !value_) return;
  int pos = int(SendMessageA(trackbar_, TBM_GETPOS, 0, 0));
  value_->Set(std::clamp(double(pos), minimum_, maximum_));
}

// ---- numeric edit -------------------------------------------------------------

NumericEdit* NumericEdit::Create(HWND dialog, int placeholderId, DoubleSetting* value,
                                 double minimum, double maximum) {
  auto* field = new NumericEdit(minimum, maximum);
  if (!field->CreateHost(dialog, placeholderId, "QuellorNumericEdit")) {
    delete field;
    return nullptr;
  }
  RECT r;
  GetClientRect(field->host_, &r);
  field->edit_ =
      CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, r.right, r.bottom,
                      field->host_, reinterpret_cast<HMENU>(intptr_t(kEditId)), nullptr, nullptr);
  SendMessageA(field->edit_, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
  field->Bind(value);
  return field;
}

void NumericEdit::ShowValue() {
  if (!value_ || !edit_) return;
  std::string text = Format(value_->Get());
  char current[64] = "";
  GetWindowTextA(edit_, current, sizeof current);
  if (text != current) WriteText(text);
}

// Rewrites the field without taking the text back as a new value.
void NumericEdit::WriteText(const std::string& text) {
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

void NumericEdit::HostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_COMMAND || reinterpret_cast<HWND>(lParam) != edit_) return;
  if (HIWORD(wParam) == EN_CHANGE) TakeText();
  // Leaving the field shows the value it holds (an unfinished or out of range
  // entry is dropped).
  if (HIWORD(wParam) == EN_KILLFOCUS && value_) WriteText(Format(value_->Get()));
}

}  // namespace quellor::widgets
