#include "StretchedCopies.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace quellor::win {

namespace {

// Bounds on what is kept: the least recently used copy goes first.
constexpr std::size_t kMostCopies = 16;
constexpr std::size_t kMostBytes = 32u << 20;

struct Copy {
  const WindowBitmap* picture = nullptr;
  long width = 0, height = 0;
  // What the picture held when the copy was made.
  unsigned long sourceWidth = 0, sourceHeight = 0;
  std::vector<WindowPixel> source;
  std::shared_ptr<WindowBitmap> stretched;
  std::uint64_t used = 0;
  std::size_t Bytes() const {
    return (source.size() + std::size_t(width) * std::size_t(height)) * sizeof(WindowPixel);
  }
};

bool SamePixels(const Copy& copy, WindowBitmap& picture) {
  return copy.sourceWidth == picture.GetWidth() && copy.sourceHeight == picture.GetHeight() &&
         std::memcmp(copy.source.data(), picture.GetPixels(),
                     copy.source.size() * sizeof(WindowPixel)) == 0;
}

// Set once the table below is gone (at exit or unload): pictures freed
// after that have nothing to forget. Constant-initialised, so it outlives
// every other static.
std::atomic<bool> g_tableGone{false};

class Copies {
 public:
  ~Copies() { g_tableGone = true; }

  std::shared_ptr<WindowBitmap> Find(WindowBitmap& picture, long width, long height) {
    std::lock_guard<std::mutex> hold(m_lock);
    for (Copy& copy : m_copies) {
      if (copy.picture != &picture || copy.width != width || copy.height != height) continue;
      if (!SamePixels(copy, picture)) return nullptr;
      copy.used = ++m_clock;
      return copy.stretched;
    }
    return nullptr;
  }

  void Keep(WindowBitmap& picture, long width, long height,
            std::shared_ptr<WindowBitmap> stretched) {
    Copy made;
    made.picture = &picture;
    made.width = width;
    made.height = height;
    made.sourceWidth = picture.GetWidth();
    made.sourceHeight = picture.GetHeight();
    made.source.assign(picture.GetPixels(),
                       picture.GetPixels() + std::size_t(made.sourceWidth) * made.sourceHeight);
    made.stretched = std::move(stretched);
    if (made.Bytes() > kMostBytes / 2) return;  // one copy never takes the lot
    // Copies dropped here are freed after the lock is let go: freeing a
    // picture comes back to Forget.
    std::vector<Copy> dropped;
    std::lock_guard<std::mutex> hold(m_lock);
    Drop(dropped, [&](const Copy& c) {
      return c.picture == &picture && c.width == width && c.height == height;
    });
    while (!m_copies.empty() &&
           (m_copies.size() >= kMostCopies || m_bytes + made.Bytes() > kMostBytes)) {
      std::size_t oldest = 0;
      for (std::size_t i = 1; i < m_copies.size(); ++i)
        if (m_copies[i].used < m_copies[oldest].used) oldest = i;
      Take(dropped, oldest);
    }
    made.used = ++m_clock;
    m_bytes += made.Bytes();
    m_copies.push_back(std::move(made));
  }

  void Forget(const WindowBitmap* picture) {
    std::vector<Copy> dropped;  // freed after the lock, as above
    std::lock_guard<std::mutex> hold(m_lock);
    Drop(dropped, [picture](const Copy& c) { return c.picture == picture; });
  }

 private:
  void Take(std::vector<Copy>& dropped, std::size_t i) {
    m_bytes -= m_copies[i].Bytes();
    dropped.push_back(std::move(m_copies[i]));
    m_copies.erase(m_copies.begin() + std::ptrdiff_t(i));
  }
  template <typename Match>
  void Drop(std::vector<Copy>& dropped, Match match) {
    for (std::size_t i = m_copies.size(); i-- > 0;)
      if (match(m_copies[i])) Take(dropped, i);
  }

  std::mutex m_lock;
  std::vector<Copy> m_copies;
  std::size_t m_bytes = 0;
  std::uint64_t m_clock = 0;
};

Copies& Table() {
  static Copies table;  // freed when the library unloads
  return table;
}

std::shared_ptr<WindowBitmap> Stretch(WindowBitmap& picture, long width, long height) {
  auto stretched = std::make_shared<WindowBitmap>();
  if (!stretched->Resize(static_cast<unsigned long>(width), static_cast<unsigned long>(height)))
    return nullptr;
  SetStretchBltMode(stretched->GetHDC(), HALFTONE);
  if (!StretchBlt(stretched->GetHDC(), 0, 0, static_cast<int>(width), static_cast<int>(height),
                  picture.GetHDC(), 0, 0, static_cast<int>(picture.GetWidth()),
                  static_cast<int>(picture.GetHeight()), SRCCOPY))
    return nullptr;
  return stretched;
}

}  // namespace

std::shared_ptr<WindowBitmap> StretchedCopy(WindowBitmap& picture, long width, long height) {
  if (picture.GetPixels() == nullptr) return Stretch(picture, width, height);
  if (auto kept = Table().Find(picture, width, height)) return kept;
  auto stretched = Stretch(picture, width, height);
  if (stretched) Table().Keep(picture, width, height, stretched);
  return stretched;
}

void ForgetStretchedCopies(const WindowBitmap* picture) {
  if (!g_tableGone) Table().Forget(picture);
}

}  // namespace quellor::win
