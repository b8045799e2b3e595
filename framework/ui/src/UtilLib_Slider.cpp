#include "qlxrapi/UtilLib_Slider.h"

#include <algorithm>
#include <cmath>

#include "ControlSupport.h"
#include "qlxrapi/ControlWindowClasses.h"
#include "qlxrapi/DefaultResources.h"

using quellor::win::DeletedTalker;
using quellor::win::IsDeleteNotice;
using quellor::win::IsWindowNotice;

QLXRAPI_CONTROL_CLASS(UtilLib_Slider);

namespace {

// The library's slider looks, by bitmap number.
constexpr unsigned short kHorizontalThumbs[4] = {108, 111, 110, 109};
constexpr unsigned short kVerticalThumbs[4] = {115, 112, 114, 113};
constexpr unsigned short kHorizontalTrack = 116, kVerticalTrack = 117;

// The control key slows paging and sliding to a fifth.
float Fineness(long keys) {
  return (keys & MK_CONTROL) != 0 ? 0.2f : 1.0f;
}
}  // namespace

UtilLib_Slider::UtilLib_Slider()
    : m_value(&m_ownValue),
      m_minimum(&m_ownMinimum),
      m_maximum(&m_ownMaximum),
      m_width(&m_ownWidth) {
  m_ownMaximum.Set(1.0f);
  m_ownWidth.Set(0.05f);
  for (Dynamic<float>* value : {m_value, m_minimum, m_maximum, m_width})
    value->AddDependant(this, 0);
}

UtilLib_Slider::~UtilLib_Slider() {
  RemoveAllDependantsToThis();
}

void UtilLib_Slider::Rebind(Dynamic<float>*& slot, Dynamic<float>* value, Dynamic<float>* own) {
  if (value == nullptr) value = own;
  if (value == slot) return;
  // One value may fill several slots: listen while any slot holds it.
  Dynamic<float>* old = slot;
  slot = value;
  if (old != m_value && old != m_minimum && old != m_maximum && old != m_width)
    old->DeleteDependant(this);
  value->DeleteDependant(this);
  value->AddDependant(this, 0);
  if (GetWindowHandle() != nullptr) RePaint();
}

void UtilLib_Slider::Slider_SetVariable(Dynamic<float>* value) {
  Rebind(m_value, value, &m_ownValue);
}
void UtilLib_Slider::Slider_SetMinVariable(Dynamic<float>* minimum) {
  Rebind(m_minimum, minimum, &m_ownMinimum);
}
void UtilLib_Slider::Slider_SetMaxVariable(Dynamic<float>* maximum) {
  Rebind(m_maximum, maximum, &m_ownMaximum);
}
void UtilLib_Slider::Slider_SetSliderWidth(Dynamic<float>* width) {
  Rebind(m_width, width, &m_ownWidth);
}

void UtilLib_Slider::Canvas_SetResource(ScreenObject* track) {
  if (track == m_track) return;
  if (m_track != nullptr && m_track != Button_GetResource(0) && m_track != Button_GetResource(1) &&
      m_track != Button_GetResource(2) && m_track != Button_GetResource(3))
    m_track->DeleteDependant(this);
  m_track = track;
  if (m_track != nullptr) {
    m_track->DeleteDependant(this);
    m_track->AddDependant(this, 0);
  }
  if (GetWindowHandle() != nullptr) RePaint();
}

void UtilLib_Slider::SetValue(float value) {
  const float minimum = m_minimum->Get(), maximum = m_maximum->Get();
  if (value < minimum) value = minimum;
  if (!(value <= maximum)) value = maximum;
  m_value->Set(value);
}

int UtilLib_Slider::DrawState() const {
  return (GetRolloverLook() ? 2 : 0) + (m_dragging ? 1 : 0);
}

ScreenObject* UtilLib_Slider::ResolveResource(int state) {
  if (state == kTrackState) {
    if (m_track != nullptr) return m_track;
    return quellor::win::DefaultSliderPicture(m_vertical ? kVerticalTrack : kHorizontalTrack);
  }
  if (ScreenObject* own = StateResource(state)) return own;
  if (state < 0 || state >= kStates) return nullptr;
  return quellor::win::DefaultSliderPicture(m_vertical ? kVerticalThumbs[state]
                                                       : kHorizontalThumbs[state]);
}

long UtilLib_Slider::TrackLength() {
  return m_vertical ? GetWindowHeight() : GetWindowWidth();
}

long UtilLib_Slider::ThumbLength() {
  ScreenObject* thumb = ResolveResource(DrawState());
  long length = -1;
  if (thumb != nullptr)
    length = m_vertical ? thumb->ScreenObject_GetPreferedYSize()
                        : thumb->ScreenObject_GetPreferedXSize();
  if (length != -1) return length;
  const float range = m_maximum->Get() - m_minimum->Get();
  // An empty range: the thumb covers the whole track.
  if (!(range > 0)) return TrackLength();
  const double share = double(m_width->Get()) * double(TrackLength()) / double(range) + 0.5;
  return std::isfinite(share) ? static_cast<long>(share) : TrackLength();
}

void UtilLib_Slider::GetThumb(long& start, long& end) {
  const long length = TrackLength();
  const long thumb = ThumbLength();
  const float range = m_maximum->Get() - m_minimum->Get();
  double position = 0;
  if (range > 0) position = double(length - thumb) / range * (m_value->Get() - m_minimum->Get());
  start = std::isfinite(position) ? static_cast<long>(position) : 0;
  end = static_cast<long>(thumb + start + 0.5);
}

