#include "TextLayout.h"

#include "TextRun.h"
#include "win32/user.h"

namespace quellor::win32 {
namespace {

// Removes the '&' prefix marks: "&&" is a literal '&', "&x" marks x to be
// underlined (marks[i] is true for such characters of the result).
std::string RemovePrefixes(std::string_view text, std::vector<char>& marks) {
  std::string out;
  out.reserve(text.size());
  marks.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    bool marked = false;
    if (text[i] == '&') {
      if (i + 1 >= text.size()) continue;
      ++i;
      marked = text[i] != '&';
    }
    out.push_back(text[i]);
    marks.push_back(marked ? 1 : 0);
  }
  return out;
}

class LineBuilder {
 public:
  LineBuilder(RenderedFont& font, unsigned format) : font_(font), format_(format) {
    int average = std::max<int>(1, font.Metrics().tmAveCharWidth);
    tabWidth_ = 8 * average;
  }

  // Lays out one line of text (no line breaks inside) from x = 0; marks, when
  // given, flag the characters to underline.
  TextLine Build(std::string_view text, const char* marks = nullptr) const {
    TextLine line;
    TextPiece piece;
    int x = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      char c = text[i];
      if (c == '\t' && (format_ & DT_EXPANDTABS)) {
        if (!piece.text.empty()) line.pieces.push_back(piece);
        x = (x / tabWidth_ + 1) * tabWidth_;
        piece = TextPiece{x, ""};
        continue;
      }
      piece.text.push_back(c);
      int advance = font_.Advance(uint8_t(c));
      if (marks && marks[i]) line.prefixMarks.emplace_back(x, advance);
      x += advance;
    }
    if (!piece.text.empty()) line.pieces.push_back(piece);
    line.width = x;
    return line;
  }
  int Width(std::string_view text) const { return Build(text).width; }

 private:
  RenderedFont& font_;
  unsigned format_;
  int tabWidth_;
};

void WrapParagraph(const LineBuilder& builder, const std::string& text,
                   const std::vector<char>& marks, int wrapWidth, std::vector<TextLine>& lines) {
  size_t start = 0;
  while (true) {
    // Skip the blanks a wrapped line starts with.
    if (start > 0) {
      while (start < text.size() && text[start] == ' ') ++start;
    }
    if (start >= text.size()) {
      if (start == 0) lines.push_back(TextLine{});
      return;
    }
    size_t end = start;  // end of the longest fitting run of whole words
    size_t scan = start;
    while (scan < text.size()) {
      size_t wordEnd = scan;
      while (wordEnd < text.size() && text[wordEnd] == ' ') ++wordEnd;
      while (wordEnd < text.size() && text[wordEnd] != ' ') ++wordEnd;
      if (builder.Width(std::string_view(text).substr(start, wordEnd - start)) > wrapWidth &&
          end > start) {
        break;
      }
      end = wordEnd;
      scan = wordEnd;
      if (builder.Width(std::string_view(text).substr(start, end - start)) > wrapWidth) break;
    }
    size_t visibleEnd = end;
    while (visibleEnd > start && text[visibleEnd - 1] == ' ') --visibleEnd;
    const char* lineMarks = marks.empty() ? nullptr : &marks[start];
    lines.push_back(
        builder.Build(std::string_view(text).substr(start, visibleEnd - start), lineMarks));
    start = end;
    if (start >= text.size()) return;
  }
}

}  // namespace

std::vector<TextLine> LayoutText(RenderedFont& font, std::string_view text, unsigned format,
                                 int wrapWidth) {
  std::vector<std::string> paragraphs;
  if (format & DT_SINGLELINE) {
    std::string one;
    for (char c : text) {
      if (c != '\r' && c != '\n') one.push_back(c);
    }
    paragraphs.push_back(one);
  } else {
    std::string current;
    for (size_t i = 0; i < text.size(); ++i) {
      char c = text[i];
      if (c == '\r' || c == '\n') {
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        paragraphs.push_back(current);
        current.clear();
      } else {
        current.push_back(c);
      }
    }
    paragraphs.push_back(current);
  }
  LineBuilder builder(font, format);
  std::vector<TextLine> lines;
  bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
  for (auto& paragraph : paragraphs) {
    std::vector<char> marks;
    std::string clean = (format & DT_NOPREFIX) ? paragraph : RemovePrefixes(paragraph, marks);
    if (format & DT_HIDEPREFIX) marks.clear();
    if (wrap) {
      WrapParagraph(builder, clean, marks, wrapWidth, lines);
    } else {
      lines.push_back(builder.Build(clean, marks.empty() ? nullptr : marks.data()));
    }
  }
  return lines;
}

}  // namespace quellor::win32
