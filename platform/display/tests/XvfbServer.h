// An Xvfb server of the test's own on a free display number, for as long as
// the object lives.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>

namespace quellor::display::testing {

class XvfbServer {
 public:
  XvfbServer();
  ~XvfbServer();
  // False (with the reason in Skipped()) when Xvfb is not installed or did
  // not come up.
  bool Running() const { return display_ != nullptr; }
  const std::string& Skipped() const { return skipped_; }
  const std::string& Name() const { return name_; }  // ":N"
  Display* Connection() const { return display_; }   // the test's own
  // Ends the server at once (the presenter sees its connection break);
  // Connection() is null afterwards.
  void Kill();

 private:
  pid_t pid_ = -1;
  int number_ = -1;
  std::string name_;
  std::string skipped_;
  Display* display_ = nullptr;
};

}  // namespace quellor::display::testing