float UtilLib_Slider::GetPageSize() {
  long start = 0, end = 0;
  GetThumb(start, end);
  const long thumb = end - start;
  const long free = TrackLength() - thumb;
  const float range = m_maximum->Get() - m_minimum->Get();
  // A thumb that fills the track pages over the whole range.
  if (free <= 0) return range;
  return float(thumb) / float(free) * range;
}

long UtilLib_Slider::AcrossSize() {
  long size = -1;
  for (int state = 0; state < kStates; ++state)
    if (ScreenObject* thumb = ResolveResource(state))
      size = std::max(size, m_vertical ? thumb->ScreenObject_GetPreferedXSize()
                                       : thumb->ScreenObject_GetPreferedYSize());
  return size;
}

long UtilLib_Slider::LayoutHints_GetPreferedXSize() {
  return m_vertical ? AcrossSize() : -1;
}

long UtilLib_Slider::LayoutHints_GetPreferedYSize() {
  return m_vertical ? -1 : AcrossSize();
}

void UtilLib_Slider::DynamicCallback(long id, const char* name, void* args) {
  if (IsDeleteNotice(name)) {
    DynamicTalker* gone = DeletedTalker(args);
    bool rebound = false;
    Dynamic<float>** slots[] = {&m_value, &m_minimum, &m_maximum, &m_width};
    Dynamic<float>* owns[] = {&m_ownValue, &m_ownMinimum, &m_ownMaximum, &m_ownWidth};
    for (int i = 0; i < 4; ++i) {
      if (*slots[i] != gone || *slots[i] == owns[i]) continue;
      *slots[i] = owns[i];
      owns[i]->AddDependant(this, 0);
      rebound = true;
    }
    if (m_track != nullptr && static_cast<DynamicTalker*>(m_track) == gone) m_track = nullptr;
    if (!rebound) UtilLib_Button::DynamicCallback(id, name, args);
    return;
  }
  if (IsWindowNotice(name)) return;
  // Values move the thumb; the slider keeps the size it was given.
  if (GetWindowHandle() != nullptr) RePaint();
}

void UtilLib_Slider::InitialiseWindow() {
  m_vertical = GetWindowHeight() >= GetWindowWidth();
}

void UtilLib_Slider::WindowSized(long width, long height) {
  m_vertical = height >= width;
}

void UtilLib_Slider::PaintWindow(HWND window, HDC dc) {
  if (ScreenObject* track = ResolveResource(kTrackState)) track->ScreenObject_DrawItem(window, dc);
  long start = 0, end = 0;
  GetThumb(start, end);
  RECT thumb{0, 0, static_cast<LONG>(GetWindowWidth()), static_cast<LONG>(GetWindowHeight())};
  if (m_vertical) {
    thumb.top = static_cast<LONG>(start);
    thumb.bottom = static_cast<LONG>(end);
  } else {
    thumb.left = static_cast<LONG>(start);
    thumb.right = static_cast<LONG>(end);
  }
  if (ScreenObject* object = ResolveResource(DrawState()))
    object->ScreenObject_DrawItem(&thumb, dc);
}

void UtilLib_Slider::MouseLButtonClick(long keys, long x, long y) {
  UtilLib_Button::MouseLButtonClick(keys, x, y);
  ExclusiveInput(true);
  m_lastX = x;
  m_lastY = y;
  m_dragging = true;
  RePaint();
  long start = 0, end = 0;
  GetThumb(start, end);
  const long along = m_vertical ? y : x;
  const float page = GetPageSize() * Fineness(keys);
  if (along < start) {
    m_step = -page;
    SetValue(m_value->Get() + m_step);
    Changed("Slider::PagedDown");
  } else if (along >= end) {
    m_step = page;
    SetValue(m_value->Get() + m_step);
    Changed("Slider::PagedUp");
  } else {
    Changed("Slider::Clicked");
    return;
  }
  StartTimer(kPageTimer, 1000);
}

void UtilLib_Slider::OnTimer(unsigned long id) {
  if (id != kPageTimer) return;
  if (!m_dragging) {
    StopTimer(kPageTimer);
    return;
  }
  SetValue(m_value->Get() + m_step);
  Changed(m_step < 0 ? "Slider::PagedDown" : "Slider::PagedUp");
  StartTimer(kPageTimer, 250);
}

void UtilLib_Slider::MouseMoved(long keys, long x, long y) {
  if ((keys & MK_CONTROL) == 0) {
    x = std::clamp(x, 0L, std::max(0L, GetWindowWidth() - 1));
    y = std::clamp(y, 0L, std::max(0L, GetWindowHeight() - 1));
  }
  UtilLib_Button::MouseMoved(keys, x, y);
  if (!m_dragging) return;
  const long free = TrackLength() - (ThumbLength());
  const long moved = m_vertical ? y - m_lastY : x - m_lastX;
  m_lastX = x;
  m_lastY = y;
  if (free > 0) {
    const float range = m_maximum->Get() - m_minimum->Get();
    SetValue(m_value->Get() + range / float(free) * float(moved) * Fineness(keys));
  }
  Changed("Slider::Slide");
}

void UtilLib_Slider::MouseLButtonRelease(long keys, long x, long y) {
  UtilLib_Button::MouseLButtonRelease(keys, x, y);
  if (!m_dragging) return;
  StopTimer(kPageTimer);
  ExclusiveInput(false);
  m_dragging = false;
  RePaint();
  SetRolloverLook(IsMouseOver());
  Changed("Slider::Released");
}

void UtilLib_Slider::DestroyWindow() {
  m_dragging = false;
  UtilLib_Button::DestroyWindow();
}
