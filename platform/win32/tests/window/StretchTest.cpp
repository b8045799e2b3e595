// StretchBlt's scaling: the planned, clipped, row-cached stretch (plain and
// processor-specific rows) against a whole-picture reference that filters
// every pixel the slow, obvious way, on odd sizes, both directions, mirrored,
// clipped and partly outside the source.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "Canvas.h"
#include "Stretch.h"

using quellor::testing::Canvas;
namespace w = quellor::win32;

namespace {

using Picture = std::vector<uint32_t>;

// The reference: per pixel tap lists in doubles rounded to 14 bits, a full
// horizontal pass over every source row, then the vertical pass.
struct RefTaps {
  int first;
  std::vector<int> weights;
};

std::vector<RefTaps> RefAxis(int src, int dst) {
  std::vector<RefTaps> out;
  double scale = double(src) / dst;
  for (int i = 0; i < dst; ++i) {
    std::vector<double> v;
    int first;
    if (scale >= 1.0) {
      double a = i * scale, b = (i + 1) * scale;
      first = int(std::floor(a));
      for (int s = first; s <= std::min(src - 1, int(std::ceil(b)) - 1); ++s)
        v.push_back(std::min(b, s + 1.0) - std::max(a, double(s)));
    } else {
      double c = std::clamp((i + 0.5) * scale - 0.5, 0.0, double(src - 1));
      first = int(std::floor(c));
      v.push_back(1.0 - (c - first));
      if (first + 1 < src) v.push_back(c - first);
    }
    double total = 0;
    for (double x : v) total += x;
    RefTaps t{first, {}};
    int sum = 0;
    for (double x : v) {
      t.weights.push_back(int(std::lround(x / total * 16384)));
      sum += t.weights.back();
    }
    t.weights[0] += 16384 - sum;
    out.push_back(t);
  }
  return out;
}

uint32_t RefWeighted(const std::vector<uint32_t>& px, const std::vector<int>& wt) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    int64_t acc = 0;
    for (size_t k = 0; k < wt.size(); ++k) acc += int64_t((px[k] >> shift) & 0xFF) * wt[k];
    out |= uint32_t(std::clamp<int64_t>((acc + 8192) >> 14, 0, 255)) << shift;
  }
  return out;
}

Picture RefScale(const Picture& src, int sw, int sh, int dw, int dh, bool filter) {
  Picture out(size_t(dw) * dh);
  if (!filter) {
    for (int y = 0; y < dh; ++y)
      for (int x = 0; x < dw; ++x)
        out[size_t(y) * dw + x] =
            src[size_t((2 * y + 1) * sh / (2 * dh)) * sw + (2 * x + 1) * sw / (2 * dw)];
    return out;
  }
  auto tx = RefAxis(sw, dw), ty = RefAxis(sh, dh);
  Picture wide(size_t(dw) * sh);
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < dw; ++x) {
      std::vector<uint32_t> px;
      for (size_t k = 0; k < tx[x].weights.size(); ++k)
        px.push_back(src[size_t(y) * sw + tx[x].first + k]);
      wide[size_t(y) * dw + x] = RefWeighted(px, tx[x].weights);
    }
  for (int y = 0; y < dh; ++y)
    for (int x = 0; x < dw; ++x) {
      std::vector<uint32_t> px;
      for (size_t k = 0; k < ty[y].weights.size(); ++k)
        px.push_back(wide[size_t(ty[y].first + k) * dw + x]);
      out[size_t(y) * dw + x] = RefWeighted(px, ty[y].weights);
    }
  return out;
}

Picture Noise(size_t n, unsigned seed) {
  std::mt19937 random(seed);
  Picture p(n);
  for (auto& v : p) v = random();
  return p;
}

// Runs the planned stretch over a window of the scaled picture and returns
// the window's pixels.
Picture Planned(const Picture& src, const w::StretchJob& job, const w::StretchRows& rows) {
  const int width = job.right - job.left;
  Picture out(size_t(width) * (job.bottom - job.top), 0xDEADBEEF);
  w::Stretch(
      job,
      [&](int y, int x, int count, uint32_t* o) {
        ASSERT_GE(x, 0);
        ASSERT_LE(x + count, job.srcWidth);
        std::copy_n(src.begin() + size_t(y) * job.srcWidth + x, count, o);
      },
      [&](int y, const uint32_t* px) {
        std::copy_n(px, width, out.begin() + size_t(y - job.top) * width);
      },
      rows);
  return out;
}

