#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include <map>
#include <string>

#include "platform/win32/ErrorText.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/files/FileQueries.h"
#include "platform/win32/files/FileReplacement.h"
#include "platform/win32/files/FolderListing.h"
#include "platform/win32/files/PrivateFolder.h"
#include "platform/win32/files/ShortcutFiles.h"
#include "platform/win32/files/SystemFolders.h"
#include "platform/win32/registry/HiveMounting.h"
#include "platform/win32/registry/RegistryAccess.h"
#include "platform/win32/registry/RegistryKeys.h"
#include "platform/win32/registry/RegistryRead.h"
#include "platform/win32/registry/RegistryTree.h"
#include "platform/win32/services/DnsCache.h"
#include "platform/win32/services/InternetSettingsNotice.h"
#include "platform/win32/services/MachineJoin.h"
#include "platform/win32/services/PersonalCertificates.h"
#include "platform/win32/services/PolicyRefresh.h"
#include "platform/win32/services/TcpListeners.h"
#include "platform/win32/session/DesktopShellStart.h"
#include "platform/win32/session/Elevation.h"
#include "platform/win32/session/EnvironmentText.h"
#include "platform/win32/session/LockFile.h"
#include "platform/win32/session/ProcessLaunch.h"
#include "platform/win32/session/ProcessOwners.h"
#include "platform/win32/session/SecurityIdentity.h"
#include "platform/win32/tasks/ScheduledTasks.h"

