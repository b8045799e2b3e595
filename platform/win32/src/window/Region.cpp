#include "Region.h"

#include <algorithm>

namespace quellor::win32 {
namespace {

struct Span {
  LONG left;
  LONG right;
};

bool Keep(Region::Op op, bool inA, bool inB) {
  switch (op) {
    case Region::Op::And:
      return inA && inB;
    case Region::Op::Or:
      return inA || inB;
    case Region::Op::Xor:
      return inA != inB;
    case Region::Op::Diff:
      return inA && !inB;
  }
  return false;
}

// Walks the bands of one region from top to bottom.
class BandCursor {
 public:
  explicit BandCursor(const std::vector<RECT>& rects) : rects_(rects) {}
  // The spans of the band that covers [y0, y1), empty when none does. Calls
  // must come with increasing y0.
  void SpansAt(LONG y0, std::vector<Span>& out) {
    out.clear();
    while (index_ < rects_.size() && rects_[index_].bottom <= y0) ++index_;
    for (size_t i = index_; i < rects_.size() && rects_[i].top <= y0; ++i) {
      out.push_back(Span{rects_[i].left, rects_[i].right});
    }
  }

 private:
  const std::vector<RECT>& rects_;
  size_t index_ = 0;
};

void CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, Region::Op op,
                  std::vector<Span>& out) {
  out.clear();
  size_t ia = 0, ib = 0;
  bool inA = false, inB = false;
  LONG start = 0;
  bool open = false;
  // Sweep the sorted edges of both span lists.
  while (ia < a.size() * 2 || ib < b.size() * 2) {
    LONG ea = ia < a.size() * 2 ? (ia % 2 ? a[ia / 2].right : a[ia / 2].left) : LONG(0x7fffffff);
    LONG eb = ib < b.size() * 2 ? (ib % 2 ? b[ib / 2].right : b[ib / 2].left) : LONG(0x7fffffff);
    LONG x = std::min(ea, eb);
    if (ea == x) {
      inA = !inA;
      ++ia;
    }
    if (eb == x) {
      inB = !inB;
      ++ib;
    }
    bool keep = Keep(op, inA, inB);
    if (keep && !open) {
      start = x;
      open = true;
    } else if (!keep && open) {
      if (x > start) {
        if (!out.empty() && out.back().right == start) {
          out.back().right = x;
        } else {
          out.push_back(Span{start, x});
        }
      }
      open = false;
    }
  }
}

// Appends bands top to bottom to a region's rectangles, merging a band into
// the one above when they touch and have the same spans, so the result keeps
// the one form every region has.
class BandWriter {
 public:
  explicit BandWriter(std::vector<RECT>& out) : out_(out) {}
  void Add(LONG top, LONG bottom, const std::vector<Span>& spans) {
    if (spans.empty() || top >= bottom) return;
    if (open_ && previousBottom_ == top && out_.size() - previousStart_ == spans.size() &&
        SameSpans(spans)) {
      for (size_t k = previousStart_; k < out_.size(); ++k) out_[k].bottom = bottom;
      previousBottom_ = bottom;
      return;
    }
    previousStart_ = out_.size();
    for (const Span& s : spans) out_.push_back(RECT{s.left, top, s.right, bottom});
    previousBottom_ = bottom;
    open_ = true;
  }

