#pragma once

#include <windows.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/win32/Handles.h"
#include "values/Result.h"

namespace tovask::win32 {

// Files are read in slices of this size, so that a large file never has to
// fit in memory at once.
inline constexpr std::size_t kReadSlice = std::size_t{1} << 20;

// Opens an existing file for reading without getting in the way of anyone
// else reading, writing or deleting it meanwhile. A directory is refused.
std::error_code openSharedForReading(const std::wstring& path, KernelHandle& file);
// Opens an existing file for reading while others may only read it too, so
// that what is read is one version of the file, not a mix of two.
std::error_code openUnchangingForReading(const std::wstring& path, KernelHandle& file);

// Up to buffer.size() bytes; 0 at the end of the file.
Result<std::size_t> readSome(HANDLE file, std::span<char> buffer);
std::error_code writeAll(HANDLE file, std::string_view bytes);

}  // namespace tovask::win32
