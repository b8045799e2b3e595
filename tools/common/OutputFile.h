// An output file of a command-line tool, written so that nothing is lost: the
// job writes to a temporary file in the target's folder, and only a job that
// succeeded renames it over the target. A failed job, an exception or Ctrl-C
// (SIGINT, SIGTERM, SIGHUP) removes the temporary and leaves the old file as
// it was. An output that is the same file as one of the job's inputs (same
// device and inode, whatever the names) is refused before anything is opened
// for writing.
//
// A target that exists and is a device or a pipe (/dev/stdout, /dev/null, a
// FIFO) cannot be replaced: it is written directly.
#pragma once

#include <string>
#include <vector>

namespace quellor::tools {

class OutputFile {
 public:
  explicit OutputFile(std::string target);
  // Removes the temporary unless Commit succeeded.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Checks the target against `inputs` and creates the temporary. False with
  // the reason in `error` ("FILE is the same file as the input INPUT", ...).
  bool Open(const std::vector<std::string>& inputs, std::string* error);

  // Where the job writes: the temporary (or the target itself when it is a
  // device or pipe). The file exists, empty, after Open.
  const std::string& path() const { return write_path_; }

  // Renames the temporary over the target. False with the reason in `error`;
  // the temporary is then removed.
  bool Commit(std::string* error);
  // Removes the temporary now.
  void Discard();

 private:
  std::string target_;      // as given, for messages
  std::string final_path_;  // the target with symbolic links resolved
  std::string write_path_;
  bool temporary_ = false;  // write_path_ is a temporary of ours
};

// Whether `a` and `b` name the same existing file (device and inode).
bool SameFile(const std::string& a, const std::string& b);

}  // namespace quellor::tools
