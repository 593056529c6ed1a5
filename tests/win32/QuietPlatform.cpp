#include "tests/win32/QuietPlatform.h"

namespace tovask::testsupport {

std::error_code QuietPlatform::RegWrite(std::wstring_view path, RegistryData value,
                                        RegistryType type) {
    return real_.RegWrite(path, value, type);
}

std::error_code QuietPlatform::RegDelete(std::wstring_view path) {
    return real_.RegDelete(path);
}

bool QuietPlatform::HasTwoRegistryViews() {
    return real_.HasTwoRegistryViews();
}

Result<RegistryValue> QuietPlatform::RegReadValue(std::wstring_view path, RegistryView view) {
    return real_.RegReadValue(path, view);
}

Result<bool> QuietPlatform::RegKeyExists(std::wstring_view keyPath, RegistryView view) {
    return real_.RegKeyExists(keyPath, view);
}

Result<RegistryKeyContent> QuietPlatform::RegReadTree(std::wstring_view keyPath,
                                                      RegistryView view) {
    return real_.RegReadTree(keyPath, view);
}

std::error_code QuietPlatform::RegCreateKeyIn(std::wstring_view keyPath, RegistryView view) {
    return real_.RegCreateKeyIn(keyPath, view);
}

std::error_code QuietPlatform::RegWriteRaw(std::wstring_view keyPath, std::wstring_view valueName,
                                           const RegistryValue& value, RegistryView view) {
    return real_.RegWriteRaw(keyPath, valueName, value, view);
}

std::error_code QuietPlatform::RegDeleteValueIn(std::wstring_view keyPath,
                                                std::wstring_view valueName, RegistryView view) {
    return real_.RegDeleteValueIn(keyPath, valueName, view);
}

std::error_code QuietPlatform::RegDeleteIn(std::wstring_view path, RegistryView view) {
    return real_.RegDeleteIn(path, view);
}

Result<std::wstring> QuietPlatform::GetSpecialFolder(SpecialFolder folder) {
    const auto& chosen = folder == SpecialFolder::Windows ? windowsFolder : systemFolder;
    return chosen ? Result<std::wstring>(*chosen) : real_.GetSpecialFolder(folder);
}

Result<bool> QuietPlatform::FileExists(std::wstring_view path) {
    return real_.FileExists(path);
}

Result<bool> QuietPlatform::FileHasContent(std::wstring_view path, std::string_view content) {
    return real_.FileHasContent(path, content);
}

std::error_code QuietPlatform::ClearAttributes(std::wstring_view path) {
    return real_.ClearAttributes(path);
}

std::error_code QuietPlatform::CopyFileOver(std::wstring_view source,
                                            std::wstring_view destination) {
    return real_.CopyFileOver(source, destination);
}

std::error_code QuietPlatform::ReplaceFileContent(std::wstring_view path,
                                                  std::string_view content) {
    return real_.ReplaceFileContent(path, content);
}

Result<std::string> QuietPlatform::ReadFileContent(std::wstring_view path, std::size_t limit) {
    return real_.ReadFileContent(path, limit);
}

std::uintptr_t QuietPlatform::FindWindowA(std::wstring_view className) {
    return real_.FindWindowA(className);
}

void QuietPlatform::InitCommonControls() {
    real_.InitCommonControls();
}

std::error_code QuietPlatform::LaunchCommand(std::wstring_view program, std::wstring_view argument,
                                             LaunchStyle style) {
    launches.push_back({std::wstring(program) + L" " + std::wstring(argument), style});
    return {};
}

std::error_code QuietPlatform::ShowMessage(std::wstring_view prompt, MessageStyle style,
                                           std::wstring_view title) {
    messages.push_back({std::wstring(prompt), style, std::wstring(title)});
    return {};
}

void QuietPlatform::EndProgram() {
    ++endProgramCalls;
}

Result<std::wstring> QuietPlatform::ProgramUserSid() {
    return real_.ProgramUserSid();
}

Result<std::wstring> QuietPlatform::DesktopUserSid() {
    return real_.DesktopUserSid();
}

Result<std::wstring> QuietPlatform::ExpandEnvironment(std::wstring_view text) {
    return real_.ExpandEnvironment(text);
}

std::error_code QuietPlatform::FlushDnsCache() {
    return real_.FlushDnsCache();
}

Result<bool> QuietPlatform::IsElevated() {
    return real_.IsElevated();
}

Result<std::vector<std::wstring>> QuietPlatform::ProcessOwners(std::wstring_view executableName) {
    return real_.ProcessOwners(executableName);
}

Result<std::vector<std::wstring>> QuietPlatform::LoadedUserHives() {
    return real_.LoadedUserHives();
}

std::error_code QuietPlatform::LoadUserHive(std::wstring_view mountName,
                                            std::wstring_view hiveFile) {
    return real_.LoadUserHive(mountName, hiveFile);
}

std::error_code QuietPlatform::UnloadUserHive(std::wstring_view mountName) {
    return real_.UnloadUserHive(mountName);
}

std::error_code QuietPlatform::AcquireRepairLock(std::chrono::milliseconds wait) {
    return real_.AcquireRepairLock(wait);
}

void QuietPlatform::ReleaseRepairLock() {
    real_.ReleaseRepairLock();
}

std::wstring QuietPlatform::DescribeError(std::error_code error) {
    return real_.DescribeError(error);
}

}  // namespace tovask::testsupport
