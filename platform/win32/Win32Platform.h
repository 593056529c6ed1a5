#pragma once

// Before the interface, which undoes one of its macros; see there.
#include <windows.h>

#include <optional>

#include "platform/PlatformOps.h"
#include "platform/win32/ComObjects.h"
#include "platform/win32/Handles.h"

namespace tovask {

// The platform operations on a real Windows, through the Unicode API. Every
// call opens and releases what it needs, except the repair lock, which it
// holds from AcquireRepairLock to ReleaseRepairLock.
class Win32Platform final : public PlatformOps {
  public:
    // RegistryOps: platform/win32/registry.
    std::error_code RegWrite(std::wstring_view path, RegistryData value,
                             RegistryType type) override;
    std::error_code RegDelete(std::wstring_view path) override;
    bool HasTwoRegistryViews() override;
    Result<RegistryValue> RegReadValue(std::wstring_view path, RegistryView view) override;
    Result<bool> RegKeyExists(std::wstring_view keyPath, RegistryView view) override;
    Result<RegistryKeyContent> RegReadTree(std::wstring_view keyPath, RegistryView view) override;
    Result<SubkeyListing> RegListSubkeys(std::wstring_view keyPath, RegistryView view,
                                         std::size_t mostNames) override;
    std::error_code RegCreateKeyIn(std::wstring_view keyPath, RegistryView view) override;
    std::error_code RegWriteRaw(std::wstring_view keyPath, std::wstring_view valueName,
                                const RegistryValue& value, RegistryView view) override;
    std::error_code RegDeleteIn(std::wstring_view path, RegistryView view) override;
    std::error_code RegDeleteValueIn(std::wstring_view keyPath, std::wstring_view valueName,
                                     RegistryView view) override;
    std::error_code RegRemoveKeyAsRead(std::wstring_view keyPath, RegistryView view,
                                       const BeforeKeyRemoval& beforeRemoval) override;
    std::error_code RegRemoveValueAsRead(std::wstring_view keyPath, std::wstring_view valueName,
                                         RegistryView view,
                                         const BeforeValueRemoval& beforeRemoval) override;
    Result<std::vector<std::wstring>> LoadedUserHives() override;
    std::error_code LoadUserHive(std::wstring_view mountName, std::wstring_view hiveFile) override;
    std::error_code UnloadUserHive(std::wstring_view mountName) override;

    // FileOps: platform/win32/files.
    Result<std::wstring> GetSpecialFolder(SpecialFolder folder) override;
    Result<bool> FileExists(std::wstring_view path) override;
    Result<bool> IsLocalFixedDrive(wchar_t letter) override;
    Result<std::wstring> LongPathName(std::wstring_view path) override;
    Result<bool> FileHasContent(std::wstring_view path, std::string_view content) override;
    std::error_code ClearAttributes(std::wstring_view path) override;
    std::error_code CopyFileOver(std::wstring_view source, std::wstring_view destination) override;
    std::error_code ReplaceFileContent(std::wstring_view path, std::string_view content,
                                       FileProtection protection) override;
    std::error_code RewriteUnchangedFile(std::wstring_view path, std::string_view expected,
                                         std::string_view content) override;
    Result<std::string> ReadFileContent(std::wstring_view path, std::size_t limit) override;
    Result<CalendarTime> FileWrittenAt(std::wstring_view path) override;

    // SessionOps: platform/win32/session.
    std::uintptr_t FindWindowA(std::wstring_view className) override;
    std::error_code LaunchCommand(std::wstring_view program, std::wstring_view argument,
                                  LaunchStyle style) override;
    std::error_code StartAsDesktopUser(std::wstring_view program,
                                       std::wstring_view arguments) override;
    Result<std::vector<std::wstring>> ProcessOwners(std::wstring_view executableName) override;
    Result<std::wstring> ProgramUserSid() override;
    Result<std::wstring> DesktopUserSid() override;
    Result<bool> IsElevated() override;
    Result<std::wstring> ExpandEnvironment(std::wstring_view text) override;
    std::error_code FlushDnsCache() override;
    void Pause(std::chrono::milliseconds duration) override;
    CalendarTime LocalTimeNow() override;
    std::wstring DescribeError(std::error_code error) override;
    std::error_code AcquireRepairLock(std::chrono::milliseconds wait) override;
    void ReleaseRepairLock() override;
    Result<MachineJoinState> MachineJoin() override;
    std::error_code RefreshPolicy() override;
    Result<std::vector<std::wstring>> KeyedCertificates(std::wstring_view userSid) override;

    std::error_code PreparePrivateFolder(std::wstring_view path) override;
    Result<std::vector<std::wstring>> FoldersInFolder(std::wstring_view folder) override;
    std::error_code RemovePrivateFolder(std::wstring_view path) override;
    Result<std::vector<std::wstring>> FilesInFolder(std::wstring_view folder,
                                                    std::wstring_view extension) override;
    Result<std::vector<ListeningSocket>> ListeningSockets() override;
    std::error_code AnnounceInternetSettingsChanged() override;

    Result<FileListing> ListFiles(std::wstring_view folder, std::wstring_view extension,
                                  const ListingLimits& limits) override;
    Result<ShortcutFile> ReadShortcut(std::wstring_view path) override;
    Result<std::string> ShortcutWithArguments(std::wstring_view path,
                                              std::wstring_view arguments) override;
    std::error_code RemoveUnchangedFile(std::wstring_view path, std::string_view expected) override;
    std::error_code CreateNewFile(std::wstring_view path, std::string_view content) override;
    // platform/win32/tasks.
    Result<TaskDefinition> ReadTaskFile(std::wstring_view path) override;
    std::error_code SetTaskEnabled(std::wstring_view taskFile, bool enabled) override;
    Result<bool> SchedulerKnowsTask(std::wstring_view taskFile) override;

  private:
    // Empty while the lock is not held.
    win32::KernelHandle repairLock_;
    // The shell's shortcut objects need COM: set up at the first shortcut and
    // kept, so that each of hundreds of shortcuts does not set it up and tear
    // it down again.
    std::optional<win32::ComApartment> shortcutApartment_;
    // Loaded at the first task file and kept for the others.
    std::optional<Result<win32::LoadedLibrary>> xmlLite_;
};

}  // namespace tovask
