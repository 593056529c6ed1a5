#pragma once

#include <optional>
#include <string_view>

#include "platform/FileOps.h"

namespace tovask {

// The drive letter, in upper case, of a full path on a drive ("C:\...", also
// written "\\?\C:\..."); none for a UNC path ("\\server\share",
// "\\?\UNC\..."), a device path ("\\.\..."), or a relative one.
std::optional<wchar_t> driveLetterOf(std::wstring_view path);

// Whether the elevated program may open a path that a user's hive or files
// named: one on a disk fixed in this machine. Anything else is refused before
// any file-system call: opening a share sends the administrator's
// credentials to whoever answers for it.
bool mayOpenUserPath(FileOps& platform, std::wstring_view path);

}  // namespace tovask