namespace tovask {

std::error_code Win32Platform::RegWrite(std::wstring_view path, RegistryData value,
                                        RegistryType type) {
    return win32::writeRegistryValue(path, value, type);
}

std::error_code Win32Platform::RegDelete(std::wstring_view path) {
    return win32::deleteRegistryEntry(path);
}

bool Win32Platform::HasTwoRegistryViews() {
    return win32::hasTwoRegistryViews();
}

Result<RegistryValue> Win32Platform::RegReadValue(std::wstring_view path, RegistryView view) {
    return win32::readRegistryValue(path, view);
}

Result<bool> Win32Platform::RegKeyExists(std::wstring_view keyPath, RegistryView view) {
    return win32::registryKeyExists(keyPath, view);
}

Result<RegistryKeyContent> Win32Platform::RegReadTree(std::wstring_view keyPath,
                                                      RegistryView view) {
    return win32::readRegistryTree(keyPath, view);
}

Result<SubkeyListing> Win32Platform::RegListSubkeys(std::wstring_view keyPath, RegistryView view,
                                                    std::size_t mostNames) {
    return win32::listRegistrySubkeys(keyPath, view, mostNames);
}

std::error_code Win32Platform::RegCreateKeyIn(std::wstring_view keyPath, RegistryView view) {
    return win32::createRegistryKey(keyPath, view);
}

std::error_code Win32Platform::RegWriteRaw(std::wstring_view keyPath, std::wstring_view valueName,
                                           const RegistryValue& value, RegistryView view) {
    return win32::writeRawValue(keyPath, valueName, value, view);
}

std::error_code Win32Platform::RegDeleteIn(std::wstring_view path, RegistryView view) {
    return win32::deleteEntryInView(path, view);
}

std::error_code Win32Platform::RegDeleteValueIn(std::wstring_view keyPath,
                                                std::wstring_view valueName, RegistryView view) {
    return win32::deleteValueOfKey(keyPath, valueName, view);
}

std::error_code Win32Platform::RegRemoveKeyAsRead(std::wstring_view keyPath, RegistryView view,
                                                  const BeforeKeyRemoval& beforeRemoval) {
    return win32::removeKeyAsRead(keyPath, view, beforeRemoval);
}

std::error_code Win32Platform::RegRemoveValueAsRead(std::wstring_view keyPath,
                                                    std::wstring_view valueName, RegistryView view,
                                                    const BeforeValueRemoval& beforeRemoval) {
    return win32::removeValueAsRead(keyPath, valueName, view, beforeRemoval);
}

Result<std::wstring> Win32Platform::GetSpecialFolder(SpecialFolder folder) {
    return folder == SpecialFolder::Windows ? win32::windowsFolder() : win32::systemFolder();
}

Result<bool> Win32Platform::FileExists(std::wstring_view path) {
    return win32::fileExists(path);
}

Result<bool> Win32Platform::IsLocalFixedDrive(wchar_t letter) {
    return win32::isLocalFixedDrive(letter);
}

Result<std::wstring> Win32Platform::LongPathName(std::wstring_view path) {
    return win32::longPathName(path);
}

Result<bool> Win32Platform::FileHasContent(std::wstring_view path, std::string_view content) {
    return win32::fileHasContent(path, content);
}

std::error_code Win32Platform::ClearAttributes(std::wstring_view path) {
    return win32::clearAttributes(path);
}

std::error_code Win32Platform::CopyFileOver(std::wstring_view source,
                                            std::wstring_view destination) {
    return win32::copyFileOver(source, destination);
}

std::error_code Win32Platform::ReplaceFileContent(std::wstring_view path, std::string_view content,
                                                  FileProtection protection) {
    return win32::replaceFileContent(path, content, protection);
}

std::error_code Win32Platform::RewriteUnchangedFile(std::wstring_view path,
                                                    std::string_view expected,
                                                    std::string_view content) {
    return win32::rewriteUnchangedFile(path, expected, content);
}

Result<std::string> Win32Platform::ReadFileContent(std::wstring_view path, std::size_t limit) {
    return win32::readFileContent(path, limit);
}

Result<CalendarTime> Win32Platform::FileWrittenAt(std::wstring_view path) {
    return win32::fileWrittenAt(path);
}

std::uintptr_t Win32Platform::FindWindowA(std::wstring_view className) {
    const std::wstring name(className);
    return reinterpret_cast<std::uintptr_t>(FindWindowW(name.c_str(), nullptr));
}

std::error_code Win32Platform::LaunchCommand(std::wstring_view program, std::wstring_view argument,
                                             LaunchStyle style) {
    return win32::launchSystemProgram(program, argument, static_cast<int>(style));
}

std::error_code Win32Platform::StartAsDesktopUser(std::wstring_view program,
                                                  std::wstring_view arguments) {
    return win32::startThroughDesktopShell(program, arguments);
}

Result<std::wstring> Win32Platform::ProgramUserSid() {
    return win32::programUserSid();
}

Result<std::wstring> Win32Platform::DesktopUserSid() {
    return win32::desktopUserSid();
}

Result<std::wstring> Win32Platform::ExpandEnvironment(std::wstring_view text) {
    return win32::expandEnvironment(text);
}

std::error_code Win32Platform::FlushDnsCache() {
    return win32::flushDnsCache();
}

Result<bool> Win32Platform::IsElevated() {
    return win32::isElevated();
}

Result<std::vector<std::wstring>> Win32Platform::ProcessOwners(std::wstring_view executableName) {
    return win32::processOwners(executableName);
}

Result<std::vector<std::wstring>> Win32Platform::LoadedUserHives() {
    return win32::loadedUserHives();
}

std::error_code Win32Platform::LoadUserHive(std::wstring_view mountName,
                                            std::wstring_view hiveFile) {
    return win32::loadUserHive(mountName, hiveFile);
}

std::error_code Win32Platform::UnloadUserHive(std::wstring_view mountName) {
    return win32::unloadUserHive(mountName);
}

void Win32Platform::Pause(std::chrono::milliseconds duration) {
    Sleep(static_cast<DWORD>(duration.count()));
}

CalendarTime Win32Platform::LocalTimeNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute};
}

std::error_code Win32Platform::AcquireRepairLock(std::chrono::milliseconds wait) {
    // The lock file allows one holder only: taken again, the program would
    // wait for itself.
    if (repairLock_) {
        return {};
    }
    return win32::acquireRepairLock(wait, repairLock_);
}

void Win32Platform::ReleaseRepairLock() {
    win32::releaseRepairLock(repairLock_);
}

std::wstring Win32Platform::DescribeError(std::error_code error) {
    return win32::describeError(error);
}

Result<MachineJoinState> Win32Platform::MachineJoin() {
    const auto joined = win32::machineJoin();
    if (!joined.ok()) {
        return joined.error();
    }
    return MachineJoinState{joined.value().domainJoined, joined.value().cloudJoined};
}

