#include "kernel/ProfileDocument.h"

#include <cctype>

namespace quellor::win32 {
namespace {

std::string_view Trimmed(std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// "[name]" gives name; anything else gives nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
  std::string_view text = Trimmed(line);
  if (text.empty() || text.front() != '[') return std::nullopt;
  std::size_t close = text.find(']');
  return Trimmed(text.substr(1, close == std::string_view::npos ? text.npos : close - 1));
}

bool IsComment(std::string_view line) {
  std::string_view text = Trimmed(line);
  return !text.empty() && text.front() == ';';
}

// "key=value" gives key (trimmed); comments and other lines give nothing.
std::optional<std::string_view> KeyName(std::string_view line) {
  if (IsComment(line)) return std::nullopt;
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trimmed(line.substr(0, equals));
}

std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::string_view text) {
  ProfileDocument document;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
      if (document.lines_.empty()) document.newline_ = "\r\n";
    }
    document.lines_.emplace_back(line);
    start = end + 1;
  }
  return document;
}

std::string ProfileDocument::Text() const {
  std::size_t size = 0;
  for (const auto& line : lines_) size += line.size() + newline_.size();
  std::string text;
  text.reserve(size);
  for (const auto& line : lines_) {
    text += line;
    text += newline_;
  }
  return text;
}

std::optional<ProfileDocument::Range> ProfileDocument::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    auto name = SectionName(lines_[i]);
    if (!name || !SameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end])) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> ProfileDocument::FindKey(const Range& range,
                                                    std::string_view key) const {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    auto name = KeyName(lines_[i]);
    if (name && SameName(*name, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> ProfileDocument::Value(std::string_view section,
                                                  std::string_view key) const {
  auto range = FindSection(section);
  if (!range) return std::nullopt;
  auto line = FindKey(*range, key);
  if (!line) return std::nullopt;
  std::string_view text = lines_[*line];
  return std::string(Unquoted(Trimmed(text.substr(text.find('=') + 1))));
}

std::vector<std::string> ProfileDocument::Sections() const {
  std::vector<std::string> names;
  for (const auto& line : lines_) {
    auto name = SectionName(line);
    if (!name) continue;
    bool seen = false;
    for (const auto& known : names) seen = seen || SameName(known, *name);
    if (!seen) names.emplace_back(*name);
  }
  return names;
}

std::vector<std::string> ProfileDocument::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  auto range = FindSection(section);
  if (!range) return keys;
  for (std::size_t i = range->header + 1; i < range->end; ++i) {
    if (auto name = KeyName(lines_[i])) keys.emplace_back(*name);
  }
  return keys;
}

bool ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string line = std::string(key) + "=" + std::string(value);
  auto range = FindSection(section);
  if (!range) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(line));
    return true;
  }
  if (auto existing = FindKey(*range, key)) {
    if (lines_[*existing] == line) return false;
    lines_[*existing] = std::move(line);
    return true;
  }
  // A new key goes after the section's last non-blank line, so the blank
  // lines that separate it from the next section stay where they are.
  std::size_t at = range->end;
  while (at > range->header + 1 && Trimmed(lines_[at - 1]).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  return true;
}

bool ProfileDocument::DeleteKey(std::string_view section, std::string_view key) {
  auto range = FindSection(section);
  if (!range) return false;
  bool changed = false;
  while (auto line = FindKey(*range, key)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
    --range->end;
    changed = true;
  }
  return changed;
}

bool ProfileDocument::DeleteSection(std::string_view section) {
  bool changed = false;
  while (auto range = FindSection(section)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
    changed = true;
  }
  return changed;
}

}  // namespace quellor::win32
