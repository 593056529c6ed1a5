#pragma once

#include <initializer_list>
#include <system_error>

namespace tovask::win32 {

// Switches on privileges that the program's account holds but that start
// switched off, such as SE_BACKUP_NAME; fails if any of them is not held.
std::error_code enablePrivileges(std::initializer_list<const wchar_t*> names);

}  // namespace tovask::win32
