#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/report/FailureLog.h"

namespace tovask {

// The folders a standard user can write: every profile's folder that
// ProfileList names, ProgramData, the public profile and the system's Temp,
// expanded, normalised and with short names made long. A ProfileList that
// cannot be read is a failure.
std::vector<std::wstring> userWritableFolders(PlatformOps& platform, FailureLog& failures);

// The folders of userWritableFolders, read the first time a path asks.
class WritableFolders {
  public:
    WritableFolders(PlatformOps& platform, FailureLog& failures)
        : platform_(platform), failures_(failures) {}

    // Whether a path, normalised and on a drive of this machine, lies in one
    // of them once its short names are made long.
    bool holds(std::wstring_view path);

  private:
    PlatformOps& platform_;
    FailureLog& failures_;
    std::optional<std::vector<std::wstring>> folders_;
};

// A short name ("BOB~1") hides which folder a path is in until the file
// system answers; it is asked only of a path on a fixed local disk, and a
// path it cannot resolve is judged as written.
std::wstring longPathOf(PlatformOps& platform, std::wstring_view path);

}  // namespace tovask
