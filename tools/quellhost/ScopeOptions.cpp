#include <cstdlib>

#include "ScopeCommand.h"

namespace quellor::quellhost {

const char kScopeHelp[] =
    "  scope [--output] --mode N [-o scope.png] [--zoom Z] [--brightness B]\n"
    "        [--seconds S] [--fields F]\n"
    "      a waveform monitor of the board's input (--output: its output); modes:\n"
    "      0 composite, 1 luma, 2 chroma, 3 YUV parade, 4 RGB parade, 5 vectorscope;\n"
    "      -o writes a PNG after F fields on the board's hand clock (default 6),\n"
    "      otherwise the window stays up S seconds (default 30) or until closed\n";

namespace {

bool Number(const std::string& text, double low, double high, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end != nullptr && *end == '\0' && value >= low && value <= high;
}

}  // namespace

bool ParseScopeOptions(const std::vector<std::string>& words, ScopeOptions& options,
                       std::string& error) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--output") {
      options.output = true;
      continue;
    }
    if (word == "--input") {
      options.output = false;
      continue;
    }
    if (i + 1 >= words.size()) return error = word + " needs a value", false;
    const std::string& value = words[++i];
    double number = 0;
    if (word == "-o") {
      options.png = value;
    } else if (word == "--mode") {
      if (!Number(value, 0, 5, number) || number != int(number)) {
        return error = "--mode takes 0 to 5", false;
      }
      options.mode = int(number);
    } else if (word == "--zoom") {
      if (!Number(value, 1, 8, number) || number != int(number)) {
        return error = "--zoom takes 1 to 8", false;
      }
      options.zoom = int(number);
    } else if (word == "--brightness") {
      if (!Number(value, 1, 100000, number)) return error = "--brightness takes 1 or more", false;
      options.brightness = unsigned(number);
    } else if (word == "--seconds") {
      if (!Number(value, 0, 86400, number)) return error = "--seconds takes 0 or more", false;
      options.seconds = number;
    } else if (word == "--fields") {
      if (!Number(value, 1, 100000, number)) return error = "--fields takes 1 or more", false;
      options.fields = long(number);
    } else {
      return error = "unknown option " + word, false;
    }
  }
  if (options.mode < 0) return error = "scope needs --mode", false;
  return true;
}

}  // namespace quellor::quellhost
