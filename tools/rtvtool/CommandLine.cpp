#include "CommandLine.h"

#include <charconv>

namespace quellor::rtvtool {

CommandLine::CommandLine(const std::vector<std::string>& words, const std::set<std::string>& valued,
                         const std::set<std::string>& flags) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.size() < 2 || word[0] != '-') {
      positional_.push_back(word);
    } else if (valued.count(word)) {
      if (i + 1 >= words.size()) {
        error_ = "option " + word + " needs a value";
        return;
      }
      values_[word] = words[++i];
    } else if (flags.count(word)) {
      flags_.insert(word);
    } else {
      error_ = "unknown option " + word;
      return;
    }
  }
}

std::optional<std::string> CommandLine::Value(const std::string& name) const {
  const auto found = values_.find(name);
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::uint64_t> CommandLine::Number(const std::string& name) const {
  const auto text = Value(name);
  if (!text || text->empty()) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (ec != std::errc() || end != text->data() + text->size()) return std::nullopt;
  return value;
}

}  // namespace quellor::rtvtool
