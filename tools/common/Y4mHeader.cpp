#include "Y4mHeader.h"

#include <charconv>
#include <cmath>
#include <numeric>
#include <sstream>

namespace quellor::tools {
namespace {

constexpr char kMagic[] = "YUV4MPEG2";
constexpr float kNtscFrameRate = 29.970026f;

bool ParseNumber(const std::string& text, std::uint32_t* value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size();
}

bool ParseRatio(const std::string& text, std::uint32_t* numerator, std::uint32_t* denominator) {
  const auto colon = text.find(':');
  return colon != std::string::npos && ParseNumber(text.substr(0, colon), numerator) &&
         ParseNumber(text.substr(colon + 1), denominator);
}

}  // namespace

std::optional<Y4mHeader> ParseY4mHeader(const std::string& line, std::string* error) {
  std::istringstream words(line);
  std::string word;
  if (!(words >> word) || word != kMagic) {
    *error = "not a YUV4MPEG2 file";
    return std::nullopt;
  }
  Y4mHeader header;
  bool have_width = false, have_height = false, have_rate = false;
  while (words >> word) {
    const std::string value = word.substr(1);
    bool ok = true;
    switch (word[0]) {
      case 'W':
        ok = have_width = ParseNumber(value, &header.width);
        break;
      case 'H':
        ok = have_height = ParseNumber(value, &header.height);
        break;
      case 'F':
        ok = have_rate = ParseRatio(value, &header.rate_numerator, &header.rate_denominator) &&
                         header.rate_numerator != 0 && header.rate_denominator != 0;
        break;
      case 'I':
        ok = value.size() == 1;
        if (ok) header.interlace = value[0];
        break;
      case 'A':
        ok = ParseRatio(value, &header.aspect_numerator, &header.aspect_denominator);
        break;
      case 'C':
        header.chroma = value;
        break;
      case 'X':
        break;  // comments and extensions
      default:
        ok = false;
    }
    if (!ok) {
      *error = "bad YUV4MPEG2 header parameter \"" + word + "\"";
      return std::nullopt;
    }
  }
  if (!have_width || !have_height || !have_rate) {
    *error = "the YUV4MPEG2 header lacks its size or frame rate";
    return std::nullopt;
  }
  return header;
}

std::string FormatY4mHeader(const Y4mHeader& header) {
  std::ostringstream line;
  line << kMagic << " W" << header.width << " H" << header.height << " F" << header.rate_numerator
       << ':' << header.rate_denominator << " I" << header.interlace << " A"
       << header.aspect_numerator << ':' << header.aspect_denominator << " C" << header.chroma
       << '\n';
  return line.str();
}

namespace {

// Thousandths of a frame per second for a field rate.
double FrameThousandths(float field_rate) {
  return std::round(static_cast<double>(field_rate) / 2 * 1000);
}

}  // namespace

bool UsableFieldRate(float field_rate) {
  if (!std::isfinite(field_rate)) return false;
  const double thousandths = FrameThousandths(field_rate);
  return thousandths >= 1 && thousandths < 4e9;
}

void FrameRateFromFieldRate(float field_rate, std::uint32_t* numerator,
                            std::uint32_t* denominator) {
  if (std::fabs(field_rate - 59.94f) < 0.01f) {
    *numerator = 30000;
    *denominator = 1001;
    return;
  }
  const double thousandths = FrameThousandths(field_rate);
  const auto top =
      thousandths > 0 && thousandths < 4e9 ? static_cast<std::uint32_t>(thousandths) : 25000u;
  const std::uint32_t common = std::gcd(top, 1000u);
  *numerator = top / common;
  *denominator = 1000 / common;
}

float FrameRateForClip(std::uint32_t numerator, std::uint32_t denominator) {
  if (numerator == 30000 && denominator == 1001) return kNtscFrameRate;
  return static_cast<float>(static_cast<double>(numerator) / denominator);
}

}  // namespace quellor::tools