// Machine policy holds the machine-wide keys, user policy each user's.
std::error_code Win32Platform::RefreshPolicy() {
    const auto machine = win32::refreshPolicy(win32::PolicyScope::Machine);
    const auto user = win32::refreshPolicy(win32::PolicyScope::User);
    return machine ? machine : user;
}

Result<std::vector<std::wstring>> Win32Platform::KeyedCertificates(std::wstring_view userSid) {
    return win32::keyedCertificates(userSid);
}

std::error_code Win32Platform::PreparePrivateFolder(std::wstring_view path) {
    return win32::preparePrivateFolder(path).error;
}

Result<std::vector<std::wstring>> Win32Platform::FoldersInFolder(std::wstring_view folder) {
    return win32::foldersIn(folder);
}

std::error_code Win32Platform::RemovePrivateFolder(std::wstring_view path) {
    return win32::removePrivateFolder(path);
}

// A program's folder holds a few files of a kind; more is not looked at.
Result<std::vector<std::wstring>> Win32Platform::FilesInFolder(std::wstring_view folder,
                                                               std::wstring_view extension) {
    constexpr ListingLimits kLimits{0, 256, 4096};
    auto listing = win32::listFiles(folder, extension, kLimits);
    if (!listing.ok()) {
        return listing.error();
    }
    return std::move(listing.value().files);
}

Result<std::vector<ListeningSocket>> Win32Platform::ListeningSockets() {
    const auto listeners = win32::listeningTcpSockets();
    if (!listeners.ok()) {
        return listeners.error();
    }
    // Asked once per process: one program often listens on several ports.
    std::map<std::uint32_t, ListeningSocket> programs;
    std::vector<ListeningSocket> sockets;
    for (const auto& listener : listeners.value()) {
        auto program = programs.find(listener.processId);
        if (program == programs.end()) {
            ListeningSocket process;
            // Process 0 is the idle process, and Wine's answer for every owner.
            if (listener.processId != 0) {
                const auto path = win32::processProgramPath(listener.processId);
                process.programPath = path.ok() ? path.value() : L"";
                const auto user = win32::processSessionUser(listener.processId);
                process.sessionUserSid = user.ok() ? user.value() : L"";
            }
            program = programs.emplace(listener.processId, std::move(process)).first;
        }
        sockets.push_back({listener.address, listener.port, program->second.programPath,
                           program->second.sessionUserSid});
    }
    return sockets;
}

std::error_code Win32Platform::AnnounceInternetSettingsChanged() {
    return win32::announceInternetSettingsChanged();
}

Result<FileListing> Win32Platform::ListFiles(std::wstring_view folder, std::wstring_view extension,
                                             const ListingLimits& limits) {
    return win32::listFiles(folder, extension, limits);
}

Result<ShortcutFile> Win32Platform::ReadShortcut(std::wstring_view path) {
    if (!shortcutApartment_) {
        shortcutApartment_.emplace();
    }
    return win32::readShortcut(path);
}

Result<std::string> Win32Platform::ShortcutWithArguments(std::wstring_view path,
                                                         std::wstring_view arguments) {
    return win32::shortcutWithArguments(path, arguments);
}

std::error_code Win32Platform::RemoveUnchangedFile(std::wstring_view path,
                                                   std::string_view expected) {
    return win32::removeUnchangedFile(path, expected);
}

std::error_code Win32Platform::CreateNewFile(std::wstring_view path, std::string_view content) {
    return win32::createNewFile(path, content);
}

Result<TaskDefinition> Win32Platform::ReadTaskFile(std::wstring_view path) {
    if (!xmlLite_) {
        xmlLite_.emplace(win32::loadXmlLite());
    }
    if (!xmlLite_->ok()) {
        return xmlLite_->error();
    }
    return win32::readTaskFile(path, xmlLite_->value());
}

std::error_code Win32Platform::SetTaskEnabled(std::wstring_view taskFile, bool enabled) {
    return win32::setTaskEnabled(taskFile, enabled);
}

Result<bool> Win32Platform::SchedulerKnowsTask(std::wstring_view taskFile) {
    return win32::schedulerKnowsTask(taskFile);
}

}  // namespace tovask
