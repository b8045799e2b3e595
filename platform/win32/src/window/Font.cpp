#include "Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace quellor::win32 {
namespace {

// FreeType's library object is shared; creating and freeing faces goes
// through this lock.
std::mutex& LibraryMutex() {
  static std::mutex mutex;
  return mutex;
}

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) return static_cast<FT_Library>(nullptr);
    return lib;
  }();
  return library;
}

struct FaceFile {
  std::string path;
  int index = 0;
  std::string family;
};

// Resolves a face name through fontconfig; missing faces fall back to
// DejaVu Sans.
FaceFile ResolveFace(const LOGFONTA& lf) {
  static std::mutex configMutex;
  std::lock_guard<std::mutex> lock(configMutex);
  static const bool initialised = [] {
    FcInit();
    // fontconfig keeps its configuration until FcFini; free it at exit.
    std::atexit([] { FcFini(); });
    return true;
  }();
  (void)initialised;
  FaceFile result;
  std::string family(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  bool fixed = (lf.lfPitchAndFamily & 3) == FIXED_PITCH;
  FcPattern* pattern = FcPatternCreate();
  if (!family.empty())
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddString(pattern, FC_FAMILY,
                     reinterpret_cast<const FcChar8*>(fixed ? "DejaVu Sans Mono" : "DejaVu Sans"));
  FcPatternAddInteger(pattern, FC_WEIGHT,
                      lf.lfWeight >= FW_SEMIBOLD ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, lf.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult res;
  FcPattern* match = FcFontMatch(nullptr, pattern, &res);
  if (match) {
    FcChar8* file = nullptr;
    FcChar8* fam = nullptr;
    int index = 0;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
      result.path = reinterpret_cast<char*>(file);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) result.index = index;
    if (FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch)
      result.family = reinterpret_cast<char*>(fam);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  if (result.path.empty()) result.path = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  return result;
}

}  // namespace

uint32_t AnsiToUnicode(uint8_t ch) {
  static const uint16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  if (ch >= 0x80 && ch < 0xA0) return high[ch - 0x80];
  return ch;
}

std::shared_ptr<RenderedFont> RenderedFont::Create(const LOGFONTA& logFont) {
  std::shared_ptr<RenderedFont> font(new RenderedFont);
  font->Load(logFont);
  return font;
}

RenderedFont::~RenderedFont() {
  if (face_) {
    std::lock_guard<std::mutex> lock(LibraryMutex());
    FT_Done_Face(static_cast<FT_Face>(face_));
  }
}

void RenderedFont::Load(const LOGFONTA& lf) {
  FaceFile file = ResolveFace(lf);
  faceName_ = std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  antialiased_ = lf.lfQuality != NONANTIALIASED_QUALITY;
  FT_Face face = nullptr;
  {
    std::lock_guard<std::mutex> lock(LibraryMutex());
    if (Library()) FT_New_Face(Library(), file.path.c_str(), file.index, &face);
  }
  // Height as Win32 means it: negative is the character (em) height, positive
  // the cell height (ascent + descent), 0 a default cell of 16 pixels.
  LONG height = lf.lfHeight == 0 ? 16 : lf.lfHeight;
  double unitsPerEm = 2048, ascender = 1901,
         descender = 483;  // DejaVu Sans, if the face is missing
  if (face) {
    unitsPerEm = face->units_per_EM ? face->units_per_EM : 2048;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
      ascender = os2->usWinAscent;
      descender = os2->usWinDescent;
    } else {
      ascender = face->ascender;
      descender = -face->descender;
    }
  }
  double em;
  if (height < 0) {
    em = -double(height);
  } else {
    em = double(height) * unitsPerEm / (ascender + descender);
  }
  double scale = em / unitsPerEm;
  LONG ascent, descent;
  if (height > 0) {
    ascent = LONG(std::lround(ascender * scale));
    descent = height - ascent;
  } else {
    ascent = LONG(std::ceil(ascender * scale - 0.01));
    descent = LONG(std::ceil(descender * scale - 0.01));
  }
  TEXTMETRICA& tm = metrics_;
  tm.tmHeight = ascent + descent;
  tm.tmAscent = ascent;
  tm.tmDescent = descent;
  tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - LONG(std::lround(em)));
  tm.tmExternalLeading = 0;
  tm.tmWeight = lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight;
  tm.tmItalic = lf.lfItalic ? 255 : 0;
  tm.tmUnderlined = lf.lfUnderline ? 255 : 0;
  tm.tmStruckOut = lf.lfStrikeOut ? 255 : 0;
  tm.tmFirstChar = 0x1E;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmCharSet = ANSI_CHARSET;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  underlinePosition_ = std::max(1, int(std::lround(descent * 0.4)));
  underlineThickness_ = std::max(1, int(std::lround(em / 14.0)));
  strikeoutPosition_ = int(std::lround(ascent * 0.3));
  if (!face) {
    tm.tmAveCharWidth = LONG(std::lround(em * 0.5));
    tm.tmMaxCharWidth = LONG(std::lround(em));
    return;
  }
  face_ = face;
  FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(em * 64)), 72, 72);
  emboldenSynthetic_ = lf.lfWeight >= FW_SEMIBOLD && !(face->style_flags & FT_STYLE_FLAG_BOLD);
  obliqueSynthetic_ = lf.lfItalic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
  if (auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST))) {
    underlinePosition_ = std::max(1, int(std::lround(-post->underlinePosition * scale)));
    underlineThickness_ = std::max(1, int(std::lround(post->underlineThickness * scale)));
  }
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
    if (os2->yStrikeoutPosition > 0)
      strikeoutPosition_ = int(std::lround(os2->yStrikeoutPosition * scale));
  }
  bool fixedPitch = FT_IS_FIXED_WIDTH(face);
  // Windows reports variable pitch by setting the "fixed pitch" bit.
  tm.tmPitchAndFamily = BYTE(TMPF_VECTOR | TMPF_TRUETYPE | (fixedPitch ? 0 : TMPF_FIXED_PITCH) |
                             (fixedPitch ? FF_MODERN : FF_SWISS));
  // Average width as Windows takes it: the weighted lower-case average is
  // close to the width of 'x'.
  tm.tmAveCharWidth = GlyphFor('x').advance;
  int widest = 0;
  for (int c = 0x20; c < 0x7F; ++c) widest = std::max(widest, GlyphFor(uint8_t(c)).advance);
  tm.tmMaxCharWidth = widest;
}

