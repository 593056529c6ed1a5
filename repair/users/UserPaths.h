#pragma once

#include <optional>
#include <string>
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

// System32 as this 32-bit program must name it to reach the 64-bit one: the
// Windows folder's Sysnative alias where there is one, since System32 would
// lead it to SysWOW64 on a 64-bit Windows.
Result<std::wstring> nativeSystemFolder(FileOps& platform);

// Whether a path names a file directly in a Startup folder of a Start menu.
bool isStartupFolderFilePath(std::wstring_view path);

}  // namespace tovask
