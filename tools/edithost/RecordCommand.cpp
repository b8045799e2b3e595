// edithost record --seconds N -o CLIP: the board's input recorded into a clip
// through the plug-in's recording interface, as the editing host records:
// settings, a context, the clip named, a take started, the frames written
// polled, the take stopped and the context closed.
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "Commands.h"

namespace quellor::edithost {
namespace {

// The recording context, closed when the command ends.
struct Recording {
  const BridgeCalls& calls;
  Handle context = nullptr;
  ~Recording() {
    if (context != nullptr) calls.closeRecording(context);
  }
};

std::optional<double> ParseSeconds(const std::string& text) {
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(seconds > 0) || seconds > 24 * 3600) return std::nullopt;
  return seconds;
}

std::uint32_t FramesWritten(const BridgeCalls& calls, Handle context, bool* fine) {
  RecordingPositionRecord position{};
  position.size = sizeof position;
  *fine = calls.positionRecording(context, &position) == 1;
  return position.framesWritten;
}

}  // namespace

int RunRecord(const Arguments& args, std::ostream& out, std::ostream& err) {
  const Options options = ParseOptions(args, {"--seconds", "-o", "--plugin"});
  const std::optional<double> seconds = ParseSeconds(options.Value("--seconds").value_or(""));
  if (!options.error.empty() || !options.positional.empty() || !options.Value("-o") || !seconds) {
    err << (options.error.empty() ? "" : "edithost: " + options.error + "\n") << kUsageText;
    return 2;
  }
  const std::string clip = *options.Value("-o");
  const std::unique_ptr<BridgePlugin> plugin = LoadPlugin(options, err);
  if (!plugin) return 1;
  const BridgeCalls& calls = plugin->calls();

  InterfaceRecord query{};
  query.hostLevel = 324;
  if (calls.queryRecording(&query) != 1) {
    err << "edithost: the plug-in offers no recording interface\n";
    return 1;
  }
  RecordingSettingsRecord settings{};
  settings.size = sizeof settings;
  calls.recordingSettings(&settings);
  const ImageFormatRecord& stored = settings.recordedFormat;
  const double rate = stored.rateDenominator > 0
                          ? double(stored.rateNumerator) / double(stored.rateDenominator)
                          : 29.97;
  const auto wanted = static_cast<std::uint32_t>(std::lround(*seconds * rate));

  Recording recording{calls};
  RecordingOpenRecord open{rtvbridge::kRecordingOpenSize};
  if (calls.openRecording(&recording.context, &open) != 1) {
    err << "edithost: the plug-in cannot record (no engine, or another program holds the "
           "board's input probe)\n";
    return 1;
  }
  RecordingFileRecord file{};
  file.size = rtvbridge::kRecordingFileSize;
  file.module = plugin->Module();
  file.path = clip.c_str();
  if (calls.addRecordingFile(recording.context, &file) != 1) {
    err << "edithost: the plug-in refused the clip " << clip << "\n";
    return 1;
  }
  calls.startRecording(recording.context);
  // Polled as the host polls; a take without video gives up after twice its
  // length (and one second).
  const auto giveUp = std::chrono::steady_clock::now() +
                      std::chrono::milliseconds(static_cast<long>(*seconds * 2000) + 1000);
  bool fine = true;
  std::uint32_t written = 0;
  while ((written = FramesWritten(calls, recording.context, &fine)) < wanted && fine &&
         std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const bool stopped = calls.stopRecording(recording.context) == 1;
  written = FramesWritten(calls, recording.context, &fine);
  calls.closeRecording(recording.context);
  recording.context = nullptr;
  if (!stopped) {
    err << "edithost: " << clip << ": the recording did not end cleanly (" << written
        << " frames written)\n";
    return 1;
  }
  if (written < wanted) {
    err << "edithost: " << clip << ": only " << written << " of " << wanted
        << " frames were recorded (frames dropped, or no input signal)\n";
    return 1;
  }
  out << clip << ": " << written << " frames recorded (" << stored.width << " x " << stored.height
      << ", 4:2:2)\n";
  return 0;
}

}  // namespace quellor::edithost
