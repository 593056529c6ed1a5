#include "tests/fake/FakePlatform.h"

#include <algorithm>
#include <stdexcept>

#include "text/TextCompare.h"

namespace tovask::fake {

FakePlatform::FakePlatform() {
    files.addFolder(systemFolder + L"\\drivers\\etc");
    files.addFolder(windowsFolder);
}

CallEffect effectOf(std::string_view operation) {
    const auto row = std::ranges::find(kOperationEffects, operation, &OperationEffect::operation);
    if (row == std::end(kOperationEffects)) {
        throw std::logic_error("an operation missing from kOperationEffects: " +
                               std::string(operation));
    }
    return row->effect;
}

void FakePlatform::failCallAt(std::size_t position, std::error_code error) {
    addFault([=](const RecordedCall&, std::size_t index) -> std::optional<std::error_code> {
        if (index == position) {
            return error;
        }
        return std::nullopt;
    });
}

void FakePlatform::failWhere(std::string_view operation, std::wstring_view targetPrefix,
                             std::error_code error) {
    addFault([operation = std::string(operation), prefix = std::wstring(targetPrefix), error](
                 const RecordedCall& call, std::size_t) -> std::optional<std::error_code> {
        if (call.operation == operation && call.target.starts_with(prefix)) {
            return error;
        }
        return std::nullopt;
    });
}

std::optional<std::error_code> FakePlatform::record(std::string_view operation,
                                                    std::wstring_view target) {
    effectOf(operation);
    calls.push_back({std::string(operation), std::wstring(target)});
    for (const auto& fault : faults_) {
        if (auto error = fault(calls.back(), calls.size() - 1)) {
            return error;
        }
    }
    return std::nullopt;
}

std::error_code FakePlatform::RegWrite(std::wstring_view path, RegistryData value,
                                       RegistryType type) {
    if (const auto fault = record("RegWrite", path)) {
        return *fault;
    }
    return registry.write(path, value, type);
}

std::error_code FakePlatform::RegDelete(std::wstring_view path) {
    if (const auto fault = record("RegDelete", path)) {
        return *fault;
    }
    return registry.remove(path);
}

Result<RegistryValue> FakePlatform::RegReadValue(std::wstring_view path, RegistryView view) {
    if (const auto fault = record("RegReadValue", path)) {
        return *fault;
    }
    return registry.readValue(path, view);
}

Result<bool> FakePlatform::RegKeyExists(std::wstring_view keyPath, RegistryView view) {
    if (const auto fault = record("RegKeyExists", keyPath)) {
        return *fault;
    }
    return registry.keyExists(keyPath, view);
}

Result<RegistryKeyContent> FakePlatform::RegReadTree(std::wstring_view keyPath, RegistryView view) {
    if (const auto fault = record("RegReadTree", keyPath)) {
        return *fault;
    }
    return registry.readTree(keyPath, view);
}

Result<SubkeyListing> FakePlatform::RegListSubkeys(std::wstring_view keyPath, RegistryView view,
                                                   std::size_t mostNames) {
    if (const auto fault = record("RegListSubkeys", keyPath)) {
        return *fault;
    }
    if (!registry.keyExists(keyPath, view)) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    SubkeyListing listing{registry.subkeyNames(keyPath, view), false};
    if (listing.names.size() > mostNames) {
        listing.names.resize(mostNames);
        listing.truncated = true;
    }
    return listing;
}

std::error_code FakePlatform::RegCreateKeyIn(std::wstring_view keyPath, RegistryView view) {
    if (const auto fault = record("RegCreateKeyIn", keyPath)) {
        return *fault;
    }
    return registry.createKey(keyPath, view);
}

std::error_code FakePlatform::RegWriteRaw(std::wstring_view keyPath, std::wstring_view valueName,
                                          const RegistryValue& value, RegistryView view) {
    if (const auto fault = record("RegWriteRaw", std::wstring(keyPath) + std::wstring(valueName))) {
        return *fault;
    }
    return registry.writeRaw(keyPath, valueName, value, view);
}

std::error_code FakePlatform::RegDeleteIn(std::wstring_view path, RegistryView view) {
    if (const auto fault = record("RegDeleteIn", path)) {
        return *fault;
    }
    return registry.removeIn(path, view);
}

std::error_code FakePlatform::RegDeleteValueIn(std::wstring_view keyPath,
                                               std::wstring_view valueName, RegistryView view) {
    const std::wstring path = std::wstring(keyPath) + std::wstring(valueName);
    if (const auto fault = record("RegDeleteValueIn", path)) {
        return *fault;
    }
    return registry.removeValueIn(keyPath, valueName, view);
}

std::error_code FakePlatform::RegRemoveKeyAsRead(std::wstring_view keyPath, RegistryView view,
                                                 const BeforeKeyRemoval& beforeRemoval) {
    if (const auto fault = record("RegRemoveKeyAsRead", keyPath)) {
        return *fault;
    }
    return registry.removeKeyAsRead(keyPath, view, beforeRemoval);
}

std::error_code FakePlatform::RegRemoveValueAsRead(std::wstring_view keyPath,
                                                   std::wstring_view valueName, RegistryView view,
                                                   const BeforeValueRemoval& beforeRemoval) {
    if (const auto fault =
            record("RegRemoveValueAsRead", std::wstring(keyPath) + std::wstring(valueName))) {
        return *fault;
    }
    return registry.removeValueAsRead(keyPath, valueName, view, beforeRemoval);
}

Result<std::wstring> FakePlatform::GetSpecialFolder(SpecialFolder folder) {
    const bool windows = folder == SpecialFolder::Windows;
    if (const auto fault = record("GetSpecialFolder", windows ? L"0" : L"1")) {
        return *fault;
    }
    return windows ? windowsFolder : systemFolder;
}

Result<bool> FakePlatform::FileExists(std::wstring_view path) {
    if (const auto fault = record("FileExists", path)) {
        return *fault;
    }
    return files.exists(files.followed(path));
}

Result<bool> FakePlatform::FileHasContent(std::wstring_view path, std::string_view content) {
    if (const auto fault = record("FileHasContent", path)) {
        return *fault;
    }
    return files.hasContent(files.followed(path), content);
}

std::error_code FakePlatform::ClearAttributes(std::wstring_view path) {
    if (const auto fault = record("ClearAttributes", path)) {
        return *fault;
    }
    return files.clearAttributes(files.followed(path));
}

std::error_code FakePlatform::CopyFileOver(std::wstring_view source,
                                           std::wstring_view destination) {
    if (const auto fault = record("CopyFileOver", destination)) {
        return *fault;
    }
    return files.copy(files.followed(source), files.followed(destination));
}

std::error_code FakePlatform::ReplaceFileContent(std::wstring_view path, std::string_view content,
                                                 FileProtection protection) {
    if (const auto fault = record("ReplaceFileContent", path)) {
        return *fault;
    }
    return files.replace(files.followed(path), content, protection);
}

std::error_code FakePlatform::RewriteUnchangedFile(std::wstring_view path,
                                                   std::string_view expected,
                                                   std::string_view content) {
    if (const auto fault = record("RewriteUnchangedFile", path)) {
        return *fault;
    }
    const auto refused = reachedDirectlyUnchanged(path, expected);
    return refused ? refused : files.rewrite(path, content);
}

std::error_code FakePlatform::RemoveUnchangedFile(std::wstring_view path,
                                                  std::string_view expected) {
    if (const auto fault = record("RemoveUnchangedFile", path)) {
        return *fault;
    }
    const auto refused = reachedDirectlyUnchanged(path, expected);
    return refused ? refused : files.remove(path);
}

std::error_code FakePlatform::reachedDirectlyUnchanged(std::wstring_view path,
                                                       std::string_view expected) const {
    if (!files.reachedDirectly(path)) {
        return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    }
    const auto same = files.hasContent(path, expected);
    if (!same.ok()) {
        return same.error();
    }
    return same.value() ? std::error_code{} : std::make_error_code(std::errc::operation_canceled);
}

Result<std::string> FakePlatform::ReadFileContent(std::wstring_view path, std::size_t limit) {
    if (const auto fault = record("ReadFileContent", path)) {
        return *fault;
    }
    return files.read(files.followed(path), limit);
}

Result<CalendarTime> FakePlatform::FileWrittenAt(std::wstring_view path) {
    if (const auto fault = record("FileWrittenAt", path)) {
        return *fault;
    }
    const auto there = files.exists(files.followed(path));
    if (!there.ok()) {
        return there.error();
    }
    if (!there.value()) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    return filesWrittenAt;
}

std::uintptr_t FakePlatform::FindWindowA(std::wstring_view className) {
    record("FindWindowA", className);
    return openWindowClasses.contains(std::wstring(className)) ? 0x1234 : 0;
}

std::error_code FakePlatform::LaunchCommand(std::wstring_view program, std::wstring_view argument,
                                            LaunchStyle style) {
    const std::wstring commandLine = std::wstring(program) + L" " + std::wstring(argument);
    if (const auto fault = record("LaunchCommand", commandLine)) {
        return *fault;
    }
    launches.push_back({commandLine, style});
    return {};
}

std::error_code FakePlatform::StartAsDesktopUser(std::wstring_view program,
                                                 std::wstring_view arguments) {
    const std::wstring commandLine = std::wstring(program) + L" " + std::wstring(arguments);
    if (const auto fault = record("StartAsDesktopUser", commandLine)) {
        return *fault;
    }
    desktopStarts.push_back(commandLine);
    return {};
}

Result<std::wstring> FakePlatform::ProgramUserSid() {
    if (const auto fault = record("ProgramUserSid", L"")) {
        return *fault;
    }
    return programUserSid;
}

Result<std::wstring> FakePlatform::DesktopUserSid() {
    if (const auto fault = record("DesktopUserSid", L"")) {
        return *fault;
    }
    if (!desktopUserSid) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    return *desktopUserSid;
}

Result<std::wstring> FakePlatform::ExpandEnvironment(std::wstring_view text) {
    if (const auto fault = record("ExpandEnvironment", text)) {
        return *fault;
    }
    std::wstring expanded(text);
    for (const std::wstring_view name : {L"%SystemRoot%", L"%windir%"}) {
        for (auto at = expanded.find(name); at != std::wstring::npos; at = expanded.find(name)) {
            expanded.replace(at, name.size(), windowsFolder);
        }
    }
    return expanded;
}

std::error_code FakePlatform::FlushDnsCache() {
    if (const auto fault = record("FlushDnsCache", L"")) {
        return *fault;
    }
    ++dnsCacheFlushes;
    return {};
}

Result<bool> FakePlatform::IsElevated() {
    if (const auto fault = record("IsElevated", L"")) {
        return *fault;
    }
    return elevated;
}

Result<std::vector<std::wstring>> FakePlatform::ProcessOwners(std::wstring_view executableName) {
    if (const auto fault = record("ProcessOwners", executableName)) {
        return *fault;
    }
    std::vector<std::wstring> owners;
    for (const auto& [name, owner] : processes) {
        if (name == executableName) {
            owners.push_back(owner);
        }
    }
    return owners;
}

Result<std::vector<std::wstring>> FakePlatform::LoadedUserHives() {
    if (const auto fault = record("LoadedUserHives", L"")) {
        return *fault;
    }
    return registry.userHiveNames();
}

void FakePlatform::parkHive(std::wstring_view sid, std::wstring_view hiveFile) {
    hiveFiles[std::wstring(hiveFile)] = registry.detachHive(sid);
}

std::error_code FakePlatform::LoadUserHive(std::wstring_view mountName,
                                           std::wstring_view hiveFile) {
    if (const auto fault = record("LoadUserHive", hiveFile)) {
        return *fault;
    }
    if (mountedFiles.contains(std::wstring(mountName))) {
        return std::make_error_code(std::errc::file_exists);
    }
    const auto hive = hiveFiles.find(std::wstring(hiveFile));
    if (hive == hiveFiles.end()) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    registry.attachHive(mountName, hive->second);
    mountedFiles[std::wstring(mountName)] = hive->first;
    return {};
}

std::error_code FakePlatform::UnloadUserHive(std::wstring_view mountName) {
    if (const auto fault = record("UnloadUserHive", mountName)) {
        return *fault;
    }
    const auto mounted = mountedFiles.find(std::wstring(mountName));
    if (mounted == mountedFiles.end()) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    hiveFiles[mounted->second] = registry.detachHive(mountName);
    mountedFiles.erase(mounted);
    return {};
}

void FakePlatform::Pause(std::chrono::milliseconds duration) {
    record("Pause", std::to_wstring(duration.count()));
    paused += duration;
}

std::error_code FakePlatform::AcquireRepairLock(std::chrono::milliseconds wait) {
    if (const auto fault = record("AcquireRepairLock", std::to_wstring(wait.count()))) {
        return *fault;
    }
    if (lockHeldElsewhere) {
        return std::make_error_code(std::errc::timed_out);
    }
    lockHeld = true;
    return {};
}

void FakePlatform::ReleaseRepairLock() {
    record("ReleaseRepairLock", L"");
    lockHeld = false;
}

std::wstring FakePlatform::DescribeError(std::error_code error) {
    const std::string text = error.message();
    return std::wstring(text.begin(), text.end());
}

}  // namespace tovask::fake

