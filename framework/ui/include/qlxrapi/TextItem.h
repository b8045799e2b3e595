// TextItem: a line of text as a screen object, in its own font and colours.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/ScreenObject.h"

class QUELLOR_EXPORT TextItem : public ScreenObject {
 public:
  TextItem(char* text = const_cast<char*>(""), char* font = const_cast<char*>("Verdena"),
           float size = -1.0f, bool bold = false, bool italic = false, bool underline = false,
           bool strikeout = false, long r = 0, long g = 0, long b = 0,
           unsigned long alignment = 112, long offsetX = 0, long offsetY = 0, bool border = false,
           long borderR = 255, long borderG = 255, long borderB = 255);
  ~TextItem() override;

  bool ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) override;
  // The text's extent in the item's font; -1 wide with alignment bit 64.
  long ScreenObject_GetPreferedXSize() override;
  long ScreenObject_GetPreferedYSize() override;

  // False when the copy cannot be made; the same text again announces nothing.
  bool SetText(char* text);
  void SetFont(char* face);
  void SetFontSize(float size);
  void SetBold(bool on);
  void SetItalic(bool on);
  void SetUnderline(bool on);
  void SetStrikeout(bool on);
  void SetColor(long r, long g, long b);
  void SetAlignment(unsigned long flags);
  void SetOffset(long x, long y);
  void SetBorder(bool on);
  void SetBorderColor(long r, long g, long b);
  void Set_Background(bool on);
  void Set_BackgroundColor(long r, long g, long b);

  char* GetText() { return m_text; }
  char* GetFont() { return m_face; }
  bool GetBold() const { return m_bold; }
  bool GetItalic() const { return m_italic; }
  bool GetUnderline() const { return m_underline; }
  bool GetStrikeout() const { return m_strikeout; }
  bool GetBorder() const { return m_border; }
  unsigned long GetAlignement() const { return m_alignment; }

  // Sets a transparent background and the text colour on dc; the new font
  // returned is the caller's to delete.
  HFONT GetFontAndProperties(HDC dc);

 private:
  HFONT BuildFont();
  HFONT Font();
  SIZE Extent();
  void FontChanged();

  char* m_text = nullptr;
  char m_face[256] = {};
  float m_size = -1.0f;
  bool m_bold = false, m_italic = false, m_underline = false, m_strikeout = false;
  COLORREF m_colour = 0;
  unsigned long m_alignment = 112;
  long m_offsetX = 0, m_offsetY = 0;
  bool m_border = false;
  COLORREF m_borderColour = RGB(255, 255, 255);
  bool m_background = false;
  COLORREF m_backgroundColour = 0;
  HFONT m_font = nullptr;
  bool m_fontOutOfDate = true;
};
