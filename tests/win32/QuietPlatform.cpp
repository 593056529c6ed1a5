#include "tests/win32/QuietPlatform.h"

#include "tests/win32/TestFolder.h"

namespace tovask::testsupport {

Result<std::wstring> QuietPlatform::GetSpecialFolder(SpecialFolder folder) {
    const auto& chosen = folder == SpecialFolder::Windows ? windowsFolder : systemFolder;
    return chosen ? Result<std::wstring>(*chosen) : ForwardingPlatform::GetSpecialFolder(folder);
}

Result<SubkeyListing> QuietPlatform::RegListSubkeys(std::wstring_view keyPath, RegistryView view,
                                                    std::size_t mostNames) {
    if (windowsFolder && keyPath.starts_with(L"HKLM\\SYSTEM\\CurrentControlSet\\Services")) {
        return SubkeyListing{};
    }
    return ForwardingPlatform::RegListSubkeys(keyPath, view, mostNames);
}

std::error_code QuietPlatform::PreparePrivateFolder(std::wstring_view path) {
    if (path.ends_with(L"\\TovaskEjecuciones")) {
        forgetRunSetsWhereNoAccessListIsKept(std::wstring(path));
    }
    return ForwardingPlatform::PreparePrivateFolder(path);
}

std::error_code QuietPlatform::LaunchCommand(std::wstring_view program, std::wstring_view argument,
                                             LaunchStyle style) {
    launches.push_back({std::wstring(program) + L" " + std::wstring(argument), style});
    return {};
}

std::error_code QuietPlatform::StartAsDesktopUser(std::wstring_view program,
                                                  std::wstring_view arguments) {
    desktopStarts.push_back(std::wstring(program) + L" " + std::wstring(arguments));
    return {};
}

}  // namespace tovask::testsupport