TEST(StretchTest, PlannedRowsMatchTheWholePictureReference) {
  struct Size {
    int sw, sh, dw, dh;
  } sizes[] = {{1, 1, 9, 5},      {2, 3, 17, 11}, {31, 7, 720, 13}, {17, 29, 5, 3},
               {720, 9, 13, 4},   {97, 61, 1, 1}, {5, 5, 5, 9},     {13, 3, 26, 6},
               {300, 40, 7, 200}, {8, 8, 16, 16}, {33, 17, 32, 18}};
  const bool haveFast = w::FastStretchRows().filter != w::PlainStretchRows().filter;
  unsigned seed = 1;
  for (const Size& s : sizes) {
    const Picture src = Noise(size_t(s.sw) * s.sh, seed++);
    for (bool filter : {true, false}) {
      const Picture whole = RefScale(src, s.sw, s.sh, s.dw, s.dh, filter);
      // The full picture, then an odd window of it.
      for (int part = 0; part < 2; ++part) {
        w::StretchJob job{s.sw, s.sh, s.dw, s.dh, filter, 0, 0, s.dw, s.dh};
        if (part == 1)
          job = {s.sw,   s.sh,     s.dw,     s.dh,
                 filter, s.dw / 3, s.dh / 2, std::max(s.dw / 3 + 1, s.dw - 1),
                 s.dh};
        Picture expected;
        for (int y = job.top; y < job.bottom; ++y)
          for (int x = job.left; x < job.right; ++x)
            expected.push_back(whole[size_t(y) * s.dw + x]);
        SCOPED_TRACE(testing::Message() << s.sw << "x" << s.sh << " -> " << s.dw << "x" << s.dh
                                        << (filter ? " halftone" : " nearest") << " part " << part);
        EXPECT_EQ(Planned(src, job, w::PlainStretchRows()), expected);
        if (haveFast) {
          EXPECT_EQ(Planned(src, job, w::FastStretchRows()), expected);
        }
      }
    }
  }
}

#if defined(__x86_64__) || defined(__i386__)
TEST(StretchTest, FastRowsMatchPlainRowsIncludingClampedSums) {
  if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "no AVX2";
  std::mt19937 random(7);
  // Weights well outside what a plan makes, negative and over one, so that
  // every channel overflows 8 bits both ways and must be clamped alike.
  for (int count : {1, 7, 8, 9, 31, 64}) {
    for (int pairs : {1, 2, 3}) {
      const int width = 4 + std::max(2 * pairs, w::kStretchReadAhead);
      Picture src = Noise(size_t(width), unsigned(count * 10 + pairs));
      std::vector<int> first(static_cast<size_t>(count));
      for (int& f : first) f = int(random() % 5);
      std::vector<int16_t> weights(size_t(pairs) * count * 2);
      for (auto& v : weights) v = int16_t(int(random() % 40000) - 20000);
      if (count % 2) {  // weights as a plan makes them: none negative, 1 << 14 in all
        for (int i = 0; i < count; ++i) {
          int left = 16384;
          for (int p = 0; p < pairs; ++p)
            for (int j = 0; j < 2; ++j) {
              const int v = (p == pairs - 1 && j == 1) ? left : int(random() % (left + 1));
              weights[(size_t(p) * count + i) * 2 + j] = int16_t(v);
              left -= v;
            }
        }
      }
      Picture plain(static_cast<size_t>(count)), fast(static_cast<size_t>(count));
      w::FilterRow_C(plain.data(), src.data(), first.data(), weights.data(), pairs, count, count);
      w::FilterRow_AVX2(fast.data(), src.data(), first.data(), weights.data(), pairs, count, count);
      EXPECT_EQ(plain, fast) << "filter " << count << " " << pairs;

      std::vector<Picture> rows;
      std::vector<const uint32_t*> pointers;
      for (int k = 0; k < 2 * pairs; ++k) rows.push_back(Noise(size_t(count), unsigned(k + 99)));
      for (auto& r : rows) pointers.push_back(r.data());
      std::vector<int16_t> vertical(size_t(2 * pairs));
      for (auto& v : vertical) v = int16_t(int(random() % 40000) - 20000);
      if (count % 2) {
        int left = 16384;
        for (size_t k = 0; k < vertical.size(); ++k) {
          vertical[k] = int16_t(k + 1 == vertical.size() ? left : int(random() % (left + 1)));
          left -= vertical[k];
        }
      }
      w::BlendRows_C(plain.data(), pointers.data(), vertical.data(), 2 * pairs, count);
      w::BlendRows_AVX2(fast.data(), pointers.data(), vertical.data(), 2 * pairs, count);
      EXPECT_EQ(plain, fast) << "blend " << count << " " << pairs;
    }
  }
}
#endif

