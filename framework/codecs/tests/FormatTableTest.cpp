// The format table as hosts see it: identity, extensions and flags of each
// format, identification by file name, every error text, and the option text.
#include <qlxrapi/codecs/ImageCodecs.h>

#include <gtest/gtest.h>

#include <string>

#include "CodecOptions.h"

namespace quellor::codecs {
namespace {

struct Expected {
  const char* shortName;
  const char* longName;
  const char* extensions;
  unsigned flags;
};

const Expected kFormats[] = {
    {"Bitmap", "OS/2 1.1, 1.2, 2.0 / Windows 3.0 bitmap", "BMP VGA BGA RLE DIB RL4 RL8", 0x1EF},
    {"GIF", "CompuServe Graphics Interchange Format", "GIF", 0xE7},
    {"PCX", "ZSoft PC Paintbrush Image format", "PCX", 0x1EF},
    {"TIFF", "Tagged Image File Format support (almost TIFF 6.0 Baseline)", "TIF TIFF", 0x1EF},
    {"Targa", "Truevision Targa/Vista bitmap", "TGA VST AFI", 0x19C},
    {"ILBM", "Amiga IFF / ILBM Interleaved bitmap", "IFF LBM", 0x1EF},
    {"YUV12C", "YUV12C M-Motion Video Frame Buffer", "VID", 0x108},
    {"Greymap", "Portable Greyscale-map (binary P5 type)", "PGM", 0x84},
    {"Pixmap", "Portable Pixel-map (binary P6 type)", "PPM", 0x108},
    {"KIPS", "IBM KIPS", "KPS", 0x84},
    {"IAX", "IBM Image Access eXecutive", "IAX", 0x84},
    {"XBitmap", "X Windows Bitmap", "XBM", 0x21},
    {"Sprite", "Archimedes Sprite from RiscOS", "SPR SPRITE", 0xE7},
    {"PSEG", "IBM Printer Page Segment", "PSE PSEG PSEG38PP PSEG3820", 0x21},
};

TEST(FormatTable, FourteenFormatsWithTheirIdentityInIndexOrder) {
  EXPECT_EQ(ImageCodecInitialise(), 0);
  ASSERT_EQ(ImageCodecCount(), 14);
  for (int i = 0; i < 14; ++i) {
    FormatInfo info{};
    ASSERT_EQ(ImageCodecQuery(i, &info), 0);
    EXPECT_STREQ(info.shortName, kFormats[i].shortName) << i;
    EXPECT_STREQ(info.longName, kFormats[i].longName) << i;
    EXPECT_STREQ(info.extensions, kFormats[i].extensions) << i;
    EXPECT_EQ(info.flags, kFormats[i].flags) << i;
  }
  FormatInfo info{};
  EXPECT_EQ(ImageCodecQuery(14, &info), kCodecNotFound);
  EXPECT_EQ(ImageCodecQuery(-1, &info), kCodecNotFound);
  EXPECT_EQ(ImageCodecFinish(), 0);
}

int Identified(const char* name) {
  int format = -1;
  int code = ImageCodecIdentify(name, &format);
  return code == 0 ? format : -code;
}

TEST(FormatTable, IdentifiesByTheWholeLastExtensionWhateverItsCase) {
  EXPECT_EQ(Identified("Logo\\VideoQuellorLogo.tga"), kFormatTarga);
  EXPECT_EQ(Identified("skin.TgA"), kFormatTarga);
  EXPECT_EQ(Identified("a.b.afi"), kFormatTarga);
  EXPECT_EQ(Identified("scan.tif"), kFormatTiff);
  EXPECT_EQ(Identified("scan.TIFF"), kFormatTiff);
  EXPECT_EQ(Identified("old.rl4"), kFormatBitmap);
  EXPECT_EQ(Identified("page.pseg38pp"), kFormatPseg);
  EXPECT_EQ(Identified("pic.sprite"), kFormatSprite);
  // "TI" is a prefix of words, not a word; "tga.txt" ends in another word.
  EXPECT_EQ(Identified("scan.ti"), -kCodecNotFound);
  EXPECT_EQ(Identified("picture.tga.txt"), -kCodecNotFound);
  // The last point lies in a folder name: no extension.
  EXPECT_EQ(Identified("skins.tga/logo"), -kCodecNotFound);
  EXPECT_EQ(Identified("skins.tga\\logo"), -kCodecNotFound);
  EXPECT_EQ(Identified("noextension"), -kCodecNotFound);
  EXPECT_EQ(Identified("trailing."), -kCodecNotFound);
  EXPECT_EQ(Identified(""), -kCodecNotFound);
  EXPECT_EQ(ImageCodecIdentify(nullptr, nullptr), kCodecNotFound);
}

TEST(FormatTable, ErrorTextsOfTheLibraryAndOfEveryCodecsBlock) {
  const char* library[] = {"ok",
                           "out of memory",
                           "not supported",
                           "bad option(s)",
                           "not found",
                           "bad magic number / signiture block",
                           "bad bitmap size",
                           "can't read file",
                           "can't write file"};
  for (int code = 0; code < 9; ++code) EXPECT_STREQ(ImageCodecErrorText(code), library[code]);

  const std::pair<int, const char*> owned[] = {
      {300, "number of bitmap planes is not 1"},
      {304, "less bitmaps in file than index requested"},
      {1100, "bad bits per pixel"},
      {1103, "encoded data is corrupt"},
      {700, "version number not 4 or 5"},
      {703, "corrupt file trailer"},
      {800, "version number not 42"},
      {810, "BitsPerSample tag must be 1,4 or 8 for paletteised file"},
      {819, "Predictor tag bad"},
      {400, "bits per pixel not 8, 16, 24 or 32"},
      {401, "unsupported compression type for bits per pixel"},
      {402, "color map entry size not 24 bits per pixel"},
      {900, "no FORM signiture"},
      {909, "Unsupported version of SHAM (not 0)"},
      {1000, "width not a multiple of 4 pixels"},
      {100, "bad maximum pixel intensity"},
      {200, "bad maximum pixel intensity"},
      {500, "can't open complementary palette file"},
      {501, "can't create complementary palette file"},
      {1500, "file length is not a multiple of its width"},
      {1300, "expected identifier"},
      {1303, "expected["},
      {1310, "expected ;"},
      {1400, "sprite has first bit that is not a multiple of 8"},
      {1403, "8 bit file does not have 0, 16 or 64 palette entries in it"},
      {1600, "record in the PSEG file does not start with 0x5a (try fixrec option)"},
      {1607, "record found in an unexpected place"},
  };
  for (const auto& [code, text] : owned) EXPECT_STREQ(ImageCodecErrorText(code), text) << code;
  // Just past each block, and codes nobody owns.
  for (int code :
       {9, 99, 101, 201, 305, 403, 502, 704, 820, 910, 1001, 1104, 1311, 1404, 1501, 1608, -1}) {
    EXPECT_STREQ(ImageCodecErrorText(code), "general error") << code;
  }
}

TEST(CodecOptionText, WordsAndValuesSeparatedByBlanksTabsOrCommas) {
  CodecOptions options(" 32,YDown\tindex=12,, fixrec ");
  EXPECT_TRUE(options.Has("32"));
  EXPECT_TRUE(options.Has("ydown"));
  EXPECT_TRUE(options.Has("FIXREC"));
  EXPECT_FALSE(options.Has("yup"));
  EXPECT_FALSE(options.Has("3"));  // words match whole
  EXPECT_FALSE(options.Has("ydow"));
  EXPECT_EQ(options.Value("INDEX="), "12");
  EXPECT_EQ(options.Number("index=", 0), 12);
  EXPECT_EQ(options.Number("width=", 7), 7);
  EXPECT_FALSE(options.Value("width=").has_value());

  EXPECT_FALSE(CodecOptions(nullptr).Has(""));
  EXPECT_FALSE(CodecOptions("").Has(""));
  EXPECT_FALSE(CodecOptions("index=x").Number("index=", 0).has_value());
  EXPECT_FALSE(CodecOptions("index=").Number("index=", 0).has_value());
  EXPECT_FALSE(CodecOptions("index=99999999999").Number("index=", 0).has_value());
}

}  // namespace
}  // namespace quellor::codecs
