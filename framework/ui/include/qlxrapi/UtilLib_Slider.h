// UtilLib_Slider: a skinned slider over a Dynamic<float> value between a
// minimum and a maximum; the width is the thumb's share of the range. It is
// vertical when its window is at least as high as wide. Clicking beside the
// thumb pages (and repeats while held), dragging the thumb slides; the
// control key slows both to a fifth. Notices: "Slider::Clicked",
// "Slider::Slide", "Slider::PagedUp", "Slider::PagedDown", "Slider::Released"
// (and a button's, as it is pressed like one).
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/Controls_Canvas.h"
#include "qlxrapi/Controls_Slider.h"
#include "qlxrapi/UtilLib_Button.h"

class QUELLOR_EXPORT UtilLib_Slider : public UtilLib_Button,
                                      public Controls_Canvas,
                                      public Controls_Slider {
 public:
  // The paging auto-repeat's timer.
  static constexpr unsigned long kPageTimer = 100;
  // The state whose screen object is the track.
  static constexpr int kTrackState = 4;

  UtilLib_Slider();
  ~UtilLib_Slider() override;

  void Slider_SetVariable(Dynamic<float>* value) override;
  void Slider_SetMinVariable(Dynamic<float>* minimum) override;
  void Slider_SetMaxVariable(Dynamic<float>* maximum) override;
  Dynamic<float>* Slider_GetVariable() override { return m_value; }
  Dynamic<float>* Slider_GetMinVariable() override { return m_minimum; }
  Dynamic<float>* Slider_GetMaxVariable() override { return m_maximum; }
  void Slider_SetSliderWidth(Dynamic<float>* width) override;
  Dynamic<float>* Slider_GetSliderWidth() override { return m_width; }

  // The track's screen object.
  using Controls_Canvas::Canvas_GetResourceName;
  using Controls_Canvas::Canvas_SetResource;
  void Canvas_SetResource(ScreenObject* track) override;
  ScreenObject* Canvas_GetResource() override { return m_track; }

  // Kept within the minimum and maximum; announces "Changed".
  void SetValue(float value);

  bool IsVertical() const { return m_vertical; }
  bool IsDragging() const { return m_dragging; }
  // The thumb along the track: [start, end) in pixels.
  void GetThumb(long& start, long& end);
  // The range one page step moves.
  float GetPageSize();

  // Stretches along the track; across it, the thumbs' size.
  long LayoutHints_GetPreferedXSize() override;
  long LayoutHints_GetPreferedYSize() override;

  void DynamicCallback(long id, const char* name, void* args) override;

 protected:
  void InitialiseWindow() override;
  void WindowSized(long width, long height) override;
  void PaintWindow(HWND window, HDC dc) override;
  void OnTimer(unsigned long id) override;
  void MouseMoved(long keys, long x, long y) override;
  void MouseLButtonClick(long keys, long x, long y) override;
  void MouseLButtonRelease(long keys, long x, long y) override;
  void DestroyWindow() override;

  // States 0..3 fall back to the default thumbs of the slider's direction,
  // state 4 (the track) to the default track.
  ScreenObject* ResolveResource(int state) override;

 private:
  int DrawState() const;
  long TrackLength();
  long ThumbLength();
  long AcrossSize();
  void Rebind(Dynamic<float>*& slot, Dynamic<float>* value, Dynamic<float>* own);

  Dynamic<float> m_ownValue, m_ownMinimum, m_ownMaximum, m_ownWidth;
  Dynamic<float>* m_value;
  Dynamic<float>* m_minimum;
  Dynamic<float>* m_maximum;
  Dynamic<float>* m_width;
  bool m_vertical = false;
  ScreenObject* m_track = nullptr;
  long m_lastX = 0, m_lastY = 0;
  float m_step = 0;
  bool m_dragging = false;
};