// The reference for StretchBlt itself: scale the source block (black outside
// the bitmap), mirror, and write only where the clip allows.
void RefStretchBlt(Canvas& dst, const std::vector<RECT>& clip, int x, int y, int w, int h,
                   const Picture& srcBits, int srcW, int srcH, int sx, int sy, int sw, int sh,
                   bool filter, Picture& expected, int dstW) {
  bool mx = (w < 0) != (sw < 0), my = (h < 0) != (sh < 0);
  if (w < 0) x += w, w = -w;
  if (h < 0) y += h, h = -h;
  if (sw < 0) sx += sw, sw = -sw;
  if (sh < 0) sy += sh, sh = -sh;
  Picture block(size_t(sw) * sh, 0);
  for (int r = 0; r < sh; ++r)
    for (int c = 0; c < sw; ++c)
      if (sx + c >= 0 && sx + c < srcW && sy + r >= 0 && sy + r < srcH)
        block[size_t(r) * sw + c] = srcBits[size_t(sy + r) * srcW + sx + c];
  const Picture scaled = RefScale(block, sw, sh, w, h, filter);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) {
      const int px = x + c, py = y + r;
      bool inside = false;
      for (const RECT& k : clip)
        inside |= px >= k.left && px < k.right && py >= k.top && py < k.bottom;
      if (inside)
        expected[size_t(py) * dstW + px] =
            scaled[size_t(my ? h - 1 - r : r) * w + (mx ? w - 1 - c : c)];
    }
  (void)dst;
}

TEST(StretchTest, StretchBltMirroredClippedAndOutsideTheSource) {
  constexpr int kSrcW = 23, kSrcH = 19, kDstW = 61, kDstH = 47;
  Canvas src(kSrcW, kSrcH);
  const Picture bits = Noise(size_t(kSrcW) * kSrcH, 42);
  std::copy(bits.begin(), bits.end(), src.bits());
  struct Call {
    int x, y, w, h, sx, sy, sw, sh;
  } calls[] = {
      {3, 2, 50, 40, 0, 0, kSrcW, kSrcH},              // enlarge
      {55, 40, -50, -37, 1, 2, 20, 15},                // mirrored destination
      {2, 3, 11, 7, kSrcW, kSrcH, -kSrcW, -kSrcH},     // mirrored source, shrink
      {-5, -4, 70, 55, -3, -2, kSrcW + 6, kSrcH + 5},  // beyond both edges
      {10, 10, 9, 31, 4, 0, 13, 19},                   // shrink one way, enlarge the other
  };
  // A clip with holes, like a parent window painting around its children.
  std::vector<RECT> clip = {
      {0, 0, kDstW, 10}, {0, 10, 20, 30}, {33, 10, kDstW, 30}, {0, 30, kDstW, kDstH}};
  for (int mode : {HALFTONE, COLORONCOLOR}) {
    for (const Call& c : calls) {
      Canvas dst(kDstW, kDstH);
      dst.Fill(0x11223344);
      HRGN region = CreateRectRgn(0, 0, 0, 0);
      for (const RECT& r : clip) {
        HRGN part = CreateRectRgnIndirect(&r);
        CombineRgn(region, region, part, RGN_OR);
        DeleteObject(part);
      }
      SelectClipRgn(dst.dc(), region);
      DeleteObject(region);
      SetStretchBltMode(dst.dc(), mode);
      ASSERT_TRUE(
          StretchBlt(dst.dc(), c.x, c.y, c.w, c.h, src.dc(), c.sx, c.sy, c.sw, c.sh, SRCCOPY));
      Picture expected(size_t(kDstW) * kDstH, 0x11223344);
      RefStretchBlt(dst, clip, c.x, c.y, c.w, c.h, bits, kSrcW, kSrcH, c.sx, c.sy, c.sw, c.sh,
                    mode == HALFTONE, expected, kDstW);
      Picture actual(dst.bits(), dst.bits() + expected.size());
      int wrong = 0;
      for (size_t i = 0; i < expected.size(); ++i) wrong += expected[i] != actual[i];
      EXPECT_EQ(wrong, 0) << "mode " << mode << " call at " << c.x << "," << c.y << " " << c.w
                          << "x" << c.h;
    }
  }
}

TEST(StretchTest, StretchWithinOneSurfaceReadsTheSourceBeforePainting) {
  // Enlarging the top-left block over itself: painted rows are rows the
  // stretch still has to read.
  Canvas c(24, 24);
  const Picture bits = Noise(24 * 24, 5);
  std::copy(bits.begin(), bits.end(), c.bits());
  SetStretchBltMode(c.dc(), HALFTONE);
  ASSERT_TRUE(StretchBlt(c.dc(), 0, 0, 24, 24, c.dc(), 0, 0, 9, 7, SRCCOPY));
  Picture expected = bits;
  RefStretchBlt(c, {{0, 0, 24, 24}}, 0, 0, 24, 24, bits, 24, 24, 0, 0, 9, 7, true, expected, 24);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), c.bits()));
}

}  // namespace
