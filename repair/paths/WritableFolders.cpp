#include "repair/paths/WritableFolders.h"

#include <array>

#include "repair/paths/LocalPaths.h"
#include "repair/users/UserHives.h"
#include "repair/users/UserPaths.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// Besides the users' profiles: folders every user may write.
constexpr std::array<std::wstring_view, 3> kSharedWritableFolders = {L"%ProgramData%", L"%PUBLIC%",
                                                                     L"%SystemRoot%\\Temp"};

}  // namespace

std::vector<std::wstring> userWritableFolders(PlatformOps& platform, FailureLog& failures) {
    std::vector<std::wstring> unexpanded(kSharedWritableFolders.begin(),
                                         kSharedWritableFolders.end());
    const auto view = platform.HasTwoRegistryViews() ? RegistryView::Bits64 : RegistryView::Default;
    if (const auto profiles = platform.RegReadTree(kProfileListKey, view); profiles.ok()) {
        for (const auto& profile : profiles.value().subkeys) {
            for (const auto& value : profile.values) {
                if (equalsIgnoringCase(value.name, L"ProfileImagePath") && textOf(value.value)) {
                    unexpanded.push_back(*textOf(value.value));
                }
            }
        }
    } else {
        failures.add(kProfileListKey, profiles.error());
    }
    std::vector<std::wstring> folders;
    for (const auto& folder : unexpanded) {
        const auto expanded = platform.ExpandEnvironment(folder);
        // A name the system does not know stays unexpanded and names no folder.
        if (expanded.ok() && expanded.value().find(L'%') == std::wstring::npos) {
            folders.push_back(longPathOf(platform, normalisedPath(expanded.value())));
        }
    }
    return folders;
}

bool WritableFolders::holds(std::wstring_view path) {
    const auto normalised = normalisedPath(path);
    if (!driveLetterOf(normalised)) {
        return false;
    }
    if (!folders_) {
        folders_ = userWritableFolders(platform_, failures_);
    }
    return liesInAnyFolder(longPathOf(platform_, normalised), *folders_);
}

std::wstring longPathOf(PlatformOps& platform, std::wstring_view path) {
    if (!mayOpenUserPath(platform, path)) {
        return std::wstring(path);
    }
    const auto resolved = platform.LongPathName(path);
    return resolved.ok() ? resolved.value() : std::wstring(path);
}

}  // namespace tovask
