#pragma once

#include <string_view>
#include <system_error>

namespace tovask::win32 {

// Starts a program of the Windows folder, named by its bare file name, with
// one argument; returns as soon as it has started.
std::error_code launchSystemProgram(std::wstring_view program, std::wstring_view argument,
                                    int showCommand);

}  // namespace tovask::win32
