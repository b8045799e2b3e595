// Starting outside programs (the clip player, the preview programs). The
// launch goes through one replaceable function so that tests can see the
// command lines and stand in for the programs.
#pragma once

#include <functional>
#include <string>

#include "windows.h"

namespace quellor::clipviewer {

// application: full path or null (then the first word of the command line is
// looked up). hidden: the program's window starts hidden. On success `info`
// holds the process and thread handles, which the caller closes.
using LaunchFunction = std::function<bool(const char* application, const std::string& commandLine,
                                          bool hidden, PROCESS_INFORMATION* info)>;

bool LaunchProgram(const char* application, const std::string& commandLine, bool hidden,
                   PROCESS_INFORMATION* info);
// Installs a replacement (empty restores CreateProcessA); returns the previous.
LaunchFunction SetLaunchFunction(LaunchFunction launch);
// The real launch, for replacements that pass some launches on.
bool CreateProcessLaunch(const char* application, const std::string& commandLine, bool hidden,
                         PROCESS_INFORMATION* info);

}  // namespace quellor::clipviewer
