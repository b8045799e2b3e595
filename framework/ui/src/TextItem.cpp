#include "qlxrapi/TextItem.h"

#include <cstdio>
#include <cstring>

#include "qlxrapi/OrvaneHeap.h"
#include "qlxrapi/WindowBitmap.h"

namespace {

COLORREF Colour(long r, long g, long b) {
  return RGB(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b));
}

}  // namespace

TextItem::TextItem(char* text, char* font, float size, bool bold, bool italic, bool underline,
                   bool strikeout, long r, long g, long b, unsigned long alignment, long offsetX,
                   long offsetY, bool border, long borderR, long borderG, long borderB) {
  m_size = size;
  SetFont(font);
  SetBold(bold);
  SetItalic(italic);
  SetUnderline(underline);
  SetStrikeout(strikeout);
  SetText(text);
  SetColor(r, g, b);
  SetAlignment(alignment);
  SetOffset(offsetX, offsetY);
  SetBorderColor(borderR, borderG, borderB);
  SetBorder(border);
  Set_BackgroundColor(0, 0, 0);
  Set_Background(false);
}

TextItem::~TextItem() {
  if (m_font) DeleteObject(m_font);
  Orvane_free(m_text);
}

bool TextItem::SetText(char* text) {
  if (text == nullptr) text = const_cast<char*>("");
  if (m_text != nullptr && std::strcmp(m_text, text) == 0) return true;
  const std::size_t length = std::strlen(text);
  auto* copy = static_cast<char*>(Orvane_malloc(static_cast<unsigned>(length + 1)));
  if (copy == nullptr) return false;
  std::memcpy(copy, text, length + 1);
  Orvane_free(m_text);
  m_text = copy;
  Changed("Changed");
  return true;
}

void TextItem::FontChanged() {
  m_fontOutOfDate = true;
  Changed("Changed");
}

void TextItem::SetFont(char* face) {
  std::snprintf(m_face, sizeof m_face, "%s", face ? face : "");
  FontChanged();
}
void TextItem::SetFontSize(float size) {
  m_size = size;
  FontChanged();
}
void TextItem::SetBold(bool on) {
  m_bold = on;
  FontChanged();
}
void TextItem::SetItalic(bool on) {
  m_italic = on;
  FontChanged();
}
void TextItem::SetUnderline(bool on) {
  m_underline = on;
  FontChanged();
}
void TextItem::SetStrikeout(bool on) {
  m_strikeout = on;
  FontChanged();
}
void TextItem::SetColor(long r, long g, long b) {
  m_colour = Colour(r, g, b);
  Changed("Changed");
}
void TextItem::SetAlignment(unsigned long flags) {
  m_alignment = flags;
  Changed("Changed");
}
void TextItem::SetOffset(long x, long y) {
  m_offsetX = x;
  m_offsetY = y;
  Changed("Changed");
}
void TextItem::SetBorder(bool on) {
  m_border = on;
  Changed("Changed");
}
void TextItem::SetBorderColor(long r, long g, long b) {
  m_borderColour = Colour(r, g, b);
  Changed("Changed");
}
void TextItem::Set_Background(bool on) {
  m_background = on;
  Changed("Changed");
}
void TextItem::Set_BackgroundColor(long r, long g, long b) {
  m_backgroundColour = Colour(r, g, b);
  Changed("Changed");
}

HFONT TextItem::BuildFont() {
  int height = static_cast<int>(m_size);
  if (m_size <= 0.0f) {
    // -size default lines: the default font's height in a memory context.
    HDC dc = BuildHDC(32);
    TEXTMETRICA metrics{};
    if (dc != nullptr) {
      GetTextMetricsA(dc, &metrics);
      DeleteDC(dc);
    }
    height = static_cast<int>(static_cast<float>(metrics.tmHeight) * -m_size);
  }
  return CreateFontA(height, 0, 0, 0, m_bold ? 700 : 400, m_italic, m_underline, m_strikeout,
                     DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, m_face);
}

HFONT TextItem::Font() {
  if (m_font == nullptr || m_fontOutOfDate) {
    HFONT font = BuildFont();
    if (m_font) DeleteObject(m_font);
    m_font = font;
    m_fontOutOfDate = false;
  }
  return m_font;
}

HFONT TextItem::GetFontAndProperties(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, m_colour);
  return BuildFont();
}

SIZE TextItem::Extent() {
  SIZE size{};
  HDC dc = BuildHDC(32);
  if (dc == nullptr) return size;
  HGDIOBJ old = SelectObject(dc, Font());
  GetTextExtentPoint32A(dc, m_text ? m_text : "",
                        static_cast<int>(std::strlen(m_text ? m_text : "")), &size);
  SelectObject(dc, old);
  DeleteDC(dc);
  return size;
}

long TextItem::ScreenObject_GetPreferedXSize() {
  return (m_alignment & 64) ? -1 : Extent().cx;
}

long TextItem::ScreenObject_GetPreferedYSize() {
  return Extent().cy;
}

bool TextItem::ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) {
  if (rect == nullptr || dc == nullptr) return true;
  ScreenObjectClip clipping(dc, clip);
  if (m_background) {
    HBRUSH brush = CreateSolidBrush(m_backgroundColour);
    RECT filled{rect->left, rect->top, rect->right + 1, rect->bottom + 1};
    FillRect(dc, &filled, brush);
    DeleteObject(brush);
  }
  UINT format = DT_WORDBREAK;
  format |= (m_alignment & 1) ? DT_LEFT : (m_alignment & 2) ? DT_RIGHT : DT_CENTER;
  if (!(m_alignment & 4)) format |= (m_alignment & 8) ? DT_BOTTOM : (DT_SINGLELINE | DT_VCENTER);
  HGDIOBJ oldFont = SelectObject(dc, Font());
  SetBkMode(dc, TRANSPARENT);
  RECT area = *rect;
  const char* text = m_text ? m_text : "";
  if (m_border) {
    InflateRect(&area, -1, -1);
    SetTextColor(dc, m_borderColour);
    const int offsets[4][2] = {{-1, 0}, {1, 0}, {0, 1}, {0, -1}};
    for (const auto& offset : offsets) {
      RECT shifted = area;
      OffsetRect(&shifted, offset[0], offset[1]);
      DrawTextA(dc, text, -1, &shifted, format);
    }
  }
  SetTextColor(dc, m_colour);
  DrawTextA(dc, text, -1, &area, format);
  SelectObject(dc, oldFont);
  return true;
}
