#pragma once

#include <variant>

#include "platform/PlatformOps.h"
#include "repair/commandline/CommandLine.h"

namespace tovask::app {

// Carries out a command given on the command line with no window and no
// message box: the report goes to the console or output it was started with
// and to the log, and the outcome becomes the exit code.
int runUnattended(PlatformOps& platform,
                  const std::variant<UnattendedRequest, CommandLineMistake>& request);

}  // namespace tovask::app
