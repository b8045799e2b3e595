// A font rasterised by FreeType at the size a LOGFONT asks for, with Win32
// metrics and a cache of the 256 ANSI (code page 1252) glyphs.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "win32/gdi.h"

namespace quellor::win32 {

struct Glyph {
  int left = 0;  // from the pen position to the bitmap's left edge
  int top = 0;   // from the baseline up to the bitmap's top row
  int width = 0;
  int height = 0;
  int advance = 0;                // whole pixels, as GDI places characters
  std::vector<uint8_t> coverage;  // width x height, 0..255
};

class RenderedFont {
 public:
  // Never null: a face that cannot be loaded leaves a font with metrics but
  // no glyph shapes (text still measures and lays out).
  static std::shared_ptr<RenderedFont> Create(const LOGFONTA& logFont);
  ~RenderedFont();

  const TEXTMETRICA& Metrics() const { return metrics_; }
  const std::string& FaceName() const { return faceName_; }
  // The glyph of an ANSI byte; valid as long as the font lives.
  const Glyph& GlyphFor(uint8_t ch);
  int Advance(uint8_t ch) { return GlyphFor(ch).advance; }
  int UnderlinePosition() const { return underlinePosition_; }  // below the baseline
  int UnderlineThickness() const { return underlineThickness_; }
  int StrikeoutPosition() const { return strikeoutPosition_; }  // above the baseline

 private:
  RenderedFont() = default;
  void Load(const LOGFONTA& logFont);

  std::mutex mutex_;
  void* face_ = nullptr;  // FT_Face
  bool antialiased_ = true;
  bool emboldenSynthetic_ = false;
  bool obliqueSynthetic_ = false;
  TEXTMETRICA metrics_{};
  std::string faceName_;
  int underlinePosition_ = 1;
  int underlineThickness_ = 1;
  int strikeoutPosition_ = 3;
  std::array<std::unique_ptr<Glyph>, 256> glyphs_;
};

// Unicode code point of a code page 1252 byte.
uint32_t AnsiToUnicode(uint8_t ch);

}  // namespace quellor::win32
