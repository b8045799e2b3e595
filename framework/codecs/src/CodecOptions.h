// A codec's option text: words separated by blanks, tabs or commas. A word
// option is present when a word equals it, letters compared without regard to
// case; a valued option ("index=3") is found by its prefix.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellor::codecs {

class CodecOptions {
 public:
  explicit CodecOptions(const char* text);

  bool Has(std::string_view word) const;
  // The text after prefix of the first word starting with it (case ignored).
  std::optional<std::string> Value(std::string_view prefix) const;
  // The value of prefix as a non-negative integer; fallback when absent;
  // nullopt when present but not a number below 2^31.
  std::optional<int> Number(std::string_view prefix, int fallback) const;

 private:
  std::vector<std::string> words_;
};

}  // namespace quellor::codecs