const Glyph& RenderedFont::GlyphFor(uint8_t ch) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto& slot = glyphs_[ch];
  if (slot) return *slot;
  slot = std::make_unique<Glyph>();
  Glyph& g = *slot;
  auto* face = static_cast<FT_Face>(face_);
  if (!face) {
    g.advance = int(metrics_.tmAveCharWidth);
    return g;
  }
  FT_Int32 flags = FT_LOAD_DEFAULT | (antialiased_ ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
  FT_UInt index = FT_Get_Char_Index(face, AnsiToUnicode(ch));
  if (FT_Load_Glyph(face, index, flags) != 0) return g;
  FT_GlyphSlot slotFt = face->glyph;
  if (obliqueSynthetic_ && slotFt->format == FT_GLYPH_FORMAT_OUTLINE) {
    FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
    FT_Outline_Transform(&slotFt->outline, &shear);
  }
  if (emboldenSynthetic_) FT_GlyphSlot_Embolden(slotFt);
  if (FT_Render_Glyph(slotFt, antialiased_ ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
    return g;
  const FT_Bitmap& bm = slotFt->bitmap;
  g.left = slotFt->bitmap_left;
  g.top = slotFt->bitmap_top;
  g.width = int(bm.width);
  g.height = int(bm.rows);
  g.advance = int((slotFt->advance.x + 32) >> 6);
  g.coverage.assign(size_t(g.width) * size_t(g.height), 0);
  for (int y = 0; y < g.height; ++y) {
    const uint8_t* src = bm.buffer + ptrdiff_t(y) * bm.pitch;
    uint8_t* dst = g.coverage.data() + size_t(y) * g.width;
    for (int x = 0; x < g.width; ++x) {
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
        dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      } else {
        dst[x] = src[x];
      }
    }
  }
  return g;
}

}  // namespace quellor::win32
