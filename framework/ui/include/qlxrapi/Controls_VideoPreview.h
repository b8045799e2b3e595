// The interface of a control that shows live video. No control of the
// library implements it; plug-ins may.
#pragma once

#include <quellor/Export.h>

class QUELLOR_EXPORT Controls_VideoPreview {
 public:
  virtual ~Controls_VideoPreview() = default;

  virtual bool VideoPreview_Start() = 0;
  virtual void VideoPreview_Stop() = 0;
  virtual bool VideoPreview_IsRunning() = 0;
  virtual void VideoPreview_SetSource(char* name) = 0;
  virtual char* VideoPreview_GetSource() = 0;
};
