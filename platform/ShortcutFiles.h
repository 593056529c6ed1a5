#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tovask {

// How far a folder listing goes: a user's folder is hostile input, and one
// with a million entries or a deep tree must not stall the run.
struct ListingLimits {
    // 0 lists the folder alone, 1 also its subfolders, and so on.
    int maxDepth = 0;
    // Files returned at most.
    std::size_t maxFiles = 0;
    // Names looked at at most, files and folders.
    std::size_t maxEntries = 0;
};

struct FileListing {
    // Full paths, in the order found.
    std::vector<std::wstring> files;
    // Subfolders that could not be read; the others were listed all the same.
    std::vector<std::wstring> unreadableFolders;
    // A limit stopped the listing before it was complete.
    bool truncated = false;
};

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

    bool operator==(const ShortcutContent&) const = default;
};

struct ShortcutFile {
    ShortcutContent content;
    // The file exactly as it is on disk, for the backup.
    std::string bytes;
};

// Larger files are refused with std::errc::file_too_large: a shortcut is a
// few kilobytes, and a user's huge file must not stall the run.
inline constexpr std::size_t kShortcutSizeLimit = std::size_t{1} << 20;

}  // namespace tovask
