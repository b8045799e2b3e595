#include "Stretch.h"

#include <algorithm>
#include <cmath>

namespace quellor::win32 {
namespace {

constexpr int kWeightBits = 14;  // weights of one output pixel sum to 1 << 14

struct Taps {
  int first = 0;
  std::vector<int> weights;
};

std::vector<Taps> AxisTaps(int srcSize, int dstSize) {
  std::vector<Taps> taps(static_cast<size_t>(dstSize));
  double scale = double(srcSize) / double(dstSize);
  for (int i = 0; i < dstSize; ++i) {
    std::vector<double> w;
    int first;
    if (scale >= 1.0) {
      double a = i * scale, b = (i + 1) * scale;
      first = int(std::floor(a));
      int last = std::min(srcSize - 1, int(std::ceil(b)) - 1);
      for (int s = first; s <= last; ++s)
        w.push_back(std::min(b, s + 1.0) - std::max(a, double(s)));
    } else {
      double c = (i + 0.5) * scale - 0.5;
      c = std::clamp(c, 0.0, double(srcSize - 1));
      first = int(std::floor(c));
      double f = c - first;
      w.push_back(1.0 - f);
      if (first + 1 < srcSize) w.push_back(f);
    }
    double total = 0;
    for (double v : w) total += v;
    Taps& t = taps[size_t(i)];
    t.first = first;
    int sum = 0;
    for (double v : w) {
      int q = int(std::lround(v / total * (1 << kWeightBits)));
      t.weights.push_back(q);
      sum += q;
    }
    // Rounding must not change the brightness of flat areas.
    t.weights[0] += (1 << kWeightBits) - sum;
  }
  return taps;
}

uint32_t Weighted(const uint32_t* const* pixels, const std::vector<int>& weights) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    int64_t acc = 0;
    for (size_t k = 0; k < weights.size(); ++k) {
      acc += int64_t((*pixels[k] >> shift) & 0xFF) * weights[k];
    }
    int64_t v = (acc + (1 << (kWeightBits - 1))) >> kWeightBits;
    out |= uint32_t(std::clamp<int64_t>(v, 0, 255)) << shift;
  }
  return out;
}

}  // namespace

std::vector<uint32_t> ScaleNearest(const uint32_t* src, int sw, int sh, int dw, int dh) {
  std::vector<uint32_t> out(size_t(dw) * size_t(dh));
  std::vector<int> xs(static_cast<size_t>(dw));
  for (int x = 0; x < dw; ++x) xs[size_t(x)] = int((int64_t(2 * x + 1) * sw) / (2 * int64_t(dw)));
  for (int y = 0; y < dh; ++y) {
    int syy = int((int64_t(2 * y + 1) * sh) / (2 * int64_t(dh)));
    const uint32_t* row = src + size_t(syy) * sw;
    uint32_t* o = out.data() + size_t(y) * dw;
    for (int x = 0; x < dw; ++x) o[x] = row[xs[size_t(x)]];
  }
  return out;
}

std::vector<uint32_t> ScaleFiltered(const uint32_t* src, int sw, int sh, int dw, int dh) {
  std::vector<Taps> tx = AxisTaps(sw, dw), ty = AxisTaps(sh, dh);
  // Horizontal pass over every source row, then vertical.
  std::vector<uint32_t> wide(size_t(dw) * size_t(sh));
  std::vector<const uint32_t*> ptrs;
  for (int y = 0; y < sh; ++y) {
    const uint32_t* row = src + size_t(y) * sw;
    for (int x = 0; x < dw; ++x) {
      const Taps& t = tx[size_t(x)];
      ptrs.resize(t.weights.size());
      for (size_t k = 0; k < ptrs.size(); ++k) ptrs[k] = row + t.first + int(k);
      wide[size_t(y) * dw + x] = Weighted(ptrs.data(), t.weights);
    }
  }
  std::vector<uint32_t> out(size_t(dw) * size_t(dh));
  for (int y = 0; y < dh; ++y) {
    const Taps& t = ty[size_t(y)];
    ptrs.resize(t.weights.size());
    for (int x = 0; x < dw; ++x) {
      for (size_t k = 0; k < ptrs.size(); ++k) ptrs[k] = &wide[size_t(t.first + int(k)) * dw + x];
      out[size_t(y) * dw + x] = Weighted(ptrs.data(), t.weights);
    }
  }
  return out;
}

}  // namespace quellor::win32
