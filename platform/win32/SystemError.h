#pragma once

#include <windows.h>

#include <system_error>

namespace tovask::win32 {

// The system's result code as an error; success gives no error. A missing
// file, folder, key or value becomes std::errc::no_such_file_or_directory, the
// one failure that callers tell apart from all others.
std::error_code errorFromCode(DWORD code);
std::error_code lastError();
// A COM result as an error; a wrapped system code is treated as errorFromCode.
std::error_code errorFromResult(HRESULT result);

}  // namespace tovask::win32
