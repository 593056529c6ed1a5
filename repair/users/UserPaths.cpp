#include "repair/users/UserPaths.h"

#include <array>

#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kLongPathPrefixes[] = {L"\\\\?\\", L"\\??\\"};

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

}  // namespace

std::optional<wchar_t> driveLetterOf(std::wstring_view path) {
    for (const auto prefix : kLongPathPrefixes) {
        if (path.starts_with(prefix)) {
            path.remove_prefix(prefix.size());
            break;
        }
    }
    if (path.size() < 3 || path[1] != L':' || !isSeparator(path[2])) {
        return std::nullopt;
    }
    const wchar_t letter = path[0];
    if (letter >= L'a' && letter <= L'z') {
        return static_cast<wchar_t>(letter - L'a' + L'A');
    }
    return letter >= L'A' && letter <= L'Z' ? std::optional(letter) : std::nullopt;
}

bool mayOpenUserPath(FileOps& platform, std::wstring_view path) {
    const auto letter = driveLetterOf(path);
    if (!letter) {
        return false;
    }
    const auto fixed = platform.IsLocalFixedDrive(*letter);
    return fixed.ok() && fixed.value();
}

Result<std::wstring> nativeSystemFolder(FileOps& platform) {
    const auto windows = platform.GetSpecialFolder(SpecialFolder::Windows);
    if (windows.ok()) {
        const auto alias = windows.value() + L"\\Sysnative";
        const auto probe = platform.FileExists(alias);
        if (!probe.ok() && probe.error() == std::errc::is_a_directory) {
            return alias;
        }
    }
    return platform.GetSpecialFolder(SpecialFolder::System);
}

bool isStartupFolderFilePath(std::wstring_view path) {
    constexpr std::array<std::wstring_view, 3> kFolders = {L"Start Menu", L"Programs", L"Startup"};
    auto rest = path.substr(0, path.rfind(L'\\'));
    if (rest.size() == path.size() || rest.size() + 1 == path.size()) {
        return false;
    }
    for (auto name = kFolders.rbegin(); name != kFolders.rend(); ++name) {
        const auto slash = rest.rfind(L'\\');
        if (slash == std::wstring_view::npos ||
            !equalsIgnoringCase(rest.substr(slash + 1), *name)) {
            return false;
        }
        rest = rest.substr(0, slash);
    }
    return true;
}

}  // namespace tovask