 private:
  bool SameSpans(const std::vector<Span>& spans) const {
    for (size_t k = 0; k < spans.size(); ++k) {
      const RECT& r = out_[previousStart_ + k];
      if (r.left != spans[k].left || r.right != spans[k].right) return false;
    }
    return true;
  }
  std::vector<RECT>& out_;
  size_t previousStart_ = 0;
  LONG previousBottom_ = 0;
  bool open_ = false;
};

// One past the last rectangle of the band that starts at rects[first].
size_t BandEnd(const std::vector<RECT>& rects, size_t first) {
  size_t end = first;
  while (end < rects.size() && rects[end].top == rects[first].top) ++end;
  return end;
}

void BandSpans(const std::vector<RECT>& rects, size_t first, size_t end, std::vector<Span>& out) {
  out.clear();
  for (size_t k = first; k < end; ++k) out.push_back(Span{rects[k].left, rects[k].right});
}

bool Covers(const RECT& outer, const RECT& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

}  // namespace

Region::Region(const RECT& rect) {
  RECT r = Normalised(rect);
  if (!win32::IsEmpty(r)) rects_.push_back(r);
}

Region Region::FromRects(const std::vector<RECT>& rects) {
  if (rects.empty()) return Region();
  if (rects.size() == 1) return Region(rects[0]);
  // Divide and conquer keeps the union of many rectangles near n log n.
  std::vector<Region> level;
  level.reserve(rects.size());
  for (const RECT& r : rects) level.emplace_back(r);
  while (level.size() > 1) {
    std::vector<Region> next;
    next.reserve(level.size() / 2 + 1);
    for (size_t i = 0; i + 1 < level.size(); i += 2) {
      next.push_back(Combine(level[i], level[i + 1], Op::Or));
    }
    if (level.size() % 2) next.push_back(std::move(level.back()));
    level = std::move(next);
  }
  return std::move(level[0]);
}

Region Region::Combine(const Region& a, const Region& b, Op op) {
  if (a.IsEmpty() || b.IsEmpty()) {
    if (op == Op::And) return Region();
    if (op == Op::Diff) return a;
    return a.IsEmpty() ? b : a;
  }
  const RECT boundsA = a.Bounds(), boundsB = b.Bounds();
  const bool apart = win32::IsEmpty(Intersect(boundsA, boundsB));
  switch (op) {
    case Op::And:
      if (apart) return Region();
      if (b.IsRectangle()) return ClippedTo(a, b.rects_[0]);
      if (a.IsRectangle()) return ClippedTo(b, a.rects_[0]);
      break;
    case Op::Diff:
      if (apart) return a;
      if (b.IsRectangle()) return WithoutRect(a, b.rects_[0]);
      break;
    case Op::Or:
      if (a.IsRectangle() && Covers(a.rects_[0], boundsB)) return a;
      if (b.IsRectangle() && Covers(b.rects_[0], boundsA)) return b;
      break;
    case Op::Xor:
      break;
  }
  return CombineBySweep(a, b, op);
}

Region Region::Intersected(const RECT& rect) const {
  const RECT r = Normalised(rect);
  if (win32::IsEmpty(r)) return Region();
  return ClippedTo(*this, r);
}

Region Region::Subtracted(const RECT& rect) const {
  const RECT r = Normalised(rect);
  if (win32::IsEmpty(r)) return *this;
  return WithoutRect(*this, r);
}

Region Region::ClippedTo(const Region& a, const RECT& rect) {
  Region result;
  BandWriter writer(result.rects_);
  std::vector<Span> spans;
  const std::vector<RECT>& rects = a.rects_;
  for (size_t first = 0; first < rects.size();) {
    const size_t end = BandEnd(rects, first);
    const LONG top = rects[first].top, bottom = rects[first].bottom;
    if (top >= rect.bottom) break;
    if (bottom > rect.top) {
      spans.clear();
      for (size_t k = first; k < end; ++k) {
        const LONG left = std::max(rects[k].left, rect.left);
        const LONG right = std::min(rects[k].right, rect.right);
        if (left < right) spans.push_back(Span{left, right});
      }
      writer.Add(std::max(top, rect.top), std::min(bottom, rect.bottom), spans);
    }
    first = end;
  }
  return result;
}

Region Region::WithoutRect(const Region& a, const RECT& rect) {
  Region result;
  result.rects_.reserve(a.rects_.size() + 4);
  BandWriter writer(result.rects_);
  std::vector<Span> whole, cut;
  const std::vector<RECT>& rects = a.rects_;
  for (size_t first = 0; first < rects.size();) {
    const size_t end = BandEnd(rects, first);
    const LONG top = rects[first].top, bottom = rects[first].bottom;
    BandSpans(rects, first, end, whole);
    if (bottom <= rect.top || top >= rect.bottom) {
      writer.Add(top, bottom, whole);
    } else {
      // Above the rectangle, beside it, below it.
      writer.Add(top, rect.top, whole);
      cut.clear();
      for (const Span& s : whole) {
        if (s.right <= rect.left || s.left >= rect.right) {
          cut.push_back(s);
          continue;
        }
        if (s.left < rect.left) cut.push_back(Span{s.left, rect.left});
        if (s.right > rect.right) cut.push_back(Span{rect.right, s.right});
      }
      writer.Add(std::max(top, rect.top), std::min(bottom, rect.bottom), cut);
      writer.Add(rect.bottom, bottom, whole);
    }
    first = end;
  }
  return result;
}

Region Region::CombineBySweep(const Region& a, const Region& b, Op op) {
  std::vector<LONG> edges;
  edges.reserve((a.rects_.size() + b.rects_.size()) * 2);
  for (const RECT& r : a.rects_) {
    edges.push_back(r.top);
    edges.push_back(r.bottom);
  }
  for (const RECT& r : b.rects_) {
    edges.push_back(r.top);
    edges.push_back(r.bottom);
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

  Region result;
  BandCursor ca(a.rects_), cb(b.rects_);
  std::vector<Span> sa, sb, combined, previous;
  size_t previousStart = 0;  // index in result of the previous band's first rect
  LONG previousBottom = 0;
  bool havePrevious = false;
  for (size_t i = 0; i + 1 < edges.size(); ++i) {
    LONG y0 = edges[i], y1 = edges[i + 1];
    ca.SpansAt(y0, sa);
    cb.SpansAt(y0, sb);
    CombineSpans(sa, sb, op, combined);
    if (combined.empty()) {
      havePrevious = false;
      continue;
    }
    bool sameAsPrevious =
        havePrevious && previousBottom == y0 && previous.size() == combined.size() &&
        std::equal(
            previous.begin(), previous.end(), combined.begin(),
            [](const Span& p, const Span& q) { return p.left == q.left && p.right == q.right; });
    if (sameAsPrevious) {
      for (size_t k = previousStart; k < result.rects_.size(); ++k) result.rects_[k].bottom = y1;
    } else {
      previousStart = result.rects_.size();
      for (const Span& s : combined) result.rects_.push_back(RECT{s.left, y0, s.right, y1});
      previous = combined;
    }
    previousBottom = y1;
    havePrevious = true;
  }
  return result;
}

void Region::Offset(LONG dx, LONG dy) {
  for (RECT& r : rects_) r = win32::Offset(r, dx, dy);
}

bool Region::Contains(LONG x, LONG y) const {
  for (const RECT& r : rects_) {
    if (r.top > y) break;
    if (win32::Contains(r, x, y)) return true;
  }
  return false;
}

bool Region::Intersects(const RECT& rect) const {
  for (const RECT& r : rects_) {
    if (!win32::IsEmpty(Intersect(r, rect))) return true;
  }
  return false;
}

RECT Region::Bounds() const {
  if (rects_.empty()) return RECT{0, 0, 0, 0};
  RECT b = rects_.front();
  for (const RECT& r : rects_) {
    b.left = std::min(b.left, r.left);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

int Region::Kind() const {
  if (rects_.empty()) return 1;      // NULLREGION
  if (rects_.size() == 1) return 2;  // SIMPLEREGION
  return 3;                          // COMPLEXREGION
}

bool Region::operator==(const Region& other) const {
  return rects_.size() == other.rects_.size() &&
         std::equal(rects_.begin(), rects_.end(), other.rects_.begin(),
                    [](const RECT& p, const RECT& q) { return p == q; });
}

}  // namespace quellor::win32
