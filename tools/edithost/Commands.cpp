#include "Commands.h"

#include "CommandTable.h"

namespace quellor::edithost {

const char* const kUsageText =
    "usage: edithost interfaces [--plugin PATH]\n"
    "       edithost info CLIP [--plugin PATH]\n"
    "       edithost read CLIP --format 422|444|rgba [--frames A-B] -o OUT [--plugin PATH]\n"
    "       edithost write --format 422|444|rgba IN... -o CLIP [--plugin PATH]\n"
    "       edithost record --seconds N -o CLIP [--plugin PATH]\n"
    "       edithost play CLIP... [--speed X] [--plugin PATH]\n"
    "\n"
    "  interfaces  the interfaces the plug-in offers, as the editing host discovers them\n"
    "  info        the clip as the plug-in describes it: frames, picture, formats\n"
    "  read        frames through the plug-in in a format; OUT.png writes pictures\n"
    "              (OUT-NNNN.png for several frames), any other OUT the raw frames\n"
    "  write       a clip through the plug-in from PNG pictures (one frame each) or\n"
    "              a YUV4MPEG2 4:2:2 stream (IN.y4m), converted to the format first\n"
    "  record      N seconds of the board's input into CLIP through the recording\n"
    "              interface\n"
    "  play        clips one after the other out of the board through the output\n"
    "              sink, paced by time stamps (X times as fast with --speed)\n"
    "\n"
    "The plug-in is rtvbridge.so beside edithost unless --plugin names another.\n";

std::optional<std::string> Options::Value(const std::string& name) const {
  const auto found = values.find(name);
  if (found == values.end()) return std::nullopt;
  return found->second;
}

Options ParseOptions(const Arguments& words, const std::set<std::string>& valued) {
  Options options;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.size() > 1 && word[0] == '-') {
      if (valued.count(word) == 0) {
        options.error = "unknown option \"" + word + "\"";
      } else if (i + 1 >= words.size()) {
        options.error = "option \"" + word + "\" needs a value";
      } else {
        options.values[word] = words[++i];
      }
      if (!options.error.empty()) return options;
    } else {
      options.positional.push_back(word);
    }
  }
  return options;
}

std::unique_ptr<BridgePlugin> LoadPlugin(const Options& options, std::ostream& err) {
  const std::string path = options.Value("--plugin").value_or(BridgePlugin::DefaultPath());
  std::string error;
  std::unique_ptr<BridgePlugin> plugin = BridgePlugin::Load(path, &error);
  if (!plugin) err << "edithost: cannot load the plug-in: " << error << "\n";
  return plugin;
}

int RunCommand(const Arguments& args, std::ostream& out, std::ostream& err) {
  return tools::RunCommandTable("edithost", kUsageText,
                                {
                                    {"interfaces", RunInterfaces},
                                    {"info", RunInfo},
                                    {"read", RunRead},
                                    {"write", RunWrite},
                                    {"record", RunRecord},
                                    {"play", RunPlay},
                                },
                                args, out, err);
}

}  // namespace quellor::edithost
