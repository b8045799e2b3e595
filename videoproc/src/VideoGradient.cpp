#include "videoproc/VideoGradient.h"

#include <algorithm>
#include <optional>

#include "ExactDivision.h"
#include "VideoItems.h"
#include "VideoRows.h"

namespace {

constexpr std::int64_t kOne = 65536;  // 1.0 in 16.16

bool AllEqual(const std::uint8_t (&values)[4]) {
  return values[0] == values[1] && values[0] == values[2] && values[0] == values[3];
}

// (bottom - top) x 65536 / h, truncated toward zero.
std::int32_t LineStep(int top, int bottom, std::uint32_t lines) {
  return static_cast<std::int32_t>((bottom - top) * kOne / std::int64_t{lines});
}

// (right - left) x 2 / w on 16.16 values, truncated toward zero. Three per
// line: by the width's multiplier when both operands fit 32 bits, as they
// do for any picture the board carries (a division costs a good part of a
// short line).
std::int32_t PairStep(std::int32_t left, std::int32_t right, std::uint32_t width,
                      const quellor::videoproc::ExactDivisor* divisor) {
  const std::int64_t span = (std::int64_t{right} - left) * 2;
  if (divisor != nullptr && span >= -0x7FFFFFFF && span <= 0x7FFFFFFF) {
    return divisor->Divide(static_cast<std::int32_t>(span));
  }
  return static_cast<std::int32_t>(span / std::int64_t{width});
}

}  // namespace

const char* VideoGradient::DataStream_StreamsIn(unsigned long) {
  return nullptr;
}

const char* VideoGradient::DataStream_StreamsOut() {
  return "Output";
}

DataStream_Processor* VideoGradient::GetConnection_In(unsigned long) {
  return nullptr;
}

bool VideoGradient::SetConnection_In(DataStream_Processor*, unsigned long) {
  return false;
}

double VideoGradient::GetPreferredLength() {
  return -1.0;
}

void VideoGradient::SetCorner(VideoGradientCorner corner, std::uint8_t y, std::uint8_t u,
                              std::uint8_t v) {
  if (corner < 0 || corner > 3) return;
  FunctionBlock hold(m_cornerLock);
  m_corners.y[corner] = y;
  m_corners.u[corner] = u;
  m_corners.v[corner] = v;
}

void VideoGradient::GetCorner(VideoGradientCorner corner, std::uint8_t* y, std::uint8_t* u,
                              std::uint8_t* v) {
  const bool known = corner >= 0 && corner <= 3;
  FunctionBlock hold(m_cornerLock);
  if (y) *y = known ? m_corners.y[corner] : 0;
  if (u) *u = known ? m_corners.u[corner] : 0;
  if (v) *v = known ? m_corners.v[corner] : 0;
}

void VideoGradient::SetFlatColour(std::uint8_t y, std::uint8_t u, std::uint8_t v) {
  FunctionBlock hold(m_cornerLock);
  for (int i = 0; i < 4; ++i) {
    m_corners.y[i] = y;
    m_corners.u[i] = u;
    m_corners.v[i] = v;
  }
}

bool VideoGradient::Render(DataStream* stream, DataStream_Processor*, bool*) {
  if (stream == nullptr) return true;
  Corners corners;
  {
    FunctionBlock hold(m_cornerLock);
    corners = m_corners;
  }
  for (unsigned long i = 0; DataStream_Data* item = stream->GetStream(kVideoStreamName, i); ++i) {
    quellor::videoproc::VideoItemView view;
    if (!quellor::videoproc::ViewVideoItem(item, view)) continue;
    ApplyGradient(corners, view.header, view.words, static_cast<std::uint32_t>(view.wordCount * 4));
  }
  return true;
}

bool VideoGradient::ApplyGradient(const Corners& c, VideoStream_Header* header, std::uint32_t* data,
                                  std::uint32_t dataBytes) {
  const std::uint32_t w = header->width;
  const std::uint32_t h = header->height;
  if (w == 0 || h == 0 || data == nullptr) return true;
  const auto& rows = quellor::videoproc::VideoRows();
  const std::size_t lineBytes = std::size_t{w} * 2;
  const std::uint32_t lines =
      static_cast<std::uint32_t>(std::min<std::size_t>(h, dataBytes / lineBytes));

  if (AllEqual(c.y) && AllEqual(c.u) && AllEqual(c.v)) {
    const std::size_t words = std::min<std::size_t>(std::size_t{w} * h / 2, dataBytes / 4);
    rows.fillWords(data, VideoUYVY_Word(c.u[0], c.y[0], c.v[0], c.y[0]), words);
    return true;
  }

  // Edges in 16.16: the left from the top-left corner, the right from the
  // top-right; each adds its per-line step after every line, so the edges
  // reach the bottom corners one line below the field.
  std::int32_t leftY = c.y[0] * kOne, leftU = c.u[0] * kOne, leftV = c.v[0] * kOne;
  std::int32_t rightY = c.y[1] * kOne, rightU = c.u[1] * kOne, rightV = c.v[1] * kOne;
  const std::int32_t leftYStep = LineStep(c.y[0], c.y[2], h),
                     leftUStep = LineStep(c.u[0], c.u[2], h),
                     leftVStep = LineStep(c.v[0], c.v[2], h);
  const std::int32_t rightYStep = LineStep(c.y[1], c.y[3], h),
                     rightUStep = LineStep(c.u[1], c.u[3], h),
                     rightVStep = LineStep(c.v[1], c.v[3], h);
  std::optional<quellor::videoproc::ExactDivisor> widthDivisor;
  if (w <= 0x7FFFFFFFu) widthDivisor.emplace(w);
  const quellor::videoproc::ExactDivisor* divisor = widthDivisor ? &*widthDivisor : nullptr;
  auto* line = reinterpret_cast<std::uint8_t*>(data);
  for (std::uint32_t l = 0; l < lines; ++l, line += lineBytes) {
    const quellor::videoproc::GradientLine pairs{leftY,
                                                 leftU,
                                                 leftV,
                                                 PairStep(leftY, rightY, w, divisor),
                                                 PairStep(leftU, rightU, w, divisor),
                                                 PairStep(leftV, rightV, w, divisor)};
    rows.gradient(reinterpret_cast<std::uint32_t*>(line), pairs, w / 2);
    leftY += leftYStep, leftU += leftUStep, leftV += leftVStep;
    rightY += rightYStep, rightU += rightUStep, rightV += rightVStep;
  }
  return true;
}
