// rtvtool info FILE [--json]: the headers and derived values of a clip.
#include <cmath>
#include <cstring>
#include <iomanip>
#include <sstream>

#include "CommandLine.h"
#include "Commands.h"
#include "cliplib/clip/ClipFile.h"

namespace quellor::rtvtool {
namespace {

const char* KindName(std::uint16_t kind) {
  switch (kind) {
    case quellor::clip::kRtvStreamVideo:
      return "video";
    case quellor::clip::kRtvStreamAudio:
      return "audio";
    default:
      return "other";
  }
}

std::string MagicText(std::uint32_t magic) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>(magic >> (8 * i));
    text += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return text;
}

std::string JsonString(const std::string& text) {
  std::ostringstream out;
  out << '"';
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out << '\\' << c;
    } else if (c < 0x20) {
      out << "\\u" << std::hex << std::setw(4) << std::setfill('0') << static_cast<int>(c)
          << std::dec;
    } else {
      out << c;
    }
  }
  out << '"';
  return out.str();
}

std::string RateText(float rate) {
  std::ostringstream out;
  out << std::setprecision(8) << rate;
  return out.str();
}

// A rate as a JSON member: the number, or null with the float's raw bits
// beside it when it is not a number JSON can carry (nan, inf).
std::string JsonRate(const char* name, float rate) {
  if (std::isfinite(rate)) return "\"" + std::string(name) + "\": " + RateText(rate);
  std::uint32_t bits = 0;
  std::memcpy(&bits, &rate, sizeof bits);
  return "\"" + std::string(name) + "\": null, \"" + name + "_bits\": " + std::to_string(bits);
}

void PrintText(const std::string& path, const quellor::clip::ClipFile& clip, std::ostream& out) {
  const quellor::clip::RtvFileHeader& h = clip.header();
  out << "File: " << path << "\n"
      << "Magic: " << MagicText(h.magic) << "\n"
      << "Type: " << h.type << "\n"
      << "Data offset: " << h.data_offset << "\n"
      << "Stream count: " << h.stream_count << "\n"
      << "Frame set size: " << h.frame_set_size << "\n"
      << "Header field rate: " << RateText(h.field_rate) << "\n";
  const auto& streams = clip.stream_headers();
  for (std::size_t i = 0; i < streams.size(); ++i) {
    const quellor::clip::RtvStreamHeader& s = streams[i];
    out << "Stream " << i << ": kind " << s.kind << " (" << KindName(s.kind) << "), subtype "
        << s.subtype << ", chunk size " << s.chunk_size << ", raster offset " << s.raster_offset
        << ", raster line length " << s.raster_line_length << ", active line length "
        << s.active_line_length << ", lines " << s.lines << "\n";
  }
  const std::uint64_t fields = clip.FieldCount();
  out << "Field rate: " << RateText(clip.field_rate()) << "\n"
      << "Fields: " << fields << "\n"
      << "Whole frames: " << fields / 2 << "\n";
}

void PrintJson(const std::string& path, const quellor::clip::ClipFile& clip, std::ostream& out) {
  const quellor::clip::RtvFileHeader& h = clip.header();
  out << "{\n  \"file\": " << JsonString(path) << ",\n"
      << "  \"header\": {\"magic\": " << JsonString(MagicText(h.magic)) << ", \"type\": " << h.type
      << ", \"data_offset\": " << h.data_offset << ", \"stream_count\": " << h.stream_count
      << ", \"frame_set_size\": " << h.frame_set_size << ", "
      << JsonRate("field_rate", h.field_rate) << "},\n"
      << "  \"streams\": [";
  const auto& streams = clip.stream_headers();
  for (std::size_t i = 0; i < streams.size(); ++i) {
    const quellor::clip::RtvStreamHeader& s = streams[i];
    out << (i ? ",\n" : "\n") << "    {\"kind\": " << s.kind << ", \"subtype\": " << s.subtype
        << ", \"chunk_size\": " << s.chunk_size << ", \"raster_offset\": " << s.raster_offset
        << ", \"raster_line_length\": " << s.raster_line_length
        << ", \"active_line_length\": " << s.active_line_length << ", \"lines\": " << s.lines
        << "}";
  }
  const std::uint64_t fields = clip.FieldCount();
  out << "\n  ],\n"
      << "  " << JsonRate("field_rate", clip.field_rate()) << ",\n"
      << "  \"fields\": " << fields << ",\n"
      << "  \"frames\": " << fields / 2 << "\n}\n";
}

}  // namespace

int RunInfo(const Arguments& args, std::ostream& out, std::ostream& err) {
  const CommandLine line(args, {}, {"--json"});
  if (!line.ok() || line.positional().size() != 1) {
    err << (line.ok() ? "" : "rtvtool: " + line.error() + "\n") << kUsageText;
    return 2;
  }
  const std::string& path = line.positional()[0];
  try {
    auto clip = quellor::clip::ClipFile::Open(path.c_str());
    if (line.Flag("--json")) {
      PrintJson(path, *clip, out);
    } else {
      PrintText(path, *clip, out);
    }
    clip->Close();
  } catch (const char* text) {
    err << "rtvtool: " << path << ": " << text << "\n";
    return 1;
  }
  return 0;
}

}  // namespace quellor::rtvtool
