// edithost play CLIP... [--speed X]: clips played out of the board through
// the plug-in's sink, as the editing host plays its timeline: every frame
// read into a borrowed sink buffer in 4:2:2 and handed back with its
// presentation time, so the plug-in's output thread paces the output.
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Commands.h"

namespace quellor::edithost {
namespace {

constexpr const char* kGuid422 = "81A3D6E5-2C47-11d1-94D6-00805F3B1A4E";

// The sink interface, the sink and the reading handles, closed in order
// when the command ends.
struct Playout {
  const BridgeCalls& calls;
  bool interfaceOpen = false;
  Handle sink = nullptr;
  std::vector<Handle> readers;
  ~Playout() {
    for (Handle reader : readers) calls.closeReading(reader);
    if (sink != nullptr) calls.closeSink(sink);
    if (interfaceOpen) calls.closeSinkInterface();
  }
};

std::optional<double> ParseSpeed(const std::string& text) {
  char* end = nullptr;
  const double speed = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(speed >= 0.01) || speed > 100) return std::nullopt;
  return speed;
}

}  // namespace

int RunPlay(const Arguments& args, std::ostream& out, std::ostream& err) {
  const Options options = ParseOptions(args, {"--speed", "--plugin"});
  const std::optional<double> speed = ParseSpeed(options.Value("--speed").value_or("1"));
  if (!options.error.empty() || options.positional.empty() || !speed) {
    err << (options.error.empty() ? "" : "edithost: " + options.error + "\n") << kUsageText;
    return 2;
  }
  const std::unique_ptr<BridgePlugin> plugin = LoadPlugin(options, err);
  if (!plugin) return 1;
  const BridgeCalls& calls = plugin->calls();
  Playout playout{calls, false, nullptr, {}};

  std::vector<int> frames;
  for (const std::string& clip : options.positional) {
    Handle reader = nullptr;
    ReadingFileInfoRecord info{};
    info.size = sizeof info;
    if (calls.openForRead(&reader, clip.c_str()) != 1 || calls.readingInfo(reader, &info) != 1) {
      if (reader != nullptr) calls.closeReading(reader);
      err << "edithost: " << clip << ": the plug-in does not read it (missing, or not an RTV "
          << "clip)\n";
      return 1;
    }
    playout.readers.push_back(reader);
    frames.push_back(info.frameCount);
  }

  InterfaceRecord query{};
  query.hostLevel = 324;
  if (calls.querySink(&query) != 1) {
    err << "edithost: the plug-in offers no output sink\n";
    return 1;
  }
  playout.interfaceOpen = true;
  SinkOpenRecord open{};
  if (calls.openSink(&playout.sink, &open) != 1) {
    err << "edithost: the plug-in cannot open its sink\n";
    return 1;
  }
  SinkInfoRecord sinkInfo{};
  calls.sinkInfo(playout.sink, &sinkInfo);
  const ImageFormatRecord& board = sinkInfo.formats[0];
  const double frameMicroseconds =
      1e6 * double(board.rateDenominator) / double(board.rateNumerator) / *speed;
  calls.startSink(playout.sink);

  const auto began = std::chrono::steady_clock::now();
  long shown = 0;
  for (std::size_t c = 0; c < playout.readers.size(); ++c) {
    for (int n = 0; n < frames[c]; ++n) {
      SinkBufferRecord buffer{};
      buffer.size = sizeof buffer;
      std::strcpy(buffer.format.guid, kGuid422);
      if (calls.sinkGetEmptyBuffer(playout.sink, &buffer) != 1) {
        err << "edithost: the sink has no free buffer\n";
        return 1;
      }
      FrameRequestRecord request{};
      request.size = sizeof request;
      request.frameNumber = n;
      request.buffer = buffer.pixels;
      request.bufferSize = buffer.byteCount;
      std::strcpy(request.requested.guid, kGuid422);
      if (calls.readFrame(playout.readers[c], &request) != 1) {
        buffer.flags |= 1;  // not to be shown: the buffer goes back
        calls.sinkAddFullBuffer(playout.sink, &buffer);
        err << "edithost: " << options.positional[c] << ": frame " << n
            << " cannot be read (or is not " << board.width << " x " << board.height << ")\n";
        return 1;
      }
      // Time 0 would mean "at once" (and drop what is queued): the first
      // frame goes out 1 microsecond after the start.
      buffer.presentationTime = std::max<std::int64_t>(1, std::llround(shown * frameMicroseconds));
      if (calls.sinkAddFullBuffer(playout.sink, &buffer) != 1) {
        err << "edithost: the sink refused frame " << n << "\n";
        return 1;
      }
      ++shown;
    }
  }
  if (calls.stopSink(playout.sink) != 1) {
    err << "edithost: the sink did not show every frame\n";
    return 1;
  }
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  out << "played " << shown << " frames of " << playout.readers.size() << " clip"
      << (playout.readers.size() == 1 ? "" : "s") << " in " << elapsed << " s\n";
  return 0;
}

}  // namespace quellor::edithost
