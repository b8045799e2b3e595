#include "GraphValues.h"

#include <cstdlib>
#include <sstream>
#include <vector>

#include "videoproc/ChromaKey.h"
#include "videoproc/LumaEffect.h"
#include "videoproc/RTVFileInput.h"
#include "videoproc/VideoGradient.h"
#include "videoproc/VideoQuellorOutput.h"

namespace quellor::quellhost {
namespace {

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end != nullptr && *end == '\0';
}

// "a:b:c" with each part a number in [low, high].
bool ParseTriple(const std::string& text, double low, double high, double (&parts)[3]) {
  std::stringstream stream(text);
  std::string part;
  int count = 0;
  while (std::getline(stream, part, ':')) {
    if (count == 3 || !ParseNumber(part, parts[count]) || parts[count] < low ||
        parts[count] > high) {
      return false;
    }
    ++count;
  }
  return count == 3;
}

bool ParseByteTriple(const std::string& text, std::uint8_t (&bytes)[3]) {
  double parts[3];
  if (!ParseTriple(text, 0, 255, parts)) return false;
  for (int i = 0; i < 3; ++i) bytes[i] = static_cast<std::uint8_t>(parts[i]);
  return true;
}

bool ParseKeyMode(const std::string& text, ChromaKeyMode& mode) {
  static const char* const kNames[] = {"add",    "subtract",    "tint",       "maxy", "miny",
                                       "chroma", "linearlight", "lineardark", "dark", "light"};
  for (int i = 0; i < 10; ++i) {
    if (text == kNames[i]) {
      mode = static_cast<ChromaKeyMode>(i + 1);
      return true;
    }
  }
  double number = 0;
  if (!ParseNumber(text, number)) return false;
  mode = static_cast<ChromaKeyMode>(static_cast<int>(number));
  return true;
}

bool SetKeyValue(ChromaKey* key, const std::string& name, const std::string& value,
                 std::string& error) {
  std::uint8_t yuv[3];
  double parts[3];
  double number = 0;
  unsigned int tolerance = key->GetLowThreshold(), softness = key->GetSoftness(),
               maximum = key->GetMaximum();
  if (name == "mode") {
    ChromaKeyMode mode;
    if (!ParseKeyMode(value, mode)) return error = "mode: a number 1..10 or a mode name", false;
    key->SetKeyMode(mode);
  } else if (name == "key" || name == "bg") {
    if (!ParseByteTriple(value, yuv)) return error = name + ": Y:U:V, each 0..255", false;
    name == "key" ? key->SetColors_YUV(yuv[0], yuv[1], yuv[2])
                  : key->SetBGColors_YUV(yuv[0], yuv[1], yuv[2]);
  } else if (name == "keyrgb" || name == "bgrgb") {
    if (!ParseTriple(value, 0, 255, parts)) return error = name + ": R:G:B, each 0..255", false;
    name == "keyrgb" ? key->SetColors_RGB(parts[0], parts[1], parts[2])
                     : key->SetBGColors_RGB(parts[0], parts[1], parts[2]);
  } else if (name == "tolerance" || name == "softness" || name == "maximum") {
    if (!ParseNumber(value, number) || number < 0 || number > 1e6) {
      return error = name + ": a number from 0", false;
    }
    (name == "tolerance"  ? tolerance
     : name == "softness" ? softness
                          : maximum) = static_cast<unsigned int>(number);
    key->SetToleranceValues(tolerance, softness, maximum);
  } else {
    return error = "ChromaKey has no value \"" + name + "\"", false;
  }
  return true;
}

bool SetGradientValue(VideoGradient* gradient, const std::string& name, const std::string& value,
                      std::string& error) {
  std::uint8_t yuv[3];
  static const char* const kCorners[] = {"tl", "tr", "bl", "br"};
  if (!ParseByteTriple(value, yuv)) return error = name + ": Y:U:V, each 0..255", false;
  if (name == "flat") {
    gradient->SetFlatColour(yuv[0], yuv[1], yuv[2]);
    return true;
  }
  for (int i = 0; i < 4; ++i) {
    if (name == kCorners[i]) {
      gradient->SetCorner(static_cast<VideoGradientCorner>(i), yuv[0], yuv[1], yuv[2]);
      return true;
    }
  }
  return error = "VideoGradient has no value \"" + name + "\"", false;
}

bool SetFiles(RTVFileInput* input, const std::string& name, const std::string& value,
              std::string& error) {
  if (name != "files") return error = "RTVFileInput has no value \"" + name + "\"", false;
  std::stringstream stream(value);
  std::string file;
  input->FileSelect_StartSetting();
  while (std::getline(stream, file, ',')) {
    if (!file.empty()) input->FileSelect_Set(0xFFFFFFFFul, file.c_str());
  }
  return true;
}

}  // namespace

int ConnectionIndex(DataStream_Processor* node, const std::string& key) {
  if (key == "input" || key == "input0") return 0;
  if (dynamic_cast<LumaEffect*>(node) != nullptr) {
    if (key == "luma") return 0;
    if (key == "chroma" || key == "input1") return 1;
  }
  return -1;
}

bool SetNodeValue(DataStream_Processor* node, const std::string& key, const std::string& value,
                  std::string& error) {
  if (auto* key_node = dynamic_cast<ChromaKey*>(node))
    return SetKeyValue(key_node, key, value, error);
  if (auto* gradient = dynamic_cast<VideoGradient*>(node)) {
    return SetGradientValue(gradient, key, value, error);
  }
  if (auto* input = dynamic_cast<RTVFileInput*>(node)) return SetFiles(input, key, value, error);
  if (auto* output = dynamic_cast<VideoQuellorOutput*>(node)) {
    return SetOutputValue(output, key, value, error);
  }
  error = "no value \"" + key + "\" on this node";
  return false;
}

bool SetOutputValue(VideoQuellorOutput* output, const std::string& key, const std::string& value,
                    std::string& error) {
  double number = 0;
  if (key == "standard") {
    if (value != "ntsc" && value != "pal") return error = "standard: ntsc or pal", false;
    output->SetStandardFlag(value == "ntsc" ? 1 : 0);
    return true;
  }
  if (!ParseNumber(value, number)) return error = key + ": a number", false;
  if (key == "loop") {
    output->GetLoopingMode()->Set(static_cast<int>(number));
  } else if (key == "time") {
    output->GetCurrentTimeFrame()->Set(number);
  } else if (key == "speed") {
    output->GetFrameIncrement()->Set(number);
  } else {
    return error = "VideoQuellorOutput has no value \"" + key + "\"", false;
  }
  return true;
}

}  // namespace quellor::quellhost
