#include "Stretch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace quellor::win32 {
namespace {

// The weights of destination pixel i before they are laid out in pairs.
int FilterPixel(int i, int srcSize, double scale, std::vector<double>& w, std::vector<int>& q) {
  w.clear();
  int first;
  if (scale >= 1.0) {
    double a = i * scale, b = (i + 1) * scale;
    first = int(std::floor(a));
    int last = std::min(srcSize - 1, int(std::ceil(b)) - 1);
    for (int s = first; s <= last; ++s) w.push_back(std::min(b, s + 1.0) - std::max(a, double(s)));
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
  q.clear();
  int sum = 0;
  for (double v : w) {
    q.push_back(int(std::lround(v / total * (1 << kStretchWeightBits))));
    sum += q.back();
  }
  // Rounding must not change the brightness of flat areas.
  q[0] += (1 << kStretchWeightBits) - sum;
  return first;
}

// Fills `out` with `count` pixels of block row y from column x, black beyond
// `available` pixels.
void ReadPadded(const ReadStretchRow& read, int y, int x, int available, int count, uint32_t* out) {
  if (available > 0) read(y, x, available, out);
  std::fill(out + std::max(available, 0), out + count, 0u);
}

// Painting one background through many clips (a window and each of its
// children) stretches the same sizes again and again: each thread keeps its
// last few plans.
std::shared_ptr<const AxisFilter> RecentFilterAxis(int srcSize, int dstSize) {
  struct Entry {
    int src = 0, dst = 0;
    std::shared_ptr<const AxisFilter> axis;
  };
  thread_local std::array<Entry, 4> recent;
  thread_local size_t next = 0;
  for (const Entry& e : recent)
    if (e.axis && e.src == srcSize && e.dst == dstSize) return e.axis;
  Entry& e = recent[next];
  next = (next + 1) % recent.size();
  e = Entry{srcSize, dstSize, std::make_shared<const AxisFilter>(FilterAxis(srcSize, dstSize))};
  return e.axis;
}

void StretchNearest(const StretchJob& job, const ReadStretchRow& read,
                    const WriteStretchRow& write) {
  const std::vector<int> xs = NearestAxis(job.srcWidth, job.dstWidth);
  const std::vector<int> ys = NearestAxis(job.srcHeight, job.dstHeight);
  const int width = job.right - job.left;
  const int sx0 = xs[size_t(job.left)], sx1 = xs[size_t(job.right - 1)] + 1;
  std::vector<uint32_t> source(size_t(sx1 - sx0)), out(static_cast<size_t>(width));
  int current = -1;
  for (int y = job.top; y < job.bottom; ++y) {
    // Rows that sample the same source row repeat the last one.
    if (ys[size_t(y)] != current) {
      current = ys[size_t(y)];
      read(current, sx0, sx1 - sx0, source.data());
      for (int i = 0; i < width; ++i)
        out[size_t(i)] = source[size_t(xs[size_t(job.left + i)] - sx0)];
    }
    write(y, out.data());
  }
}

void StretchFiltered(const StretchJob& job, const ReadStretchRow& read,
                     const WriteStretchRow& write, const StretchRows& rows) {
  const auto planX = RecentFilterAxis(job.srcWidth, job.dstWidth);
  const auto planY = RecentFilterAxis(job.srcHeight, job.dstHeight);
  const AxisFilter &fx = *planX, &fy = *planY;
  const int width = job.right - job.left;
  // The source columns the painted columns read, and their positions within.
  int sx0 = fx.first[size_t(job.left)], sx1 = sx0;
  for (int i = job.left; i < job.right; ++i) {
    sx0 = std::min(sx0, fx.first[size_t(i)]);
    sx1 = std::max(sx1, fx.first[size_t(i)] + std::max(fx.taps, kStretchReadAhead));
  }
  std::vector<int> first(size_t(width) + 8);
  for (int i = 0; i < width; ++i) first[size_t(i)] = fx.first[size_t(job.left + i)] - sx0;
  const int available = std::min(sx1, job.srcWidth) - sx0;
  std::vector<uint32_t> source(size_t(sx1 - sx0));

  // Horizontally filtered source rows: row s lives in slot s % taps, so the
  // taps rows one destination row reads never evict each other.
  const int slots = fy.taps;
  std::vector<uint32_t> cache(static_cast<size_t>(slots) * static_cast<size_t>(width));
  std::vector<int> tags(static_cast<size_t>(slots), -1);
  const std::vector<uint32_t> black(static_cast<size_t>(width), 0u);
  std::vector<const uint32_t*> pointers(static_cast<size_t>(slots));
  std::vector<int16_t> weights(static_cast<size_t>(slots)), previous;
  std::vector<uint32_t> out(static_cast<size_t>(width));
  int previousFirst = -1;

  for (int y = job.top; y < job.bottom; ++y) {
    const int f = fy.first[size_t(y)];
    for (int p = 0; p < slots / 2; ++p) {
      weights[size_t(2 * p)] = fy.Pair(p, y)[0];
      weights[size_t(2 * p + 1)] = fy.Pair(p, y)[1];
    }
    // Rows with the same taps and weights as the last are the same row.
    if (f == previousFirst && weights == previous) {
      write(y, out.data());
      continue;
    }
    for (int k = 0; k < slots; ++k) {
      const int s = f + k;
      if (s >= job.srcHeight) {  // padding taps past the last row weigh 0
        pointers[size_t(k)] = black.data();
        continue;
      }
      uint32_t* row = cache.data() + size_t(s % slots) * size_t(width);
      if (tags[size_t(s % slots)] != s) {
        ReadPadded(read, s, sx0, available, sx1 - sx0, source.data());
        rows.filter(row, source.data(), first.data(), fx.Pair(0, job.left), fx.taps / 2, fx.size,
                    width);
        tags[size_t(s % slots)] = s;
      }
      pointers[size_t(k)] = row;
    }
    rows.blend(out.data(), pointers.data(), weights.data(), slots, width);
    previousFirst = f;
    previous = weights;
    write(y, out.data());
  }
}

}  // namespace

AxisFilter FilterAxis(int srcSize, int dstSize) {
  AxisFilter axis;
  axis.size = dstSize;
  axis.first.resize(size_t(dstSize));
  const double scale = double(srcSize) / double(dstSize);
  std::vector<double> w;
  std::vector<int> q;
  // The weights of all pixels back to back, then laid out in pairs once the
  // widest pixel is known.
  std::vector<int> flat, start(size_t(dstSize) + 1);
  for (int i = 0; i < dstSize; ++i) {
    axis.first[size_t(i)] = FilterPixel(i, srcSize, scale, w, q);
    start[size_t(i)] = int(flat.size());
    flat.insert(flat.end(), q.begin(), q.end());
    axis.taps = std::max(axis.taps, int(q.size()));
  }
  start[size_t(dstSize)] = int(flat.size());
  axis.taps += axis.taps & 1;
  axis.weights.assign(size_t(axis.taps) * size_t(dstSize), 0);
  for (int i = 0; i < dstSize; ++i) {
    for (int k = 0; k < start[size_t(i) + 1] - start[size_t(i)]; ++k)
      axis.weights[(size_t(k / 2) * size_t(dstSize) + size_t(i)) * 2 + size_t(k % 2)] =
          int16_t(flat[size_t(start[size_t(i)] + k)]);
  }
  return axis;
}

std::vector<int> NearestAxis(int srcSize, int dstSize) {
  std::vector<int> at(static_cast<size_t>(dstSize));
  for (int i = 0; i < dstSize; ++i)
    at[size_t(i)] = int(((int64_t(2) * i + 1) * srcSize) / (2 * int64_t(dstSize)));
  return at;
}

void Stretch(const StretchJob& job, const ReadStretchRow& read, const WriteStretchRow& write,
             const StretchRows& rows) {
  if (job.srcWidth <= 0 || job.srcHeight <= 0 || job.dstWidth <= 0 || job.dstHeight <= 0) return;
  if (job.left < 0 || job.top < 0 || job.right > job.dstWidth || job.bottom > job.dstHeight ||
      job.left >= job.right || job.top >= job.bottom)
    return;
  if (job.filter) {
    StretchFiltered(job, read, write, rows);
  } else {
    StretchNearest(job, read, write);
  }
}

}  // namespace quellor::win32
