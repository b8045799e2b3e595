// The YUV4MPEG2 reader on arbitrary bytes. The header line parser must
// format what it accepts into a header it parses back the same; from-y4m on
// the whole input must end in success or one of its texts, and a failure
// must leave no partial clip behind.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "Commands.h"
#include "Y4mHeader.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path path = fs::temp_directory_path() / ("y4m_reader_fuzz." + std::to_string(getpid()));
    fs::create_directories(path);
    return path;
  }();
  return folder;
}

void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "y4m_reader_fuzzer: %s\n%s\n", what, detail.c_str());
  std::abort();
}

bool Same(const quellor::tools::Y4mHeader& a, const quellor::tools::Y4mHeader& b) {
  return a.width == b.width && a.height == b.height && a.rate_numerator == b.rate_numerator &&
         a.rate_denominator == b.rate_denominator && a.interlace == b.interlace &&
         a.aspect_numerator == b.aspect_numerator && a.aspect_denominator == b.aspect_denominator &&
         a.chroma == b.chroma;
}

void CheckHeaderLine(const std::string& text) {
  const std::string line = text.substr(0, text.find('\n'));
  std::string error;
  const auto header = quellor::tools::ParseY4mHeader(line, &error);
  if (!header) {
    if (error.empty()) Fail("a refused header gave no reason", line);
    return;
  }
  std::string formatted = quellor::tools::FormatY4mHeader(*header);
  formatted.pop_back();  // the newline
  const auto again = quellor::tools::ParseY4mHeader(formatted, &error);
  // A chroma or interlace value with blanks cannot survive formatting; the
  // parser splits words at blanks, so it never produces one.
  if (!again || !Same(*header, *again)) Fail("a parsed header does not survive formatting", line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckHeaderLine(text);

  const fs::path in = Folder() / "in.y4m";
  const fs::path out = Folder() / "out.rtv";
  {
    std::ofstream file(in, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!file.flush()) return 0;
  }
  std::ostringstream ignored_out, err;
  const int status =
      quellor::rtvtool::RunCommand({"from-y4m", in.string(), "-o", out.string()}, ignored_out, err);
  if (status != 0) {
    if (err.str().empty()) Fail("from-y4m failed without a message", "");
    for (const auto& entry : fs::directory_iterator(Folder())) {
      if (entry.path() != in) Fail("a failed from-y4m left a file behind", entry.path().string());
    }
  }
  std::error_code ignored;
  fs::remove(out, ignored);
  return 0;
}
