#include "repair/preferences/ResetPage.h"

#include "repair/preferences/PreferenceTexts.h"
#include "repair/texts/ProgramTexts.h"
#include "repair/users/UserPaths.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kAppPaths =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// The browser's program where its installer registered it: a file of that
// name on a disk of this machine, never a share.
std::optional<std::wstring> programOf(PlatformOps& platform, const ProfileBrowser& browser) {
    const auto value = platform.RegReadValue(
        std::wstring(kAppPaths) + std::wstring(browser.program) + L"\\", RegistryView::Default);
    const auto path = value.ok() ? textOf(value.value()) : std::nullopt;
    if (!path || !endsWithIgnoringCase(*path, L"\\" + std::wstring(browser.program)) ||
        path->find(L'"') != std::wstring::npos || !mayOpenUserPath(platform, *path)) {
        return std::nullopt;
    }
    return path;
}

}  // namespace

std::optional<std::wstring> resetPageArguments(const BrowserProfile& profile) {
    const auto page = std::wstring(profile.browser->resetPage);
    if (page.empty() || profile.name.find(L'"') != std::wstring::npos) {
        return std::nullopt;
    }
    return profile.name.empty() ? page : L"--profile-directory=\"" + profile.name + L"\" " + page;
}

void offerResetPages(PlatformOps& platform, ProgressView& view,
                     std::span<const BrowserProfile> profiles, FailureLog& failures) {
    for (const auto& profile : profiles) {
        const auto arguments = profile.runningUser ? resetPageArguments(profile) : std::nullopt;
        if (!arguments) {
            continue;
        }
        const Notice question{NoticeKind::Information,
                              std::wstring(texts::kWarningTitle),
                              {std::wstring(texts::kOpenResetPagePrefix) + profile.group,
                               std::wstring(texts::kOpenResetPageQuestion)}};
        if (!view.offer(question)) {
            continue;
        }
        const auto program = programOf(platform, *profile.browser);
        const auto error = program ? platform.StartAsDesktopUser(*program, *arguments)
                                   : std::make_error_code(std::errc::no_such_file_or_directory);
        if (error) {
            failures.add(std::wstring(profile.browser->program), error);
        }
    }
}

}  // namespace tovask
