#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "platform/ShortcutFiles.h"
#include "values/Result.h"

namespace tovask::win32 {

// The shortcut is never resolved: nothing is looked up on the network and
// the target is never started or searched for.
Result<ShortcutFile> readShortcut(std::wstring_view path);
// The bytes the file would hold with these arguments, written nowhere.
Result<std::string> shortcutWithArguments(std::wstring_view path, std::wstring_view arguments);
// A new shortcut, for the tests and the benchmark's seeded machine.
std::error_code createShortcut(std::wstring_view path, const ShortcutContent& content);

}  // namespace tovask::win32
