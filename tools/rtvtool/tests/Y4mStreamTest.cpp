#include "Y4mStream.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace quellor::tools {
namespace {

// A stream that gives `text` and then fails its next read with EIO, as a
// disk or a network file does; `fail` false ends it cleanly instead.
struct FailingSource {
  std::string text;
  bool fail = true;
  std::size_t at = 0;
};

ssize_t ReadSource(void* cookie, char* buffer, std::size_t size) {
  auto* source = static_cast<FailingSource*>(cookie);
  if (source->at == source->text.size()) {
    if (!source->fail) return 0;
    errno = EIO;
    return -1;
  }
  const std::size_t part = std::min(size, source->text.size() - source->at);
  std::memcpy(buffer, source->text.data() + source->at, part);
  source->at += part;
  return static_cast<ssize_t>(part);
}

std::FILE* Open(FailingSource& source) {
  cookie_io_functions_t calls{};
  calls.read = &ReadSource;
  return fopencookie(&source, "rb", calls);
}

TEST(Y4mStream, AReadErrorIsNoEndOfTheStream) {
  for (const char* rest : {"", "FRA"}) {
    FailingSource source{std::string("FRAME\n") + rest};
    std::FILE* file = Open(source);
    ASSERT_NE(file, nullptr);
    std::string line;
    EXPECT_EQ(ReadY4mLine(file, &line), Y4mLineEnd::Whole);
    EXPECT_EQ(line, "FRAME");
    // Before, an error at a frame's first byte read as the stream's end and
    // the frames so far became the whole clip.
    EXPECT_EQ(ReadY4mLine(file, &line), Y4mLineEnd::Failed) << '"' << rest << '"';
    std::fclose(file);
  }
}

TEST(Y4mStream, ACleanEndIsStillTheEnd) {
  FailingSource source{"FRAME\nFRA", false};
  std::FILE* file = Open(source);
  ASSERT_NE(file, nullptr);
  std::string line;
  EXPECT_EQ(ReadY4mLine(file, &line), Y4mLineEnd::Whole);
  EXPECT_EQ(ReadY4mLine(file, &line), Y4mLineEnd::Cut);
  EXPECT_EQ(ReadY4mLine(file, &line), Y4mLineEnd::EndOfInput);
  std::fclose(file);
}

}  // namespace
}  // namespace quellor::tools
