#pragma once

#include <string>
#include <variant>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/commandline/CommandLine.h"

namespace tovask::app {

// Carries out a command given on the command line with no window and no
// message box: the report goes to the console or output it was started with
// and to the log, and the outcome becomes the exit code.
int runUnattended(PlatformOps& platform,
                  const std::variant<UnattendedRequest, CommandLineMistake>& request);

// The program's arguments split as the system splits them (quotes, blanks,
// backslashes), without the program's own name.
std::vector<std::wstring> commandArguments();

}  // namespace tovask::app
