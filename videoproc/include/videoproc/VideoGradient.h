// VideoGradient: a source that fills every field with a four-corner gradient
// in Y, U and V, interpolated bilinearly in 16.16 fixed point, or with one
// flat colour when all four corners agree. No inputs, endless.
#pragma once

#include <quellor/Export.h>

#include <qlxrapi/VariableBlock.h>

#include <cstdint>

#include "DataStream_Processor.h"
#include "VideoStream_Header.h"

enum VideoGradientCorner : int {
  VideoGradient_TopLeft = 0,
  VideoGradient_TopRight = 1,
  VideoGradient_BottomLeft = 2,
  VideoGradient_BottomRight = 3,
};

class QUELLOR_EXPORT VideoGradient : public DataStream_Processor {
 public:
  // Y 0, 240, 240, 0 at top left, top right, bottom left, bottom right; U and
  // V 128 everywhere.
  VideoGradient() = default;

  const char* DataStream_StreamsIn(unsigned long index) override;  // null
  const char* DataStream_StreamsOut() override;                    // "Output"
  DataStream_Processor* GetConnection_In(unsigned long index) override;
  bool SetConnection_In(DataStream_Processor* node, unsigned long index) override;  // false
  // Fills each "Video" item; true, also when the stream has none.
  bool Render(DataStream* stream, DataStream_Processor* caller, bool* abort) override;
  double GetPreferredLength() override;  // -1.0: endless

  // The corner values, for hosts (the node itself never changes them). A
  // corner outside 0..3 is ignored (Get answers zeros).
  void SetCorner(VideoGradientCorner corner, std::uint8_t y, std::uint8_t u, std::uint8_t v);
  void GetCorner(VideoGradientCorner corner, std::uint8_t* y, std::uint8_t* u, std::uint8_t* v);
  // All four corners one colour: the flat case.
  void SetFlatColour(std::uint8_t y, std::uint8_t u, std::uint8_t v);

 private:
  struct Corners {
    std::uint8_t y[4], u[4], v[4];  // top left, top right, bottom left, bottom right
  };
  // Writes nothing when the header's width or height is 0 (the steps would
  // divide by zero). Always true.
  static bool ApplyGradient(const Corners& corners, VideoStream_Header* header, std::uint32_t* data,
                            std::uint32_t dataBytes);

  // Field order is the node's documented layout.
  Corners m_corners{{0, 240, 240, 0}, {128, 128, 128, 128}, {128, 128, 128, 128}};
  Variable_Block m_cornerLock;  // a host may change corners while fields render
};
