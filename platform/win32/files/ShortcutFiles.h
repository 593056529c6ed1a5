#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/Result.h"

namespace tovask::win32 {

// What a shell shortcut holds, as the shell's own shortcut object reads it.
struct ShortcutContent {
    // As stored: environment references such as %ProgramFiles% unexpanded.
    std::wstring target;
    std::wstring arguments;
    std::wstring workingFolder;
    std::wstring iconPath;
    int iconIndex = 0;
    // Virtual key in the low byte, HOTKEYF_* modifiers in the high byte.
    std::uint16_t hotKey = 0;
    // SW_SHOWNORMAL, SW_SHOWMAXIMIZED or SW_SHOWMINNOACTIVE.
    int showCommand = 1;
    std::wstring description;
    // The taskbar's application id; empty when the shortcut has none.
    std::wstring applicationId;
};

struct ShortcutFile {
    ShortcutContent content;
    // The file exactly as it is on disk, for the backup.
    std::string bytes;
};

// Larger files are refused with std::errc::file_too_large: a shortcut is a
// few kilobytes, and a user's huge file must not stall the run.
inline constexpr std::size_t kShortcutSizeLimit = std::size_t{1} << 20;

// The shortcut is never resolved: nothing is looked up on the network and
// the target is never started or searched for.
Result<ShortcutFile> readShortcut(std::wstring_view path);
// Saves the shortcut with new arguments and everything else as it was.
std::error_code rewriteShortcutArguments(std::wstring_view path, std::wstring_view arguments);
// A new shortcut, for the tests and the benchmark's seeded machine.
std::error_code createShortcut(std::wstring_view path, const ShortcutContent& content);

}  // namespace tovask::win32
