#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

#include "values/CalendarTime.h"
#include "values/Result.h"

namespace tovask::win32 {

// True for an existing file, false when nothing is there or it is a folder.
Result<bool> fileExists(std::wstring_view path);
Result<bool> isLocalFixedDrive(wchar_t letter);
Result<std::wstring> longPathName(std::wstring_view path);
// Compares sizes before any byte is read, so a large file costs nothing.
Result<bool> fileHasContent(std::wstring_view path, std::string_view content);
std::error_code clearAttributes(std::wstring_view path);
// The whole file, refused with std::errc::file_too_large when it is larger
// than the limit, before any byte is read.
Result<std::string> readFileContent(std::wstring_view path, std::size_t limit);
// The last write, in the time zone this machine shows.
Result<CalendarTime> fileWrittenAt(std::wstring_view path);

}  // namespace tovask::win32