namespace tovask::fake {

Result<MachineJoinState> FakePlatform::MachineJoin() {
    if (const auto fault = record("MachineJoin", L"")) {
        return *fault;
    }
    return machineJoin;
}

std::error_code FakePlatform::RefreshPolicy() {
    if (const auto fault = record("RefreshPolicy", L"")) {
        return *fault;
    }
    ++policyRefreshes;
    return {};
}

Result<bool> FakePlatform::IsLocalFixedDrive(wchar_t letter) {
    if (const auto fault = record("IsLocalFixedDrive", std::wstring(1, letter))) {
        return *fault;
    }
    return !notFixedDrives.contains(letter);
}

Result<std::wstring> FakePlatform::LongPathName(std::wstring_view path) {
    if (const auto fault = record("LongPathName", path)) {
        return *fault;
    }
    for (const auto& [shortPath, longPath] : longNames) {
        const auto rest = path.substr(std::min(shortPath.size(), path.size()));
        if (equalsIgnoringCase(path.substr(0, shortPath.size()), shortPath) &&
            (rest.empty() || rest.front() == L'\\')) {
            return longPath + std::wstring(rest);
        }
    }
    return std::wstring(path);
}

Result<std::vector<std::wstring>> FakePlatform::KeyedCertificates(std::wstring_view userSid) {
    if (const auto fault = record("KeyedCertificates", userSid)) {
        return *fault;
    }
    std::vector<std::wstring> thumbprints;
    for (const auto& [user, thumbprint] : keyedCertificates) {
        if (user.empty() || (!userSid.empty() && user == userSid)) {
            thumbprints.push_back(thumbprint);
        }
    }
    return thumbprints;
}

std::error_code FakePlatform::PreparePrivateFolder(std::wstring_view path) {
    if (const auto fault = record("PreparePrivateFolder", path)) {
        return *fault;
    }
    return files.preparePrivate(path);
}

Result<std::vector<std::wstring>> FakePlatform::FilesInFolder(std::wstring_view folder,
                                                              std::wstring_view extension) {
    if (const auto fault = record("FilesInFolder", folder)) {
        return *fault;
    }
    return files.filesIn(folder, extension);
}

Result<std::vector<std::wstring>> FakePlatform::FoldersInFolder(std::wstring_view folder) {
    if (const auto fault = record("FoldersInFolder", folder)) {
        return *fault;
    }
    return files.foldersIn(folder);
}

std::error_code FakePlatform::RemovePrivateFolder(std::wstring_view path) {
    if (const auto fault = record("RemovePrivateFolder", path)) {
        return *fault;
    }
    return files.removeFolder(path);
}

CalendarTime FakePlatform::LocalTimeNow() {
    record("LocalTimeNow", L"");
    return now;
}

Result<std::vector<ListeningSocket>> FakePlatform::ListeningSockets() {
    if (const auto fault = record("ListeningSockets", L"")) {
        return *fault;
    }
    return listeningSockets;
}

std::error_code FakePlatform::AnnounceInternetSettingsChanged() {
    if (const auto fault = record("AnnounceInternetSettingsChanged", L"")) {
        return *fault;
    }
    ++internetSettingsNotices;
    return {};
}

}  // namespace tovask::fake
