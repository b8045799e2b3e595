// rtvtool as a user or an attacker runs it: the input picks a command line
// and supplies its input file (see ClipInput.h). Beyond memory safety the
// target checks the tool's promises: a failed command leaves no partial
// output, an output naming the input is refused with the input untouched,
// and info --json never prints a number JSON cannot carry.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "ClipInput.h"
#include "Commands.h"

extern "C" __attribute__((weak)) std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size,
                                                              std::size_t max_size);

namespace {

namespace fs = std::filesystem;

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path path = fs::temp_directory_path() / ("rtvtool_cli_fuzz." + std::to_string(getpid()));
    fs::create_directories(path);
    return path;
  }();
  return folder;
}

std::vector<std::uint8_t> ReadBack(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Store(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "rtvtool_cli_fuzzer: %s\n%s\n", what, detail.c_str());
  std::abort();
}

// Only the input may remain after a failed command.
void CheckNothingLeft(const fs::path& input, const std::string& err) {
  for (const auto& entry : fs::directory_iterator(Folder())) {
    if (entry.path() != input)
      Fail("a failed command left a file behind", entry.path().string() + "\n" + err);
  }
}

void CheckJson(const std::string& out) {
  for (const char* word : {"nan", "inf", "NaN", "Inf"}) {
    if (out.find(word) != std::string::npos) Fail("info --json printed a non-number", out);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quellor::fuzz::ClipInput input;
  if (!quellor::fuzz::SplitInput(data, size, &input)) return 0;
  const std::vector<std::uint8_t> file = quellor::fuzz::ExpandFile(input);
  const fs::path in = Folder() / "in.rtv";
  const std::string out_path = (Folder() / "out").string();
  if (!Store(in, file)) return 0;

  quellor::rtvtool::Arguments args;
  bool refused_case = false;
  switch (input.command % 8) {
    case 0:
      args = {"info", in.string()};
      break;
    case 1:
      args = {"info", in.string(), "--json"};
      break;
    case 2:
      args = {"to-y4m", in.string(), "-o", out_path};
      break;
    case 3:
    case 7:
      args = {"export", in.string(), "--frame", std::to_string(input.frame % 8), "-o", out_path};
      break;
    case 4:
      args = {"from-y4m", in.string(), "-o", out_path};
      break;
    case 5:
      args = {"to-y4m", in.string(), "-o", in.string()};
      refused_case = true;
      break;
    default:
      args = {"from-y4m", in.string(), "-o", (Folder() / "." / "in.rtv").string()};
      refused_case = true;
  }
  std::ostringstream out, err;
  const int status = quellor::rtvtool::RunCommand(args, out, err);
  if (refused_case && (status != 1 || ReadBack(in) != file)) {
    Fail("an output naming the input was not refused", err.str());
  }
  if (status != 0) CheckNothingLeft(in, err.str());
  if (status == 0 && input.command % 8 == 1) CheckJson(out.str());
  std::error_code ignored;
  fs::remove(out_path, ignored);
  return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t max_size, unsigned int seed) {
  std::mt19937 random(seed);
  if (LLVMFuzzerMutate != nullptr && random() % 2 == 0) {
    return LLVMFuzzerMutate(data, size, max_size);
  }
  const std::size_t mutated = quellor::fuzz::MutateClipInput(data, size, max_size, random);
  if (mutated != 0) return mutated;
  return LLVMFuzzerMutate != nullptr ? LLVMFuzzerMutate(data, size, max_size) : size;
}
