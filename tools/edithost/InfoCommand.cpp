// edithost interfaces, edithost info CLIP: what discovery and the reading
// interface's description say.
#include <cstdio>
#include <cstring>
#include <iomanip>

#include "Commands.h"

namespace quellor::edithost {
namespace {

std::string Text(const char* field, std::size_t size) {
  return std::string(field, strnlen(field, size));
}

void PrintInterfaces(const BridgePlugin& plugin, std::ostream& out) {
  for (const DiscoveredInterface& entry : plugin.Discover()) {
    out << std::left << std::setw(11) << entry.kind;
    if (!entry.offered) {
      out << "not offered\n";
      continue;
    }
    out << entry.displayName << "  {" << entry.guid << "}  capability " << entry.capability << "\n";
  }
}

}  // namespace

int RunInterfaces(const Arguments& args, std::ostream& out, std::ostream& err) {
  const Options options = ParseOptions(args, {"--plugin"});
  if (!options.error.empty() || !options.positional.empty()) {
    err << (options.error.empty() ? "" : "edithost: " + options.error + "\n") << kUsageText;
    return 2;
  }
  const std::unique_ptr<BridgePlugin> plugin = LoadPlugin(options, err);
  if (!plugin) return 1;
  PrintInterfaces(*plugin, out);
  return 0;
}

int RunInfo(const Arguments& args, std::ostream& out, std::ostream& err) {
  const Options options = ParseOptions(args, {"--plugin"});
  if (!options.error.empty() || options.positional.size() != 1) {
    err << (options.error.empty() ? "" : "edithost: " + options.error + "\n") << kUsageText;
    return 2;
  }
  const std::string& clip = options.positional[0];
  const std::unique_ptr<BridgePlugin> plugin = LoadPlugin(options, err);
  if (!plugin) return 1;
  const BridgeCalls& calls = plugin->calls();
  Handle handle = nullptr;
  if (calls.openForRead(&handle, clip.c_str()) != 1) {
    err << "edithost: " << clip << ": the plug-in does not open it (missing, or not an RTV clip)\n";
    return 1;
  }
  ReadingFileInfoRecord info{};
  info.size = sizeof info;
  const bool described = calls.readingInfo(handle, &info) == 1;
  if (!described) {
    calls.closeReading(handle);
    err << "edithost: " << clip << ": the plug-in cannot read the clip's headers\n";
    return 1;
  }
  out << "interfaces\n";
  PrintInterfaces(*plugin, out);
  out << "clip       " << clip << "\n"
      << "producer   " << Text(info.producer, sizeof info.producer) << "\n"
      << "frames     " << info.frameCount << "\n";
  const ImageFormatRecord& first = info.formats[0];
  out << "picture    " << first.width << " x " << first.height << "\n"
      << "rate       " << first.rateNumerator << "/" << first.rateDenominator << "\n"
      << "formats\n";
  for (int i = 0; i < info.formatCount && i < 3; ++i) {
    const ImageFormatRecord& f = info.formats[i];
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%X", static_cast<unsigned>(f.flags));
    out << "  " << std::left << std::setw(8) << Text(f.name, sizeof f.name) << " {"
        << Text(f.guid, sizeof f.guid) << "}  " << f.bytesPerFrame << " bytes a frame, flags "
        << flags << "\n";
  }
  calls.closeReading(handle);
  return 0;
}

}  // namespace quellor::edithost
