#include "CodecOptions.h"

#include <cctype>

namespace quellor::codecs {
namespace {

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == ',';
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

CodecOptions::CodecOptions(const char* text) {
  if (text == nullptr) return;
  std::string_view rest(text);
  while (!rest.empty()) {
    std::size_t start = 0;
    while (start < rest.size() && IsSeparator(rest[start])) ++start;
    std::size_t end = start;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    if (end > start) words_.emplace_back(rest.substr(start, end - start));
    rest.remove_prefix(end);
  }
}

bool CodecOptions::Has(std::string_view word) const {
  for (const std::string& candidate : words_) {
    if (SameLetters(candidate, word)) return true;
  }
  return false;
}

std::optional<std::string> CodecOptions::Value(std::string_view prefix) const {
  for (const std::string& candidate : words_) {
    if (candidate.size() >= prefix.size() &&
        SameLetters(std::string_view(candidate).substr(0, prefix.size()), prefix)) {
      return candidate.substr(prefix.size());
    }
  }
  return std::nullopt;
}

std::optional<int> CodecOptions::Number(std::string_view prefix, int fallback) const {
  std::optional<std::string> text = Value(prefix);
  if (!text) return fallback;
  if (text->empty() || text->size() > 10) return std::nullopt;
  long long value = 0;
  for (char c : *text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > 0x7FFFFFFF) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace quellor::codecs
