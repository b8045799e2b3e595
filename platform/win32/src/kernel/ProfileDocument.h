// The text of a private-profile (.ini) file, kept line by line so that an
// edit changes only the lines it must: other sections, keys, comments, blank
// lines and their order stay as they were. Section and key names compare
// case-insensitively; the first occurrence of a section or key counts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellor::win32 {

class ProfileDocument {
 public:
  static ProfileDocument Parse(std::string_view text);
  std::string Text() const;

  // The value with surrounding blanks and one pair of matching quotes removed.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  std::vector<std::string> Sections() const;
  std::vector<std::string> Keys(std::string_view section) const;

  // Each returns whether the document changed.
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

 private:
  struct Range {
    std::size_t header;  // line of "[name]"
    std::size_t end;     // one past the section's last line
  };
  std::optional<Range> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const Range& range, std::string_view key) const;

  std::vector<std::string> lines_;
  std::string newline_ = "\n";  // kept as the file had it ("\r\n" for Windows files)
};

}  // namespace quellor::win32
