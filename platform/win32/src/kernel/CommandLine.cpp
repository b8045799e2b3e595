#include "kernel/CommandLine.h"

namespace quellor::win32 {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::size_t SkipBlanks(std::string_view line, std::size_t at) {
  while (at < line.size() && IsBlank(line[at])) ++at;
  return at;
}

// The program name: no escapes at all.
std::size_t TakeProgram(std::string_view line, std::size_t at, std::string& program) {
  if (at < line.size() && line[at] == '"') {
    std::size_t close = line.find('"', at + 1);
    if (close == std::string_view::npos) close = line.size();
    program = line.substr(at + 1, close - at - 1);
    return close < line.size() ? close + 1 : close;
  }
  std::size_t end = at;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  program = line.substr(at, end - at);
  return end;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> arguments;
  std::size_t at = SkipBlanks(line, 0);
  if (at >= line.size()) return arguments;
  std::string program;
  at = TakeProgram(line, at, program);
  arguments.push_back(program);

  std::string current;
  bool started = false;  // a quoted empty argument ("") still counts
  bool quoted = false;
  while (at < line.size()) {
    char c = line[at];
    if (c == '\\') {
      std::size_t count = 0;
      while (at < line.size() && line[at] == '\\') {
        ++count;
        ++at;
      }
      if (at < line.size() && line[at] == '"') {
        current.append(count / 2, '\\');
        if (count % 2 == 1) {
          current += '"';
          ++at;
        }
      } else {
        current.append(count, '\\');
      }
      started = true;
      continue;
    }
    if (c == '"') {
      if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
        current += '"';
        at += 2;
      } else {
        quoted = !quoted;
        ++at;
      }
      started = true;
      continue;
    }
    if (IsBlank(c) && !quoted) {
      if (started) arguments.push_back(std::move(current));
      current.clear();
      started = false;
      at = SkipBlanks(line, at);
      continue;
    }
    current += c;
    started = true;
    ++at;
  }
  if (started) arguments.push_back(std::move(current));
  return arguments;
}

}  // namespace quellor::win32
