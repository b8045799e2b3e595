// Programs of the build run as child processes: found in QUELLOR_BIN, given
// arguments and extra environment, their output captured, and never waited
// for without a bound, so a hanging program fails its test instead of
// stalling the run.
#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace quellor::testing {

using EnvironmentList = std::vector<std::pair<std::string, std::string>>;

// QUELLOR_BIN/<name>; without QUELLOR_BIN, the programs folder of the build
// the test runs from (<build>/tests/<test program>/ beside <build>/bin/).
std::string ProgramPath(const std::string& name);

struct ChildOptions {
  EnvironmentList environment;             // added to (or replacing in) this process's
  bool errorToOutput = false;              // standard error into `output`, as 2>&1
  std::string input;                       // written to its standard input, then closed
  std::chrono::milliseconds bound{60000};  // killed after this long
};

struct ChildResult {
  int exitCode = -1;  // -1 when it did not exit normally (signal, not started)
  std::string output;
  std::string error;
  bool timedOut = false;
};

// Runs `program` (a path) with the arguments and waits for it to end.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const ChildOptions& options = {});

// A child that talks with the test through pipes: its standard input stays
// open until CloseInput or Finish, and its output is read line by line.
class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const EnvironmentList& environment = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // The next line of its standard output without the newline; "" at the end
  // of the output or when `bound` passes first.
  std::string ReadLine(std::chrono::milliseconds bound = std::chrono::milliseconds(60000));
  void CloseInput();
  // Closes its input and output and waits up to `bound` for it to end (then
  // kills it); returns the exit code, -1 when it did not exit normally.
  int Finish(std::chrono::milliseconds bound = std::chrono::milliseconds(60000));

 private:
  int pid_ = -1;
  int toChild_ = -1;
  int fromChild_ = -1;
  std::string pending_;  // read but not yet returned
};

}  // namespace quellor::testing
